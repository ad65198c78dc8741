#pragma once

#include "Bytes.h"
#include "Duration.h"

// Lengths read from the headers of uncompressed formats: what a decoder
// plays, that is the sound data the file really holds (a header that
// promises more than is there describes a file cut short, which plays to
// where it ends). Each takes the file's bytes and the path (for the error
// text); compressed variants answer Duration::containerDecides().
namespace tv::media {

Duration probeWav(const Bytes &file, const QString &path);
Duration probeAiff(const Bytes &file, const QString &path);
Duration probeAu(const Bytes &file, const QString &path);

} // namespace tv::media
