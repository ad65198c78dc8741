#pragma once

#include "CdDisc.h"

#include <QtGlobal>
#include <memory>
#include <set>

struct cdrom_drive_s;
struct cdrom_paranoia_s;

namespace tv::media {

// Reads the audio of one disc sector by sector through libcdio-paranoia, as
// CD rippers do: overlapping reads are verified against each other, so that
// jitter is corrected and a sector that reads differently each time is read
// again and repaired. A CUE sheet that this program lays out itself is read
// from its data files (CueImageReader). A sector that the drive refuses to give even after
// retries comes back as silence of its exact length and is marked damaged,
// so that playing goes on. Drives and images take the same path.
//
// Not thread-safe: one thread reads at a time (the decode thread of the
// source that owns it).
class CdSectorReader
{
public:
    static constexpr int kSectorBytes = CdDisc::kFramesPerSector * 4;

    explicit CdSectorReader(std::shared_ptr<CdDisc> disc);
    ~CdSectorReader();
    CdSectorReader(const CdSectorReader &) = delete;
    CdSectorReader &operator=(const CdSectorReader &) = delete;

    // Reads sector into out (588 frames of native-order 16-bit stereo).
    // damaged is set when the sector could not be recovered and out holds
    // silence. False only when the disc cannot be read at all.
    bool read(int sector, qint16 *out, bool &damaged);
    // Why the last read() failed, when it says more than the sector number.
    QString errorText() const { return m_error; }

    // For the driver hook: reads sectors one by one with retries, filling
    // the ones that stay unreadable with silence and remembering them.
    long readSectorsCarefully(void *out, int begin, long count);
    void noteSkip(long wordPosition);

private:
    bool startParanoia();
    bool readPlain(int sector, qint16 *out, bool &damaged);

    std::shared_ptr<CdDisc> m_disc;
    std::unique_ptr<class CueImageReader> m_laidOut; // for a disc without a libcdio handle
    QString m_error;
    cdrom_drive_s *m_drive = nullptr;
    cdrom_paranoia_s *m_paranoia = nullptr;
    long (*m_driverRead)(cdrom_drive_s *, void *, int, long) = nullptr;
    bool m_triedParanoia = false;
    int m_nextSector = -1; // where paranoia's cursor is, -1 before a seek
    std::set<int> m_unreadable; // sectors the drive refused after retries
};

} // namespace tv::media
