#pragma once

#include <QList>
#include <QString>

namespace tv::workspace {

// Everything in which the cassette and the MiniDisc workspaces differ, as
// data: one workspace class reads its texts and numbers from here.
struct LengthOption
{
    QString name;    // objectName, "opt90"
    QString caption; // minutes, "90"
    int seconds;     // intSideLength it sets
};

struct SideTexts
{
    QString initialCaption; // before the first recomputation
    QString normalCaption;
    QString warningCaption; // the frame's caption when over-full
    QString warningLine;    // lblRecordSide's caption when over-full
    QString recordingName;  // "Tape Side A", "MiniDisc": in the recording messages
    QString insertLine;     // the first line of the recording prompt
};

struct MediumProfile
{
    QString windowName;  // "MP3DragDrop", "MP3MiniDisc"
    QString windowCaption;
    QString messageTitle;
    QString lengthFrameCaption;
    QList<LengthOption> lengths;
    int customSecondsPerMinute; // 30: half a cassette per side; 60: the whole disc
    QString mediumWord;         // "Cassette", "MiniDisc": in the pause and stop questions
    QList<SideTexts> sides;     // two for the cassette, one for the MiniDisc
    bool hasSideB() const { return sides.size() > 1; }

    static const MediumProfile &cassette();
    static const MediumProfile &miniDisc();
};

} // namespace tv::workspace
