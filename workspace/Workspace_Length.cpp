// Medium length and side time accounting: the length options, the custom
// length, the song delay and the read-out of each side.
#include "Workspace.h"

#include "Globals.h"
#include "Settings.h"
#include "LocaleNumber.h"
#include "PlayListBox.h"
#include "SidePlanning.h"
#include "SideReadout.h"
#include "TimeText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace tv::workspace {

namespace {

// The side length survives closing and reopening a workspace within one run
// of the program; one value per medium.
qint64 &sideLengthOf(const MediumProfile &profile)
{
    static qint64 cassette = 0;
    static qint64 miniDisc = 0;
    return profile.hasSideB() ? cassette : miniDisc;
}

constexpr QRgb kOverFullBackground = qRgb(0xFF, 0xC0, 0xC0); // 12632319 in blue-green-red order
constexpr QRgb kWarningText = qRgb(0xFF, 0, 0);              // 255

} // namespace

int Workspace::intSideLength() const
{
    return int(sideLengthOf(m_profile));
}

void Workspace::setSideLength(qint64 seconds)
{
    sideLengthOf(m_profile) = seconds;
}

void Workspace::subTapeLength()
{
    subTapeA_TimeCalc();
    if (isCassette())
        subTapeB_TimeCalc();
}

void Workspace::subTapeA_TimeCalc()
{
    sideTimeCalc(0);
}

void Workspace::subTapeB_TimeCalc()
{
    if (isCassette())
        sideTimeCalc(1);
}

qint64 Workspace::sideLengthAsRecorded() const
{
    // A MiniDisc deck in LP2 or LP4 puts two or four times the minutes on
    // the same disc; a cassette is what it is.
    return isCassette() ? intSideLength() : tv::core::lengthInMode(intSideLength(), m_miniDiscMode);
}

qint64 Workspace::sideLengthForSongs() const
{
    return sideLengthAsRecorded() - leadInSeconds();
}

void Workspace::setLeadInSeconds(qint64 seconds)
{
    m_leadInSeconds = std::max<qint64>(0, seconds);
    tv::shell::saveSetting(QStringLiteral("Cassette"), QStringLiteral("LeadIn"), QString::number(m_leadInSeconds));
    subTapeLength();
}

QString Workspace::longerModeText(qint64 used) const
{
    if (isCassette())
        return {};
    const std::optional<tv::core::MiniDiscMode> fits = tv::core::longerModeThatFits(used, intSideLength(), m_miniDiscMode);
    return fits ? QStringLiteral("[ fits in %1 ]").arg(tv::core::modeName(*fits)) : QString();
}

void Workspace::setMiniDiscMode(tv::core::MiniDiscMode mode)
{
    m_miniDiscMode = mode;
    tv::shell::saveSetting(QStringLiteral("MiniDisc"), QStringLiteral("Mode"), tv::core::modeName(mode));
    subTapeLength();
}

QString Workspace::trackLimitText(int entries) const
{
    // A MiniDisc holds so many tracks however short they are.
    if (isCassette() || entries <= tv::core::kMiniDiscTrackLimit)
        return {};
    return QStringLiteral("[ %1 tracks: a MiniDisc holds %2 ]").arg(entries).arg(tv::core::kMiniDiscTrackLimit);
}

qint64 Workspace::delaySecondsAsCounted() const
{
    const std::optional<double> delay = tv::core::readNumber(m_txtOneSecondDelay->text());
    return delay ? tv::core::roundHalfEven(*delay) : 0;
}

void Workspace::sideTimeCalc(int side)
{
    const qint64 delaySeconds = delaySecondsAsCounted();
    const qint64 total = side == 0 ? m_intTimeA : m_intTimeB;
    // A side with songs begins with the lead-in, counted as its time used.
    const qint64 entries = m_lstPlayList[side]->count();
    const qint64 used = total + (entries > 0 ? leadInSeconds() : 0);
    const tv::core::SideReadout r = tv::core::computeSideReadout(used, entries, delaySeconds, sideLengthAsRecorded());
    const SideTexts &texts = m_profile.sides.at(side);

    // In the order the read-out has always set them. The window's style
    // sheet would paint over a palette colour, so the list's background is
    // given in a style sheet of its own; the normal state is the scheme's.
    tv::controls::PlayListBox *listBox = m_lstPlayList[side];
    QPalette list = listBox->palette();
    list.setColor(QPalette::Base, r.overFull ? QColor(kOverFullBackground) : palette().color(QPalette::Base));
    listBox->setPalette(list);
    listBox->setStyleSheet(r.overFull ? QStringLiteral("QListWidget { background-color: %1; }").arg(QColor(kOverFullBackground).name())
                                      : QString());
    QPalette info = m_lblInfo[side]->palette();
    info.setColor(QPalette::WindowText, r.overFull ? QColor(kWarningText) : palette().color(QPalette::ButtonText));
    m_lblInfo[side]->setPalette(info);
    m_frmTapeSide[side]->setTitle(r.overFull ? texts.warningCaption : texts.normalCaption);
    QLabel *warning = m_lblRecordSide[side];
    QPalette warn = warning->palette();
    warn.setColor(QPalette::WindowText, r.overFull ? QColor(kWarningText) : palette().color(QPalette::ButtonText));
    warning->setPalette(warn);
    warning->setText(r.overFull ? texts.warningLine : QString());
    m_lblInfo[side]->setText(r.info + longerModeText(r.total) + trackLimitText(m_lstPlayList[side]->count()));
    markSongsPastTheEnd(side, delaySeconds);
}

void Workspace::optLength_Click(int option)
{
    setSideLength(m_profile.lengths.at(option).seconds);
    subTapeLength();
}

void Workspace::OptUSR_Click()
{
    m_txtUsrTapeLength->setEnabled(true);
    const double minutes = tv::core::readNumber(m_txtUsrTapeLength->text()).value_or(0);
    setSideLength(tv::core::roundHalfEven(minutes * m_profile.customSecondsPerMinute));
    m_txtUsrTapeLength->setFocus();
    m_txtUsrTapeLength->setSelection(0, int(m_txtUsrTapeLength->text().size()));
    subTapeLength();
}

void Workspace::txtUsrTapeLength_Change()
{
    const std::optional<double> minutes = tv::core::readNumber(m_txtUsrTapeLength->text());
    if (!minutes) {
        m_txtUsrTapeLength->setText(QStringLiteral("000")); // runs this handler again
        return;
    }
    setSideLength(tv::core::roundHalfEven(*minutes * m_profile.customSecondsPerMinute));
    subTapeLength();
}

void Workspace::txtOneSecondDelay_Change()
{
    const std::optional<double> seconds = tv::core::readNumber(m_txtOneSecondDelay->text());
    if (!seconds) {
        m_txtOneSecondDelay->setText(QStringLiteral("0")); // runs this handler again
        return;
    }
    // A number as the box shows it, brought into the 32-bit range of milliseconds.
    const double ms = std::clamp(double(tv::core::roundHalfEven(*seconds)) * 1000.0, -2147483648.0, 2147483647.0);
    tv::shell::globals().glngSongDelayMs = qint32(ms);
    subTapeA_TimeCalc();
    if (isCassette())
        subTapeB_TimeCalc();
}

} // namespace tv::workspace
