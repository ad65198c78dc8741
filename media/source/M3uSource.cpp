#include "M3uSource.h"

#include "../probe/Duration.h"
#include "../probe/M3uList.h"
#include "SourceFactory.h"

namespace tv::media {

std::unique_ptr<M3uSource> M3uSource::open(const QString &path, QString &error, int depth)
{
    constexpr int kMostDepth = 4; // as measuring allows
    if (depth > kMostDepth) {
        error = fileError(path, QStringLiteral("is a playlist nested too deeply in other playlists"));
        return nullptr;
    }
    const M3uList list = readM3u(path);
    if (!list.error.isEmpty()) {
        error = list.error;
        return nullptr;
    }
    std::unique_ptr<M3uSource> source(new M3uSource);
    source->m_entries = list.entries;
    source->m_depth = depth;
    return source;
}

qint64 M3uSource::readFrames(qint16 *out, qint64 maxFrames)
{
    while (true) {
        if (!m_current) {
            if (m_next >= m_entries.size())
                return 0;
            QString error;
            m_current = openSource(m_entries.at(m_next++), error, m_depth + 1);
            if (!m_current) {
                m_error = error;
                return -1;
            }
        }
        const qint64 n = m_current->readFrames(out, maxFrames);
        if (n < 0) {
            m_error = m_current->errorText();
            return -1;
        }
        if (n > 0)
            return n;
        m_current.reset(); // this entry is over: the next one follows at once
    }
}

} // namespace tv::media
