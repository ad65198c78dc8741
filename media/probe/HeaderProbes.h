#pragma once

#include "Bytes.h"
#include "Duration.h"

// Exact lengths read from the headers of uncompressed formats. Each takes the
// whole file's bytes and the path (for the error text).
namespace tv::media {

Duration probeWav(const Bytes &file, const QString &path);
Duration probeAiff(const Bytes &file, const QString &path);
Duration probeAu(const Bytes &file, const QString &path);

} // namespace tv::media
