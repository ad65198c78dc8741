// Saving the playlists, with the medium length and the song delay, to a
// ".tpl" file, and loading them back.
#include "Workspace.h"

#include "ExactFiles.h"
#include "FileDialogs.h"
#include "NameBytes.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "PlaylistFile.h"
#include "ProgramFolders.h"
#include "RememberedFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QSaveFile>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;
using tv::shell::msgBox;

namespace {

const QString kFilter = QStringLiteral("PlayList (*.tpl);;All (*.*)");
constexpr qint64 kLargestPlaylistFile = 64 * 1024 * 1024;
constexpr qint64 kLargestTotal = 32767;
constexpr qint64 kSmallestTotal = -32768;

// The dialogs start in the program's folder when it is writable (a build or
// portable folder); an installed program's folder is not, and they start in
// the user's own playlist folder instead.
QString playlistFolder()
{
    return tv::shell::userFilesFolder(QCoreApplication::applicationDirPath());
}

} // namespace

tv::core::PlaylistContent Workspace::playlistContent() const
{
    tv::core::PlaylistContent content;
    content.mediumCode = isCassette() ? QStringLiteral("60") : QStringLiteral("74");
    bool chosen = false;
    for (const QRadioButton *option : m_lengthOptions) {
        if (option->isChecked()) {
            content.mediumCode = option->text();
            chosen = true;
            break;
        }
    }
    if (!chosen && m_OptUSR->isChecked())
        content.mediumCode = QStringLiteral("00");
    content.customLength = m_txtUsrTapeLength->text();
    content.delay = m_txtOneSecondDelay->text();
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        tv::core::PlaylistSection &section = side == 0 ? content.sideA : content.sideB;
        section.total = side == 0 ? m_intTimeA : m_intTimeB;
        for (int i = 0; i < m_lstPlayList[side]->count(); ++i)
            section.entries << m_lstPlayList[side]->item(i)->text();
    }
    return content;
}

void Workspace::markPlaylistsSaved()
{
    m_savedPlaylists = tv::core::writePlaylist(playlistContent(), isCassette());
}

bool Workspace::hasUnsavedPlaylists() const
{
    bool anySong = false;
    for (int side = 0; side < m_profile.sides.size(); ++side)
        anySong = anySong || m_lstPlayList[side]->count() > 0;
    // Emptied lists lose nothing; songs, their order, totals, the length
    // and the delay as they would be saved are compared.
    return anySong && tv::core::writePlaylist(playlistContent(), isCassette()) != m_savedPlaylists;
}

bool Workspace::askToSavePlaylists()
{
    if (!hasUnsavedPlaylists())
        return true;
    switch (msgBox(this, QStringLiteral("Save the playlists?"), Msg::YesNoCancel | Msg::Question, m_profile.messageTitle)) {
    case Msg::Yes:
        return savePlaylists(); // a cancelled or failed save keeps the window
    case Msg::No:
        return true;
    default:
        return false;
    }
}

void Workspace::mnuPlayListSave_Click()
{
    savePlaylists();
}

bool Workspace::savePlaylists()
{
    const QString title = isCassette() ? QStringLiteral("Save Tapeside A & B Playlist") : QStringLiteral("Save MiniDisc Playlist");
    QString name
        = tv::shell::askFileName(this, {true, title, rememberedFolder(FolderRole::SavePlaylist, playlistFolder()), kFilter});
    if (name.trimmed().isEmpty()) {
        msgBox(this, QStringLiteral("Save Playlist Cancelled!"), Msg::Exclamation, title);
        return false;
    }
    rememberFolderOf(FolderRole::SavePlaylist, name);
    if (!name.right(4).toLower().endsWith(QLatin1String(".tpl")))
        name += QStringLiteral(".tpl");

    // Written beside the old file and moved into place only when complete:
    // a failed save leaves the file it would have replaced as it was. In a
    // folder the program may not write to, a writable file there is
    // replaced by writing it in place, still checked for a short write.
    QSaveFile file(name);
    file.setDirectWriteFallback(true);
    const QByteArray bytes = tv::core::writePlaylist(playlistContent(), isCassette());
    if (!file.open(QIODevice::WriteOnly)) {
        msgBox(this, QStringLiteral("Error Saving Playlist!\r\n75\r\n%1").arg(file.errorString()), Msg::Exclamation, title);
        return false;
    }
    // A short write (a full disk) is not always reported by the write
    // itself: the size on disk must match before the file takes the place
    // of the old one.
    const bool written = file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size();
    if (!written || !file.commit()) {
        const QString reason = written ? file.errorString() : QStringLiteral("Disk full: only part of the playlist could be written");
        file.cancelWriting();
        msgBox(this, QStringLiteral("Error Saving Playlist!\r\n%1\r\n%2").arg(written ? 75 : 61).arg(reason), Msg::Exclamation, title);
        return false;
    }
    m_savedPlaylists = bytes;
    msgBox(this, QStringLiteral("Save Playlist Completed!"), Msg::Information, title);
    return true;
}

