#pragma once

#include "../AudioSource.h"
#include "CdDisc.h"

#include <vector>

namespace tv::media {

// CD audio from a start sector on to the end of the last music track, as the
// CD device plays it: no end point, on into the following tracks.
class CdSource final : public AudioSource
{
public:
    // Plays from startSector to lastSector (the end of the last music track
    // when lastSector is -1).
    CdSource(std::shared_ptr<CdDisc> disc, int startSector, int lastSector = -1);

    // The whole track that a track file (Track01.cda ...) names, on its own
    // disc or image. On failure returns null and sets error to a sentence.
    static std::unique_ptr<CdSource> openTrack(const QString &trackFilePath, QString &error);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override { return m_error; }

private:
    static constexpr int kSectorsPerRead = 25; // a third of a second per read

    std::shared_ptr<CdDisc> m_disc;
    int m_startSector;
    int m_nextSector;
    int m_lastSector;
    std::vector<qint16> m_buffer;
    std::size_t m_bufferPos = 0; // in samples
    QString m_error;
};

} // namespace tv::media
