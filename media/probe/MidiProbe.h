#pragma once

#include "Bytes.h"
#include "Duration.h"

#include <QByteArray>

namespace tv::media {

// Standard MIDI files (and RIFF RMID files that wrap one) measured from their
// tempo map: 500000 microseconds per quarter note until a tempo event changes
// it, tempo events taken from every track, and the end at the latest event of
// any track.
Duration probeMidi(const Bytes &file, const QString &path);

// The standard MIDI file inside an RMI file, or the file itself when it is a
// plain MIDI file; empty when neither.
QByteArray standardMidiData(const QByteArray &file);

} // namespace tv::media
