#pragma once

#include "Envelope.h"

#include <QList>
#include <QString>

namespace tv::deck {

// A side as it was sent: its envelope and where each song lies in it.
struct SideSong
{
    QString name;
    qint64 startBlock = 0;
    qint64 blocks = 0;
};
struct SideReference
{
    Envelope envelope;
    QList<SideSong> songs;
};

// A stretch where the tape gave back more than 3 dB less than was sent.
struct Dropout
{
    double atSeconds = 0.0; // from the song's start
    double seconds = 0.0;
    double depthDb = 0.0;   // at its deepest, against the level sent
};

struct SongCheck
{
    enum class Found { Whole, CutShort, Missing };
    QString name;
    Found found = Found::Missing;
    double seconds = 0.0;        // as planned
    double heardAtSeconds = 0.0; // where in the playback it begins
    double cutAtSeconds = 0.0;   // CutShort: where in the song its sound stops
    QList<Dropout> dropouts;
};

struct SideVerdict
{
    QString error; // empty when the side was found in the playback
    QList<SongCheck> songs;
    double driftPercent = 0.0; // the tape's speed against the plan's
    double gainDb = 0.0;       // the level heard against the level sent
    double loudestDbfs = -200.0; // the loudest 400 ms heard (a full-scale sine is 0 dBFS)
    qsizetype loudestSong = -1;
    double loudestAtSeconds = 0.0; // from that song's start
};

// Finds the side in the playback by the envelopes' normalised correlation:
// first where it lies as a whole (a few stretches looked for anywhere, at
// 10 ms), then each 2 s stretch of a song within 2 s and 3 % of that, a
// straight line through those for the tape's drift, and each stretch again
// at 1 ms along that line. Then each song is judged block by block by the
// level heard against the level sent, less the deck's gain: where nothing
// comes back for the rest of a song, it was cut short; where nothing comes
// back at all, it is missing; where the level falls more than 3 dB under
// that of the moments around it for 10 ms or more, a dropout.
SideVerdict verifySide(const SideReference &reference, const Envelope &heard);

} // namespace tv::deck
