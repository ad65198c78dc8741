#pragma once

#include <QColor>
#include <QLine>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace tv::labels {

// Everything in which the cassette case insert and the MiniDisc label differ,
// as data: one window class lays itself out from here. Positions and sizes
// are twips on paper; child positions are inside Frame1, as in a container.

// The typefaces the layout was drawn for; LabelFonts maps them to fonts with
// the same metrics.
enum class LabelFace { Arial, MsSansSerif, MsSerif };

struct LabelFontDesign
{
    LabelFace face = LabelFace::Arial;
    double points = 8.25;
    bool bold = false;
};

// A box's colours; an invalid colour stands for the system's window
// background (the background of text fields) or window text.
struct BoxColours
{
    QColor background;
    QColor text;
};

struct BoxLayout
{
    QRect twips;
    LabelFontDesign font;
    BoxColours colours;
};

// A control that the window hides while it prints itself.
struct ControlLayout
{
    QString name;
    QString caption;
    QRect twips;
    QString toolTip;
};

struct LabelProfile
{
    QString windowName; // "frmTapeLabel", "frmMiniDiscLabel"
    QString documentName; // the print job's name
    QString messageTitle;
    QString dialogTitle; // of the colour, font and printer dialogs
    QSize clientTwips; // the window's client area: the card on paper

    QRect frameTwips; // Frame1, relative to the window
    QColor frameBackground;
    QString frameCaption; // empty: a frame without caption
    LabelFontDesign captionFont;
    QColor captionColour;

    int listCount; // playlists read: 2 for the tape sides, 1 for the MiniDisc
    int linesPerList; // song lines filled from each playlist
    QList<QRect> songLines; // txtTitle elements, in order
    LabelFontDesign songFont;
    BoxColours songColours;

    BoxLayout title; // txtTapeTitle
    bool titleIsStrip; // a vertical strip of one letter per line
    QString titleText; // stored with CR LF line ends
    BoxLayout appName; // lblAppName
    QString appNameText;

    QList<QLine> folds; // fold lines, inside Frame1
    QList<ControlLayout> hiddenControls; // in the order they are hidden and shown again
    LabelFontDesign controlFont;

    int songLineCount() const { return int(songLines.size()); }
    bool isCassette() const { return listCount > 1; }

    static const LabelProfile &tapeLabel();
    static const LabelProfile &miniDiscLabel();
};

} // namespace tv::labels
