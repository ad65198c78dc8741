#include "LabelProfile.h"

namespace tv::labels {

namespace {

const QColor kDarkBlue(0, 0, 192);
const BoxColours kBlackOnWhite { Qt::white, Qt::black };
const BoxColours kSystemColours { QColor(), QColor() };

QString captionWithBlanks()
{
    // The side headings above the two columns, kept apart by 100 blanks.
    return QStringLiteral("Side A") + QString(100, QLatin1Char(' ')) + QStringLiteral("Side B");
}

QList<QRect> tapeSongLines()
{
    QList<QRect> lines;
    for (int i = 0; i < 28; ++i) {
        const int row = i % 14;
        int left = i < 14 ? 90 : 2910;
        if (i == 14)
            left = 2905; // as the layout was drawn
        lines.append(QRect(left, 210 + 240 * row, 2820, 240));
    }
    return lines;
}

QList<QRect> miniDiscSongLines()
{
    QList<QRect> lines;
    for (int i = 0; i < 15; ++i)
        lines.append(QRect(60, 150 + 210 * i, 3675, 240)); // 240 high, 210 apart: they overlap by 30
    return lines;
}

} // namespace

const LabelProfile &LabelProfile::tapeLabel()
{
    static const LabelProfile profile {
        QStringLiteral("frmTapeLabel"),
        QStringLiteral("Cassette Case Insert"),
        QStringLiteral("The Tape Vantrel"),
        QStringLiteral("Print Cassette Case Insert"),
        QSize(5805, 4785),
        QRect(0, 0, 5812, 4785),
        kDarkBlue,
        captionWithBlanks(),
        { LabelFace::MsSerif, 8.25, true },
        Qt::black,
        2,
        14,
        tapeSongLines(),
        { LabelFace::Arial, 6.75, true },
        kBlackOnWhite,
        { QRect(90, 3780, 5625, 420), { LabelFace::MsSansSerif, 12, true }, kBlackOnWhite },
        false,
        QStringLiteral("Enter Cassette Tape Title Here"),
        { QRect(240, 4410, 5355, 285), { LabelFace::MsSansSerif, 9.75, true }, kBlackOnWhite },
        QStringLiteral("The Tape Vantrel"),
        { QLine(0, 3630, 5812, 3630), QLine(0, 4290, 5812, 4290) },
        {
            { QStringLiteral("chkSongTime"), QStringLiteral("W/Time"), QRect(250, 4410, 1155, 295), QStringLiteral("Include Song Times") },
            { QStringLiteral("cmdPrint"), QStringLiteral("&Print Insert"), QRect(1335, 4240, 850, 495), QString() },
            { QStringLiteral("cmdPrintSetup"), QStringLiteral("Printer &Setup"), QRect(2190, 4240, 850, 495), QString() },
            { QStringLiteral("cmdFont"), QStringLiteral("Change &Font"), QRect(3045, 4240, 850, 495), QString() },
            { QStringLiteral("cmdBackground"), QStringLiteral("Change &Back"), QRect(3900, 4240, 850, 495),
                QStringLiteral("Change Background Color") },
            { QStringLiteral("cmdExit"), QStringLiteral("&Exit "), QRect(4755, 4240, 850, 495), QString() },
        },
        { LabelFace::MsSansSerif, 8.25, false },
    };
    return profile;
}

const LabelProfile &LabelProfile::miniDiscLabel()
{
    static const LabelProfile profile {
        QStringLiteral("frmMiniDiscLabel"),
        QStringLiteral("MiniDisc Label"),
        QStringLiteral("The MiniDisc Vantrel"),
        QStringLiteral("Print Cassette Case Insert"),
        QSize(4125, 3555),
        QRect(0, -90, 4125, 3645), // its top border lies outside the window
        kDarkBlue,
        QString(),
        { LabelFace::MsSerif, 8.25, true },
        Qt::black,
        1,
        15,
        miniDiscSongLines(),
        { LabelFace::Arial, 6.75, true },
        kSystemColours,
        { QRect(3780, 150, 240, 3450), { LabelFace::MsSansSerif, 9.75, true }, kSystemColours },
        true,
        QStringLiteral("E\r\nN\r\nT\r\nE\r\nR \r\n  \r\nT\r\nI\r\nT\r\nL\r\nE\r\n"),
        { QRect(60, 3330, 3675, 255), { LabelFace::MsSansSerif, 9.75, true }, kSystemColours },
        QStringLiteral("The Cassette Tape Vantrel"),
        {},
        {
            { QStringLiteral("chkSongTime"), QStringLiteral("Time"), QRect(75, 3360, 675, 255), QStringLiteral("Include Song Times") },
            { QStringLiteral("cmdPrint"), QStringLiteral("&Print"), QRect(750, 3360, 600, 255), QString() },
            { QStringLiteral("cmdPrintSetup"), QStringLiteral("&Setup"), QRect(1345, 3360, 600, 255), QString() },
            { QStringLiteral("cmdFont"), QStringLiteral("&Font"), QRect(1950, 3360, 600, 255), QString() },
            { QStringLiteral("cmdBackground"), QStringLiteral("&Back"), QRect(2550, 3360, 600, 255), QString() },
            { QStringLiteral("cmdExit"), QStringLiteral("&Exit"), QRect(3145, 3360, 570, 255), QString() },
        },
        { LabelFace::Arial, 6.75, false },
    };
    return profile;
}

} // namespace tv::labels
