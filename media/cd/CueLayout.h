#pragma once

#include "CdDisc.h"
#include "CueSheet.h"

#include <QVector>

namespace tv::media {

// A CUE sheet laid out as a disc: its sectors in a row, each run of them
// taken from a data file or made of silence that no file holds (PREGAP,
// POSTGAP), and its tracks as spans of those sectors. A track runs to the
// start of the next, so the next one's pregap is heard at its end, as a CD
// player plays a disc.
struct CueLayout
{
    struct Run
    {
        int firstSector = 0; // on the disc
        int sectors = 0;
        int file = -1; // into CueSheet::Sheet::files; -1: silence
        qint64 fileSector = 0;
    };

    QList<CueSheet::File> files;
    QVector<Run> runs;
    QVector<CdDisc::Track> tracks;
    int sectors = 0;

    static CueLayout of(const CueSheet::Sheet &sheet);
    const Run *runAt(int sector) const;
};

} // namespace tv::media
