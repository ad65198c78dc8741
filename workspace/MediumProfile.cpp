#include "MediumProfile.h"

namespace tv::workspace {

const MediumProfile &MediumProfile::cassette()
{
    static const MediumProfile profile{
        QStringLiteral("MP3DragDrop"),
        QStringLiteral("The Cassette Tape Vantrel"),
        QStringLiteral("The Tape Vantrel"),
        QStringLiteral("Select Cassette Tape Length (In Minutes)"),
        {
            {QStringLiteral("opt60"), QStringLiteral("60"), 1800},
            {QStringLiteral("opt74"), QStringLiteral("74"), 2220},
            {QStringLiteral("opt90"), QStringLiteral("90"), 2700},
            {QStringLiteral("opt100"), QStringLiteral("100"), 3000},
            {QStringLiteral("opt110"), QStringLiteral("110"), 3300},
            {QStringLiteral("opt120"), QStringLiteral("120"), 3600},
        },
        30,
        QStringLiteral("Cassette"),
        {
            {QStringLiteral("Tape Side A Playlist"), QStringLiteral("Tape Side A"),
             QStringLiteral("Tape Side A     -    WARNING: Tape Side A Time Exceeded!"), QStringLiteral("  WARNING: Tape Side A Time Exceeded!"),
             QStringLiteral("Tape Side A"), QStringLiteral("A.) Insert Blank Cassette for TapeSide A and Start Recording.")},
            {QStringLiteral("Tape Side B Playlist"), QStringLiteral("Tape Side B"),
             QStringLiteral("Tape Side B     -    WARNING: Tape Side B Time Exceeded!"), QStringLiteral("  WARNING: Tape Side B Time Exceeded!"),
             QStringLiteral("Tape Side B"), QStringLiteral("A.) Insert Blank Cassette for TapeSide B and Start Recording.")},
        },
    };
    return profile;
}

const MediumProfile &MediumProfile::miniDisc()
{
    static const MediumProfile profile{
        QStringLiteral("MP3MiniDisc"),
        QStringLiteral("The Mini-Disc Vantrel"),
        QStringLiteral("The MiniDisc Vantrel"),
        QStringLiteral("Select MiniDisc Length (In Minutes)"),
        {
            {QStringLiteral("opt60"), QStringLiteral("60"), 3600},
            {QStringLiteral("opt74"), QStringLiteral("74"), 4440},
            {QStringLiteral("opt80"), QStringLiteral("80"), 4800},
            {QStringLiteral("opt148"), QStringLiteral("148"), 8880},
        },
        60,
        QStringLiteral("MiniDisc"),
        {
            {QStringLiteral("MiniDisc Playlist"), QStringLiteral("MiniDisc Playlist"),
             QStringLiteral("MiniDisc Playlist - WARNING: MiniDisc Time Exceeded!"), QStringLiteral("  WARNING: MiniDisc Time Exceeded!"),
             QStringLiteral("MiniDisc"), QStringLiteral("A.) Insert Blank MiniDisc and Start Recording.")},
        },
    };
    return profile;
}

} // namespace tv::workspace
