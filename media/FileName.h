#pragma once

// The media layer names files as the file system holds them (bytes); the
// conversions live in the core, which playlist files share.
#include "NameBytes.h"

namespace tv::media {

using tv::core::fileNameBytes;
using tv::core::fileExists;
using tv::core::fileNameFromBytes;
using tv::core::localFileOfUrl;
using tv::core::readableFileName;
using tv::core::urlOfLocalFile;

} // namespace tv::media
