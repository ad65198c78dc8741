#pragma once

#include <QString>

namespace tv::media {
class CdDisc;
}

namespace tv::media {

// How an audio CD is reached as files. For each disc source (a drive such as
// /dev/sr0 or a disc image) the program keeps a folder in the user's cache,
//   <cache>/AudioCD/<name of the drive or image>/
// holding one small file per music track, Track01.cda, Track02.cda, ..., in
// the 44-byte RIFF "CDDA" layout that such track files have everywhere, and a
// file ".source" naming the drive or image. The track number of a track file
// is always the 5th and 6th characters from the end of its name. A track file
// whose folder has no ".source" (one copied from elsewhere) plays from the
// first CD drive.
namespace CdTrackFolder {

// Writes (or rewrites) the folder for source and returns its path; on failure
// returns an empty text and sets error.
QString materialise(const QString &source, QString &error);

// The drive or image that the track file at path belongs to.
QString sourceFor(const QString &trackFilePath);

// The disc image whose tracks the folder holds; empty for any other folder
// (a drive's track folder included).
QString imageOf(const QString &folder);

// False, with error set, when the track file names another disc than disc
// (by the disc number it carries): the folder was rewritten for another
// disc, or another disc is in the drive. A track file of another layout
// (one copied from elsewhere) or one that is not there is not checked.
bool matchesDisc(const QString &trackFilePath, const CdDisc &disc, QString &error);

// The track number in a track file's name, or 0 when its 5th and 6th
// characters from the end are not digits.
int trackNumberOf(const QString &trackFilePath);
// The file of another track of the same folder: trackFilePath with its
// track number replaced by track. Anything but a track file is kept.
QString trackFileOf(const QString &trackFilePath, int track);

} // namespace CdTrackFolder

} // namespace tv::media
