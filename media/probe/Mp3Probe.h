#pragma once

#include "Bytes.h"
#include "Duration.h"

namespace tv::media {

// MPEG audio (layers I-III) measured exactly: from a Xing/Info or VBRI header
// when the first frame carries one, otherwise by walking every frame header.
// Never a bitrate estimate.
Duration probeMp3(const Bytes &file, const QString &path);

// Where the MPEG frames start: past any ID3v2 tags at the front.
std::size_t mp3AudioStart(const Bytes &file);

} // namespace tv::media
