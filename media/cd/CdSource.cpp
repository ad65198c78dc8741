#include "CdSource.h"

#include "../AudioFormat.h"
#include "CdDamageReports.h"
#include "CdSectorReader.h"
#include "CdTrackFolder.h"

#include <algorithm>

namespace tv::media {

CdSource::CdSource(std::shared_ptr<CdDisc> disc, int startSector, int lastSector, const QString &trackFile)
    : m_disc(std::move(disc)), m_reader(std::make_unique<CdSectorReader>(m_disc)), m_trackFile(trackFile.isEmpty() ? m_disc->source() : trackFile),
      m_startSector(startSector), m_nextSector(startSector),
      m_lastSector(lastSector < 0 ? m_disc->lastAudioSector() : std::min(lastSector, m_disc->lastAudioSector()))
{
}

CdSource::~CdSource() = default;

void CdSource::noteDamage(int sector)
{
    const CdDisc::Track *track = m_disc->trackAtSector(sector);
    if (!track)
        return;
    Damage &damage = m_damage[track->number];
    if (damage.firstSector < 0)
        damage.firstSector = sector - track->firstSector;
    ++damage.sectors;
}

void CdSource::reportDamage()
{
    // One report for each track, brought up to date as more of it is found,
    // under that track's own file: a play that runs on past its first track
    // (the CD player's) must not tell a later track's damage as its own.
    for (auto it = m_damage.begin(); it != m_damage.end(); ++it) {
        Damage &damage = it.value();
        if (damage.sectors == damage.reportedSectors)
            continue;
        damage.reportedSectors = damage.sectors;
        CdDamageReports::instance().report(CdTrackFolder::trackFileOf(m_trackFile, it.key()), it.key(), qint64(damage.firstSector) * 1000 / CdDisc::kSectorsPerSecond,
                                           qint64(damage.sectors) * 1000 / CdDisc::kSectorsPerSecond);
    }
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
            // A damaged sector comes back as silence of its length, so that
            // the play goes on and keeps its timing.
            for (int i = 0; i < count; ++i) {
                bool damaged = false;
                if (!m_reader->read(m_nextSector + i, m_buffer.data() + std::size_t(i) * CdDisc::kFramesPerSector * kChannels, damaged)) {
                    m_error = m_reader->errorText().isEmpty() ? QStringLiteral("The CD could not be read at sector %1.").arg(m_nextSector + i)
                                                              : m_reader->errorText();
                    return written > 0 ? written : -1;
                }
                if (damaged)
                    noteDamage(m_nextSector + i);
            }
            reportDamage();
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
    if (!disc || !CdTrackFolder::matchesDisc(trackFilePath, *disc, error))
        return nullptr;
    const int number = CdTrackFolder::trackNumberOf(trackFilePath);
    const CdDisc::Track *track = disc->track(number);
    if (!track || !track->audio) {
        error = QStringLiteral("\"%1\" names track %2, which is not a music track of its disc.").arg(trackFilePath).arg(number);
        return nullptr;
    }
    return std::make_unique<CdSource>(disc, track->firstSector, track->lastSector, trackFilePath);
}

bool CdSource::seekMs(qint64 positionMs)
{
    m_nextSector = m_startSector + int(positionMs * CdDisc::kSectorsPerSecond / 1000);
    m_buffer.clear();
    m_bufferPos = 0;
    return true;
}

} // namespace tv::media
