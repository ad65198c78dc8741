#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tv::media::CueSheet {

// A data file of a sheet. A raw one (BINARY, MOTOROLA) holds CD sectors; any
// other (WAVE, AIFF, MP3, and whatever the decoder reads under those names,
// such as FLAC) holds sound that is decoded.
struct File
{
    QString path; // full
    QString type;         // how it is read: as the sheet gives it, upper case, except below
    QString declaredType; // as the sheet gives it; a .bin, .img or .raw file is read as BINARY whatever this says
    int line = 0;
    qint64 sectors = 0; // its length in CD sectors, a cut last one counted whole
    bool raw() const { return type == QLatin1String("BINARY") || type == QLatin1String("MOTOROLA"); }
};

// A place in a data file, in sectors from its start.
struct Point
{
    int file = -1;
    qint64 sector = 0;
};

struct Track
{
    int number = 0;
    bool audio = true;
    int sectorBytes = 2352;
    std::optional<Point> index0; // where its pregap in the data starts
    Point index1;                // where it starts
    qint64 pregap = 0;           // PREGAP: silence before it that no file holds
    qint64 postgap = 0;          // POSTGAP: silence after it that no file holds
    int line = 0;
};

struct Sheet
{
    QList<File> files;
    QList<Track> tracks;
    // libcdio reads it as the sheet means it: one raw file, no gaps that no
    // file holds. Every other sheet is laid out by this program.
    bool readByLibcdio() const;
};

// Reads and checks a CUE sheet: every line must be a known command with valid
// arguments, every data file it names must exist and be long enough for the
// tracks that it places in it. On a fault returns nothing and sets error to
// one sentence naming the sheet, the line and what is wrong.
std::optional<Sheet> read(const QString &cuePath, QString &error);

// read()'s error, or an empty text when the sheet is sound.
QString check(const QString &cuePath);

} // namespace tv::media::CueSheet
