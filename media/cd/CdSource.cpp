#include "CdSource.h"

#include "../AudioFormat.h"
#include "CdTrackFolder.h"

#include <QtEndian>
#include <algorithm>

namespace tv::media {

CdSource::CdSource(std::shared_ptr<CdDisc> disc, int startSector, int lastSector)
    : m_disc(std::move(disc)), m_startSector(startSector), m_nextSector(startSector),
      m_lastSector(lastSector < 0 ? m_disc->lastAudioSector() : std::min(lastSector, m_disc->lastAudioSector()))
{
}

qint64 CdSource::readFrames(qint16 *out, qint64 maxFrames)
{
    qint64 written = 0;
    while (written < maxFrames) {
        if (m_bufferPos >= m_buffer.size()) {
            const int count = std::min(kSectorsPerRead, m_lastSector - m_nextSector + 1);
            if (count <= 0)
                break;
            m_buffer.resize(std::size_t(count) * CdDisc::kFramesPerSector * kChannels);
            if (!m_disc->readSectors(m_nextSector, count, m_buffer.data())) {
                m_error = QStringLiteral("The CD could not be read at sector %1.").arg(m_nextSector);
                return written > 0 ? written : -1;
            }
            // CD audio is little-endian 16-bit; the output wants native order.
            for (qint16 &sample : m_buffer)
                sample = qFromLittleEndian(sample);
            m_bufferPos = 0;
            m_nextSector += count;
        }
        const qint64 n = std::min<qint64>(qint64(m_buffer.size() - m_bufferPos) / kChannels, maxFrames - written);
        std::copy_n(m_buffer.data() + m_bufferPos, n * kChannels, out + written * kChannels);
        m_bufferPos += std::size_t(n * kChannels);
        written += n;
    }
    return written;
}

std::unique_ptr<CdSource> CdSource::openTrack(const QString &trackFilePath, QString &error)
{
    std::shared_ptr<CdDisc> disc = CdDisc::open(CdTrackFolder::sourceFor(trackFilePath), error);
    if (!disc)
        return nullptr;
    const int number = CdTrackFolder::trackNumberOf(trackFilePath);
    const CdDisc::Track *track = disc->track(number);
    if (!track || !track->audio) {
        error = QStringLiteral("\"%1\" names track %2, which is not a music track of its disc.").arg(trackFilePath).arg(number);
        return nullptr;
    }
    return std::make_unique<CdSource>(disc, track->firstSector, track->lastSector);
}

bool CdSource::seekMs(qint64 positionMs)
{
    m_nextSector = m_startSector + int(positionMs * CdDisc::kSectorsPerSecond / 1000);
    m_buffer.clear();
    m_bufferPos = 0;
    return true;
}

} // namespace tv::media
