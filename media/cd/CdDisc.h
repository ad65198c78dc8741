#pragma once

#include <QString>
#include <QVector>
#include <memory>

class QTemporaryDir;

typedef struct _CdIo CdIo_t;

namespace tv::media {

struct CueLayout;

// An audio CD in a drive or a disc image (.cue/.bin, .toc, .nrg), opened
// through libcdio; a CUE sheet over decoded sound files, several files or gaps
// that no file holds is laid out by this program (CueLayout). The table of contents is read once at open, so it may be
// asked from any thread; reading sectors belongs to one thread at a time.
class CdDisc
{
public:
    static constexpr int kFramesPerSector = 588; // 2352 bytes of 16-bit stereo
    static constexpr int kSectorsPerSecond = 75;

    struct Track
    {
        int number = 0;
        int firstSector = 0;
        int lastSector = 0;
        bool audio = true;
        int sectors() const { return lastSector - firstSector + 1; }
    };

    // Opens source (a device such as /dev/sr0, or an image file). On failure
    // returns null and sets error to a full sentence.
    static std::shared_ptr<CdDisc> open(const QString &source, QString &error);
    ~CdDisc();

    QString source() const { return m_source; }
    const QVector<Track> &tracks() const { return m_tracks; }
    const Track *track(int number) const;
    const Track *trackAtSector(int sector) const;
    int lastAudioSector() const;
    // A number that tells discs apart by their table of contents, as the
    // track files of the disc carry it.
    quint32 discId() const;

    // The libcdio handle, for the sector reader; reading belongs to one
    // thread at a time. Null for a CUE sheet that this program lays out
    // itself (layout() then says where each sector comes from).
    CdIo_t *handle() const { return m_cdio; }
    std::shared_ptr<const CueLayout> layout() const { return m_layout; }

    // Drives that the system knows, such as /dev/sr0.
    static QStringList drives();

private:
    CdDisc() = default;
    bool takeTracksFromLibcdio(QString &error);
    CdIo_t *m_cdio = nullptr;
    std::shared_ptr<const CueLayout> m_layout;
    std::unique_ptr<QTemporaryDir> m_alias; // see openCue()
    QString m_source;
    QVector<Track> m_tracks;
};

} // namespace tv::media