void Workspace::mnuPlayListLoad_Click()
{
    const QString title = isCassette() ? QStringLiteral("Load Tapeside A & B Playlist") : QStringLiteral("Load MiniDisc Playlist");
    bool any = false;
    for (int side = 0; side < m_profile.sides.size(); ++side)
        any = any || m_lstPlayList[side]->count() > 0;
    if (any) {
        const QString question = isCassette() ? QStringLiteral("Clear Current A & B Playlist Before Loading?")
                                              : QStringLiteral("Clear Current Playlist Before Loading?");
        if (msgBox(this, question, Msg::YesNo | Msg::Question, title) == Msg::Yes) {
            m_lstPlayList[0]->clear();
            m_intTimeA = 0;
            subTapeA_TimeCalc();
            if (isCassette()) {
                m_lstPlayList[1]->clear();
                m_intTimeB = 0;
                subTapeB_TimeCalc();
            }
        }
    }
    const QString name
        = tv::shell::askFileName(this, {false, title, rememberedFolder(FolderRole::LoadPlaylist, playlistFolder()), kFilter});
    if (name.trimmed().isEmpty())
        return;
    rememberFolderOf(FolderRole::LoadPlaylist, name);
    subLoadPlayList(name);
}

bool Workspace::subLoadPlayList(const QString &path)
{
    const QString title = isCassette() ? QStringLiteral("Load Tapeside A & B Playlist") : QStringLiteral("Load MiniDisc Playlist");
    const auto fail = [&](int number, const QString &description) {
        msgBox(this, QStringLiteral("Error Loading Playlist!\r\n%1\r\n%2").arg(number).arg(description), Msg::Exclamation, title);
        return false;
    };
    // By the name's own bytes: a playlist named in Latin-1 is still that file.
    if (!tv::core::fileExists(path))
        return fail(53, QStringLiteral("File not found: %1").arg(tv::core::readableFileName(path)));
    QByteArray bytes;
    QString why;
    if (!tv::core::readExact(path, kLargestPlaylistFile, bytes, why))
        return fail(75, QStringLiteral("Path/File access error: %1").arg(why.startsWith(QLatin1String("it is larger"))
                                                                               ? QStringLiteral("%1 is too large to be a playlist").arg(tv::core::readableFileName(path))
                                                                               : why));
    const tv::core::PlaylistRead read = tv::core::readPlaylist(bytes, isCassette());

    // The header first, as far as it was read: the delay, then the length.
    if (read.headerLines >= 3) {
        m_txtOneSecondDelay->setText(read.content.delay);
        const QString &code = read.content.mediumCode;
        if (code == QLatin1String("00")) {
            m_OptUSR->setChecked(true);
            OptUSR_Click();
            m_txtUsrTapeLength->setText(read.content.customLength);
        } else {
            for (int i = 0; i < m_lengthOptions.size(); ++i) {
                if (m_lengthOptions.at(i)->text() == code) {
                    m_lengthOptions.at(i)->setChecked(true);
                    optLength_Click(i);
                }
            }
        }
    }
    bool startedEmpty = true;
    for (int side = 0; side < m_profile.sides.size(); ++side)
        startedEmpty = startedEmpty && m_lstPlayList[side]->count() == 0;
    // The sections as far as they were read: totals trusted, entries unchanged.
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        const tv::core::PlaylistSection &section = side == 0 ? read.content.sideA : read.content.sideB;
        qint64 &total = side == 0 ? m_intTimeA : m_intTimeB;
        // A total is a 16-bit count, as when adding songs: a section that
        // would take it past 9:06:07 is not loaded, like an overflow on the
        // older platform; the sections before it stay.
        if (section.totalRead && (section.total > kLargestTotal - total || section.total < kSmallestTotal - total))
            return fail(6, QStringLiteral("Overflow: %1 would then hold more than 9:06:07 of music, the most this program can count")
                               .arg(m_profile.sides.at(side).normalCaption));
        if (section.totalRead)
            total += section.total;
        m_lstPlayList[side]->addItems(section.entries);
    }
    switch (read.outcome) {
    case tv::core::PlaylistRead::Outcome::Error:
        return fail(read.errorNumber, read.errorDescription);
    case tv::core::PlaylistRead::Outcome::NoSection:
        msgBox(this, QStringLiteral("Invalid or Empty Playlist!"), Msg::Exclamation, title);
        return true;
    case tv::core::PlaylistRead::Outcome::Sections:
        subTapeA_TimeCalc();
        if (isCassette())
            subTapeB_TimeCalc();
        // Lists that hold just what the file holds lose nothing on closing;
        // songs loaded on top of others are in no file yet.
        if (startedEmpty)
            markPlaylistsSaved();
        if (!isCassette())
            tellOfSideBLeftOut(bytes, title);
        return true;
    }
    return true;
}

void Workspace::tellOfSideBLeftOut(const QByteArray &bytes, const QString &title)
{
    // The MiniDisc reads the first playlist of a cassette's file only; the
    // user is told what stayed behind rather than finding it missing later.
    const tv::core::PlaylistRead asCassette = tv::core::readPlaylist(bytes, true);
    const qsizetype left = asCassette.content.sideB.entries.size();
    if (left == 0)
        return;
    msgBox(this,
           left == 1 ? QStringLiteral("Side B's 1 song was not loaded: the MiniDisc has one playlist.")
                     : QStringLiteral("Side B's %1 songs were not loaded: the MiniDisc has one playlist.").arg(left),
           Msg::Information, title);
}

} // namespace tv::workspace
