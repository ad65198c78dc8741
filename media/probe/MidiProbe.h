#pragma once

#include "Duration.h"

#include <QByteArray>

namespace tv::media {

// The MIDI data that plays: the standard MIDI file (taken out of its RIFF
// RMID wrapper where it has one) reduced to the tracks it really holds. A
// header announcing more tracks than follow is corrected to the tracks
// present; a last track cut short by the end of the file keeps its complete
// events and gets its end; at most kMostMidiTracks tracks are kept. The
// synthesizer is given exactly these bytes, so what is measured is what
// plays. error (a reason without the file name) is set when nothing plays.
struct PlayableMidi
{
    QByteArray smf;
    QString error;
    int tracksAnnounced = 0;
    int tracksKept = 0;
};

inline constexpr int kMostMidiTracks = 128;             // the synthesizer's player holds no more
inline constexpr qint64 kLargestMidiFile = 16 << 20;    // bytes; real MIDI files are far smaller

PlayableMidi playableMidiData(const QByteArray &file);

// Measured from the tempo map of playableMidiData(file): 500000 microseconds
// per quarter note until a tempo event changes it, tempo events taken from
// every track, and the end at the latest event of any track.
Duration probeMidi(const QByteArray &file, const QString &path);

} // namespace tv::media
