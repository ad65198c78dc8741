// Adding songs: measuring each one, appending its Song entry to the playlist
// on display, and keeping that side's total and read-out right.
#include "Workspace.h"

#include "FileListBox.h"
#include "FolderListBox.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "SongEntry.h"
#include "TimeText.h"

#include <QApplication>
#include <QGuiApplication>

namespace tv::workspace {

namespace {

// Totals are kept in whole seconds within the program's 16-bit range.
constexpr qint64 kLargestTotal = 32767;

// The busy pointer for as long as songs are being measured.
struct BusyPointer
{
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

void Workspace::File1_DblClick()
{
    subAddSong(QString());
}

void Workspace::mnuAdd_Click()
{
    subAddSong(QString());
}

void Workspace::subAddSong(const QString &path)
{
    const BusyPointer busy;
    if (!path.isEmpty()) {
        addOneSong(path);
        return;
    }
    for (int i = 0; i < m_File1->count(); ++i) {
        if (m_File1->item(i)->isSelected())
            addOneSong(m_File1->fullPath(m_File1->item(i)->text()));
    }
}

bool Workspace::addOneSong(const QString &fullPath)
{
    double measured = 0;
    if (fullPath.endsWith(QLatin1String("cda"), Qt::CaseSensitive)) {
        tv::shell::Module1::subStopPlayers(*this, QStringLiteral("McdPlayer"));
        measured = tv::shell::Module1::fnCdTrackLength(*this, fullPath).value_or(0.0);
    } else {
        m_MplayerSongTime->setFileName(fullPath);
        if (m_MplayerSongTime->playState() == tv::media::MediaPlayer::Closed) {
            // A file that cannot be measured would only fail later, in the
            // middle of a recording: it is not added, and the user is told why.
            tv::shell::msgBox(this, m_MplayerSongTime->errorDescription(), tv::shell::Msg::Exclamation, m_profile.messageTitle);
            return true;
        }
        measured = m_MplayerSongTime->duration();
    }
    const qint64 seconds = tv::core::roundHalfEven(measured);

    const Side side = shownSide();
    if (side == Side::None)
        return true; // no playlist on display: the song is left out
    const int index = side == Side::A ? 0 : 1;
    qint64 &total = index == 0 ? m_intTimeA : m_intTimeB;
    if (total + seconds > kLargestTotal) {
        tv::shell::msgBox(this,
                          QStringLiteral("\"%1\" was not added: %2 would then hold more than 9:06:07 of music, "
                                         "the most this program can count.")
                              .arg(fullPath, m_profile.sides.at(index).normalCaption),
                          tv::shell::Msg::Exclamation, m_profile.messageTitle);
        return false;
    }
    m_lstPlayList[index]->addItem(tv::core::SongEntry{fullPath, seconds}.text());
    total += seconds;
    if (index == 0)
        subTapeA_TimeCalc();
    else
        subTapeB_TimeCalc();
    return true;
}

void Workspace::lstPlayList_OLEDragDrop(const QStringList &paths)
{
    const BusyPointer busy;
    for (QString path : paths) {
        path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        if (!addOneSong(path))
            return; // the files not yet added are skipped; those added stay
    }
}

} // namespace tv::workspace
