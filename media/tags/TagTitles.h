#pragma once

#include <QString>

namespace tv::media {

// A song's line from its tags: "Artist – Title", the title alone when no
// artist is tagged, and empty when the title is not (the caller then shows
// the file name). Blanks around either tag are dropped.
QString titleLineOf(const QString &artist, const QString &title);

// The line the file's tags give (ID3, Vorbis comments, MP4 and the like, as
// the decoder library reads them); empty when the file has no title tag or
// cannot be read. Reads the file: call it off the window's thread.
QString readTitleLine(const QString &path);

// As readTitleLine, remembered in the user's cache folder (titles.json) by
// the file's path, size and modification time. Thread-safe.
QString cachedTitleLine(const QString &path);

} // namespace tv::media
