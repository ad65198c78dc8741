#pragma once

#include "Bytes.h"
#include "Duration.h"

namespace tv::media {

// MPEG audio (layers I-III) measured as a decoder plays it: every frame
// header is walked (a Xing/Info or VBRI header only adds the encoder delay
// and padding to trim, and only where its frame count agrees with the
// frames that are there). A file with damage inside (stretches that are no
// frames) is measured by decoding it, since how a decoder resynchronises
// over garbage decides what plays. Never a bitrate estimate.
Duration probeMp3(const Bytes &file, const QString &path);

// Where the MPEG frames start: past any ID3v2 tags at the front.
std::size_t mp3AudioStart(const Bytes &file);

// How far the search for the first frame (after the ID3 tags) and for the
// next frame after damage goes before the rest is taken as no sound.
inline constexpr std::size_t kMp3SyncSearchBytes = 4 * 1024 * 1024;

} // namespace tv::media
