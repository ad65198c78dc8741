#include "M3uSource.h"

#include "../probe/M3uList.h"
#include "SourceFactory.h"

namespace tv::media {

std::unique_ptr<M3uSource> M3uSource::open(const QString &path, QString &error)
{
    const M3uList list = readM3u(path);
    if (!list.error.isEmpty()) {
        error = list.error;
        return nullptr;
    }
    std::unique_ptr<M3uSource> source(new M3uSource);
    source->m_entries = list.entries;
    return source;
}

qint64 M3uSource::readFrames(qint16 *out, qint64 maxFrames)
{
    while (true) {
        if (!m_current) {
            if (m_next >= m_entries.size())
                return 0;
            QString error;
            m_current = openSource(m_entries.at(m_next++), error);
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
