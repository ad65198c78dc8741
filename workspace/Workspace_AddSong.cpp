// Adding songs: measuring each one (on the measuring thread, while the
// window keeps painting), appending its Song entry to the playlist on
// display, and keeping that side's total and read-out right.
#include "Workspace.h"

#include "AddingProgress.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MeasuringQueue.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "SongEntry.h"
#include "SoundFile.h"
#include "TimeText.h"

#include <QPushButton>

#include <deque>

namespace tv::workspace {

namespace {

// Totals are kept in whole seconds within the program's 16-bit range.
constexpr qint64 kLargestTotal = 32767;

// The arrow with the hourglass over the window for as long as songs are
// being measured; the window's own pointer (the record cursor) comes back.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window) : m_window(window), m_hadCursor(window->testAttribute(Qt::WA_SetCursor)), m_cursor(window->cursor())
    {
        m_window->setCursor(Qt::BusyCursor);
    }
    ~BusyPointer()
    {
        if (m_hadCursor)
            m_window->setCursor(m_cursor);
        else
            m_window->unsetCursor();
    }

private:
    QWidget *m_window;
    bool m_hadCursor;
    QCursor m_cursor;
};

struct Measured
{
    double seconds = 0;
    QString error;
};

} // namespace

void Workspace::File1_DblClick()
{
    if (File1_OpenCdImage())
        return;
    subAddSong(QString());
}

void Workspace::mnuAdd_Click()
{
    subAddSong(QString());
}

void Workspace::subAddSong(const QString &path)
{
    QStringList paths;
    if (!path.isEmpty()) {
        paths << path;
    } else {
        for (int i = 0; i < m_File1->count(); ++i) {
            if (m_File1->item(i)->isSelected())
                paths << m_File1->fullPath(m_File1->item(i)->text());
        }
    }
    addSongs(paths, false);
}

void Workspace::lstPlayList_OLEDragDrop(const QStringList &paths)
{
    QStringList folded;
    for (QString path : paths)
        folded << path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    addSongs(folded, true);
}

void Workspace::addSongs(const QStringList &paths, bool stopAtRefusal)
{
    if (paths.isEmpty())
        return;
    if (m_addingSongs) {
        // Asked again while adding (an event that ran meanwhile): these
        // follow the songs being added, in the order asked.
        m_songsToAddNext << paths;
        return;
    }
    m_addingSongs = true;
    const BusyPointer busy(this);

    // Every song but a CD track is measured on the measuring thread, ahead
    // of the window appending them; CD tracks are measured here, in their turn.
    QStringList queue = paths;
    tv::media::MeasuringQueue measuring;
    std::deque<Measured> answers;
    AddingProgress progress(this, m_profile.messageTitle, int(queue.size()));
    connect(&measuring, &tv::media::MeasuringQueue::measured, this, [&](int, const QString &, double seconds, const QString &error) {
        answers.push_back({seconds, error});
        progress.wake();
    });
    const auto startMeasuring = [&measuring](const QStringList &songs) {
        QStringList files;
        for (const QString &song : songs) {
            if (!tv::media::isCdTrackName(song))
                files << song;
        }
        measuring.append(files);
    };
    startMeasuring(queue);

    for (int next = 0; next < queue.size() && !progress.stopped(); ++next) {
        const QString &fullPath = queue.at(next);
        Measured song;
        if (tv::media::isCdTrackName(fullPath)) {
            tv::shell::Module1::subStopPlayers(*this, QStringLiteral("McdPlayer"));
            song.seconds = tv::shell::Module1::fnCdTrackLength(*this, fullPath).value_or(0.0);
        } else {
            while (answers.empty() && !progress.stopped())
                progress.wait();
            if (progress.stopped())
                break;
            song = answers.front();
            answers.pop_front();
        }
        if (!addMeasuredSong(fullPath, song.seconds, song.error) && stopAtRefusal)
            break; // the files not yet added are skipped; those added stay
        if (!m_songsToAddNext.isEmpty()) {
            startMeasuring(m_songsToAddNext);
            queue << m_songsToAddNext;
            m_songsToAddNext.clear();
            progress.setTotal(int(queue.size()));
        }
        progress.setDone(next + 1);
    }
    measuring.cancel();
    m_songsToAddNext.clear();
    m_addingSongs = false;
}

bool Workspace::addMeasuredSong(const QString &fullPath, double measured, const QString &error)
{
    if (!error.isEmpty()) {
        // A file that cannot be measured would only fail later, in the
        // middle of a recording: it is not added, and the user is told why,
        // as the measuring player reports its errors.
        tv::shell::msgBox(this, error, tv::shell::Msg::Critical, m_profile.messageTitle);
        m_cmdDummyFocus->setFocus();
        return true;
    }
    const qint64 seconds = tv::core::roundHalfEven(measured);

    const Side side = shownSide();
    if (side == Side::None)
        return true; // no playlist on display: the song is left out
    const int index = side == Side::A ? 0 : 1;
    qint64 &total = index == 0 ? m_intTimeA : m_intTimeB;
    // Checked before adding, on values that cannot overflow: a song is at
    // most a few days long and a total never passes the limit.
    if (seconds > kLargestTotal - total) {
        tv::shell::msgBox(this,
                          QStringLiteral("\"%1\" was not added: %2 would then hold more than 9:06:07 of music, "
                                         "the most this program can count.")
                              .arg(fullPath, m_profile.sides.at(index).normalCaption),
                          tv::shell::Msg::Exclamation, m_profile.messageTitle);
        return false;
    }
    m_lstPlayList[index]->addItem(tv::core::SongEntry{fullPath, seconds}.text());
    m_lstPlayList[index]->scrollToBottom(); // the song just added is in view
    total += seconds;
    if (index == 0)
        subTapeA_TimeCalc();
    else
        subTapeB_TimeCalc();
    return true;
}

} // namespace tv::workspace
