#include "WorkspaceLevels.h"

#include "RememberedFolders.h"

#include "AudioFileWriter.h"
#include "AudioFormat.h"
#include "DeckCheckWindow.h"
#include "SideVerifyWindow.h"
#include "FileDialogs.h"
#include "Globals.h"
#include "LevelMatching.h"
#include "LevelToneWindow.h"
#include "LevelsCache.h"
#include "LevelsQueue.h"
#include "MeasureSong.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "SideRenderer.h"
#include "SongEntry.h"
#include "TimeText.h"
#include "ToneSource.h"
#include "WindowSource.h"
#include "Workspace.h"
#include "output/AudioOutput.h"
#include "source/PlayableSource.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <thread>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;
using tv::levels::SongLevels;
using tv::shell::msgBox;

namespace {
const QString kSection = QStringLiteral("Levels");

// Runs work on a thread of its own while a progress window (titled with the
// tool's name) with Cancel keeps the workspace responsive; progress() reads
// how far the work is (0 to maximum). False when the user cancelled.
bool runWithProgress(QWidget *parent, const QString &title, const QString &label, int maximum,
                     const std::function<void(std::atomic<bool> &)> &work, const std::function<int()> &progress)
{
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, std::max(1, maximum), parent);
    dialog.setObjectName(QStringLiteral("frmLevelProgress"));
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        dialog.setValue(std::min(progress(), dialog.maximum() - 1));
        if (done)
            loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
    std::thread worker([&] {
        work(cancel);
        done = true;
    });
    poll.start();
    loop.exec();
    worker.join();
    return !cancel;
}

QString timeText(qint64 ms)
{
    return tv::core::fnFormatTime(ms / 1000);
}

QString newLine()
{
    return tv::shell::globals().gstrNewLine;
}

// An audio-CD track's entry names a track, not a file on a disk.
bool isCdTrack(const QString &path)
{
    return path.endsWith(QLatin1String(".cda"), Qt::CaseInsensitive);
}
} // namespace

WorkspaceLevels::WorkspaceLevels(Workspace &workspace) : QObject(&workspace), m_ws(workspace)
{
    m_queue = new tv::levels::LevelsQueue(tv::levels::LevelsCache::shared(), this);
    connect(m_queue, &tv::levels::LevelsQueue::measured, this, &WorkspaceLevels::showLevels);
    m_window = new LevelToneWindow(&m_ws);
    connect(m_window, &LevelToneWindow::stopRequested, this, &WorkspaceLevels::stopLevelTool);
    connect(m_ws.m_deck, &tv::media::AudioOutput::dropped, this, &WorkspaceLevels::onToolEnded);
    connect(m_ws.m_deck, &tv::media::AudioOutput::failed, this, [this](quint64 serial, const QString &error) {
        if (serial != m_toolSerial)
            return;
        onToolEnded(serial);
        msgBox(&m_ws, error, Msg::Exclamation, m_ws.m_profile.messageTitle);
    });
    // The workspace's own Stop button stops a level tool too.
    connect(m_ws.m_cmdStop, &QPushButton::clicked, this, &WorkspaceLevels::stopLevelTool);
    buildMenu();
    for (int side = 0; side < m_ws.m_profile.sides.size(); ++side)
        watchPlaylist(side);
}

WorkspaceLevels::~WorkspaceLevels() = default;

void WorkspaceLevels::buildMenu()
{
    QMenu *menu = m_ws.m_mnuPlayList;
    menu->addSeparator();
    const auto item = [&](const char *name, const QString &caption, bool checkable) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    m_mnuLoudnessToolTips = item("mnuLoudnessToolTips", QStringLiteral("Show Loudness in Tool Tips"), true);
    m_mnuLevelMatching = item("mnuLevelMatching", QStringLiteral("Level Matching While Recording"), true);
    m_mnuLevelCheck = item("mnuLevelCheck", QStringLiteral("Level Check"), false);
    m_mnuCalibrationTone = item("mnuCalibrationTone", QStringLiteral("Calibration Tone"), false);
    m_mnuRenderSide = item("mnuRenderSide", QStringLiteral("Render Side to File..."), false);
    m_mnuDeckCheck = item("mnuDeckCheck", QStringLiteral("Deck Check..."), false);
    m_mnuVerifySide = item("mnuVerifySide", QStringLiteral("Verify Side..."), false);
    // Both check items start off; a user who turned them on finds them on again.
    m_mnuLoudnessToolTips->setChecked(tv::shell::getSetting(kSection, QStringLiteral("ToolTips")) == QLatin1String("1"));
    m_mnuLevelMatching->setChecked(tv::shell::getSetting(kSection, QStringLiteral("Matching")) == QLatin1String("1"));
    connect(m_mnuLoudnessToolTips, &QAction::toggled, this, &WorkspaceLevels::mnuLoudnessToolTips_Click);
    connect(m_mnuLevelMatching, &QAction::toggled, this, &WorkspaceLevels::mnuLevelMatching_Click);
    connect(m_mnuLevelCheck, &QAction::triggered, this, &WorkspaceLevels::mnuLevelCheck_Click);
    connect(m_mnuCalibrationTone, &QAction::triggered, this, &WorkspaceLevels::mnuCalibrationTone_Click);
    connect(m_mnuRenderSide, &QAction::triggered, this, &WorkspaceLevels::mnuRenderSide_Click);
    connect(m_mnuDeckCheck, &QAction::triggered, this, &WorkspaceLevels::mnuDeckCheck_Click);
    connect(m_mnuVerifySide, &QAction::triggered, this, &WorkspaceLevels::mnuVerifySide_Click);
    connect(menu, &QMenu::aboutToShow, this, &WorkspaceLevels::updateMenu);
}

void WorkspaceLevels::updateMenu()
{
    // Nothing that plays or measures while the deck records.
    const bool recording = m_ws.blnRecordingA || m_ws.blnRecordingB;
    const int side = sideOnDisplay();
    const bool songs = side >= 0 && m_ws.m_lstPlayList[side]->count() > 0;
    m_mnuLevelMatching->setEnabled(!recording);
    m_mnuLevelCheck->setEnabled(songs && !recording);
    m_mnuCalibrationTone->setEnabled(!recording);
    m_mnuRenderSide->setEnabled(songs && !recording);
    m_mnuDeckCheck->setEnabled(!recording);
    m_mnuVerifySide->setEnabled(songs && !recording);
}

int WorkspaceLevels::sideOnDisplay() const
{
    return m_ws.isCassette() ? m_ws.playlistOnDisplay() : 0;
}

QStringList WorkspaceLevels::sidePaths(int side) const
{
    QStringList paths;
    for (int k = 0; k < m_ws.m_lstPlayList[side]->count(); ++k)
        paths << m_ws.entryPathAt(side, k);
    return paths;
}

// Loudness in the tool tips --------------------------------------------------

void WorkspaceLevels::watchPlaylist(int side)
{
    QAbstractItemModel *model = m_ws.m_lstPlayList[side]->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this, side](const QModelIndex &, int first, int last) {
        if (m_mnuLoudnessToolTips->isChecked())
            measureInBackground(side, first, last);
    });
}

void WorkspaceLevels::measureInBackground(int side, int first, int last)
{
    for (int k = first; k <= last && k < m_ws.m_lstPlayList[side]->count(); ++k)
        m_queue->enqueue(m_ws.entryPathAt(side, k));
}

void WorkspaceLevels::mnuLoudnessToolTips_Click(bool on)
{
    tv::shell::saveSetting(kSection, QStringLiteral("ToolTips"), on ? QStringLiteral("1") : QStringLiteral("0"));
    for (int side = 0; side < m_ws.m_profile.sides.size(); ++side) {
        tv::controls::PlayListBox *list = m_ws.m_lstPlayList[side];
        if (on) {
            measureInBackground(side, 0, list->count() - 1);
        } else {
            for (int k = 0; k < list->count(); ++k)
                list->item(k)->setToolTip(QString());
        }
    }
}

void WorkspaceLevels::showLevels(const QString &path, const SongLevels &levels)
{
    if (!m_mnuLoudnessToolTips->isChecked())
        return;
    const QString text = tv::levels::levelsText(levels);
    for (int side = 0; side < m_ws.m_profile.sides.size(); ++side) {
        for (int k = 0; k < m_ws.m_lstPlayList[side]->count(); ++k) {
            if (m_ws.entryPathAt(side, k) == path)
                m_ws.m_lstPlayList[side]->item(k)->setToolTip(text);
        }
    }
}

// Measuring a whole side --------------------------------------------------------

std::optional<QList<std::optional<SongLevels>>> WorkspaceLevels::sideLevels(int side, const QString &title, const QString &label,
                                                                              QStringList &errors)
{
    const QStringList paths = sidePaths(side);
    QList<std::optional<SongLevels>> levels;
    QList<int> missing;
    for (const QString &path : paths) {
        levels.append(tv::levels::LevelsCache::shared().find(path));
        if (!levels.last())
            missing.append(int(levels.size() - 1));
    }
    if (missing.isEmpty())
        return levels;
    std::atomic<int> measuredCount{0};
    const bool finished = runWithProgress(
        &m_ws, title, label, int(missing.size()),
        [&](std::atomic<bool> &cancel) {
            for (int k : std::as_const(missing)) {
                if (cancel)
                    return;
                QString error;
                levels[k] = tv::levels::measureSong(paths.at(k), error, &cancel);
                if (levels[k])
                    tv::levels::LevelsCache::shared().store(paths.at(k), *levels[k]);
                else if (!error.isEmpty())
                    errors << error;
                ++measuredCount;
            }
        },
        [&] { return measuredCount.load(); });
    if (!finished)
        return std::nullopt;
    return levels;
}

// Level matching ----------------------------------------------------------------

void WorkspaceLevels::mnuLevelMatching_Click(bool on)
{
    tv::shell::saveSetting(kSection, QStringLiteral("Matching"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

std::optional<double> WorkspaceLevels::matchingTargetLufs()
{
    bool ok = false;
    const double target = tv::shell::getSetting(kSection, QStringLiteral("TargetLufs")).toDouble(&ok);
    return ok && std::isfinite(target) && target < 0 ? std::optional<double>(target) : std::nullopt;
}

double WorkspaceLevels::toneLevelDbfs()
{
    bool ok = false;
    const double level = tv::shell::getSetting(kSection, QStringLiteral("ToneDbfs")).toDouble(&ok);
    return ok && std::isfinite(level) && level <= 0 && level >= -60 ? level : tv::levels::kAlignmentLevelDbfs;
}

QList<double> WorkspaceLevels::recordingGains(int side)
{
    if (!m_mnuLevelMatching->isChecked())
        return {};
    QStringList errors;
    const auto levels = sideLevels(side, QStringLiteral("Level Matching While Recording"),
                                   QStringLiteral("Measuring the loudness of %1...").arg(m_ws.m_profile.sides.at(side).recordingName), errors);
    if (!levels)
        return {}; // cancelled: the side records as it is
    if (!errors.isEmpty())
        msgBox(&m_ws, QStringLiteral("These songs could not be measured and keep their level:") + newLine() + errors.join(newLine()),
               Msg::Exclamation, m_ws.m_profile.messageTitle);
    return tv::levels::matchingGains(*levels, matchingTargetLufs());
}

// The calibration tone and the level check ----------------------------------

void WorkspaceLevels::playTool(std::function<std::unique_ptr<tv::media::AudioSource>(QString &)> open,
                               const QString &title, const QString &text)
{
    tv::shell::Module1::subStopPlayers(m_ws, QStringLiteral("All"));
    m_toolSerial = tv::media::AudioOutput::newSerial();
    // In place of whatever the deck's stream held.
    m_ws.m_deck->play(m_toolSerial, std::move(open));
    m_window->showText(title, text);
}

void WorkspaceLevels::mnuCalibrationTone_Click()
{
    const double level = toneLevelDbfs();
    playTool([level](QString &) { return std::make_unique<tv::levels::ToneSource>(level); },
             QStringLiteral("Calibration Tone"),
             QStringLiteral("A steady %1 Hz tone at %2 dBFS is playing.\nLine up the deck's record level meters on it, then click Stop.")
                 .arg(tv::levels::kCalibrationHz)
                 .arg(QString::number(level, 'f', 1)));
}

void WorkspaceLevels::mnuLevelCheck_Click()
{
    const int side = sideOnDisplay();
    if (side < 0 || m_ws.m_lstPlayList[side]->count() == 0)
        return;
    const QString name = m_ws.m_profile.sides.at(side).recordingName;
    QStringList errors;
    const auto levels =
        sideLevels(side, QStringLiteral("Level Check"), QStringLiteral("Finding the loudest passage of %1...").arg(name), errors);
    if (!levels)
        return;
    int loudest = -1;
    for (int k = 0; k < levels->size(); ++k) {
        const auto &l = levels->at(k);
        if (l && l->loudestLengthMs > 0 && std::isfinite(l->loudestLufs) && (loudest < 0 || l->loudestLufs > levels->at(loudest)->loudestLufs))
            loudest = k;
    }
    // One message says what could not be measured: with nothing left to
    // play, why; otherwise which songs the check leaves out.
    const QString unmeasured = errors.isEmpty() ? QString() : newLine() + errors.join(newLine());
    if (loudest < 0) {
        msgBox(&m_ws,
               QStringLiteral("%1 has no song with sound to check the level on.").arg(name)
                   + (errors.isEmpty() ? QString() : newLine() + QStringLiteral("These songs could not be measured:") + unmeasured),
               Msg::Exclamation, m_ws.m_profile.messageTitle);
        return;
    }
    if (!errors.isEmpty())
        msgBox(&m_ws, QStringLiteral("These songs could not be measured and are left out of the level check:") + unmeasured,
               Msg::Exclamation, m_ws.m_profile.messageTitle);
    const SongLevels l = *levels->at(loudest);
    const QString path = m_ws.entryPathAt(side, loudest);
    playTool([path, l](QString &) {
                 return std::make_unique<tv::levels::WindowSource>([path](QString &error) { return tv::media::openPlayable(path, error); },
                                                                   l.loudestStartMs, l.loudestLengthMs);
             },
             QStringLiteral("Level Check"),
             QStringLiteral("The loudest passage of %1 is playing again and again:\nSong #%2, %3\nfrom %4 to %5 (%6 LUFS).\n"
                            "Set the deck's record level on it, then click Stop.")
                 .arg(name)
                 .arg(loudest + 1)
                 .arg(QFileInfo(path).fileName(), timeText(l.loudestStartMs), timeText(l.loudestStartMs + l.loudestLengthMs),
                      QString::number(l.loudestLufs, 'f', 1)));
}

void WorkspaceLevels::stopLevelTool()
{
    if (!m_toolSerial)
        return;
    const quint64 serial = m_toolSerial;
    m_toolSerial = 0;
    m_ws.m_deck->stop(serial);
    m_window->hide();
}

void WorkspaceLevels::onToolEnded(quint64 serial)
{
    // Replaced by a preview or a recording, or stopped.
    if (serial != m_toolSerial)
        return;
    m_toolSerial = 0;
    m_window->hide();
}

// Rendering a side to a file ------------------------------------------------

// The deck check sends its own signal to the deck and listens: nothing else
// plays meanwhile, and the workspace waits until its window is closed.
void WorkspaceLevels::mnuDeckCheck_Click()
{
    if (m_ws.blnRecordingA || m_ws.blnRecordingB)
        return;
    tv::shell::Module1::subStopPlayers(m_ws, QStringLiteral("All"));
    tv::deckui::DeckCheckWindow window(&m_ws);
    window.exec();
}

// The recorded side played back into an input and compared with the plan
// the recording played: the same songs, silences and gains.
void WorkspaceLevels::mnuVerifySide_Click()
{
    const int side = sideOnDisplay();
    if (side < 0 || m_ws.m_lstPlayList[side]->count() == 0 || m_ws.blnRecordingA || m_ws.blnRecordingB)
        return;
    const QString name = m_ws.m_profile.sides.at(side).recordingName;
    const QStringList paths = sidePaths(side);
    QStringList gone;
    QStringList names;
    for (int k = 0; k < paths.size(); ++k) {
        const QFileInfo song(paths.at(k));
        names << (isCdTrack(paths.at(k)) ? paths.at(k) : song.fileName());
        if (!isCdTrack(paths.at(k)) && (!song.isFile() || !song.isReadable()))
            gone << QStringLiteral("Song #%1, %2").arg(k + 1).arg(paths.at(k));
    }
    if (!gone.isEmpty()) {
        msgBox(&m_ws, QStringLiteral("%1 cannot be verified. These songs no longer exist or cannot be read:").arg(name) + newLine()
                          + gone.join(newLine()),
               Msg::Exclamation, m_ws.m_profile.messageTitle);
        return;
    }
    tv::shell::Module1::subStopPlayers(m_ws, QStringLiteral("All"));
    const QList<tv::levels::PlannedSong> plan = tv::levels::planSide(paths, m_ws.songDelayMs(), recordingGains(side), m_ws.leadInSeconds() * 1000);
    tv::deckui::SideVerifyWindow window(plan, names, name, toneLevelDbfs(), &m_ws);
    window.exec();
}

void WorkspaceLevels::mnuRenderSide_Click()
{
    const int side = sideOnDisplay();
    if (side < 0 || m_ws.m_lstPlayList[side]->count() == 0)
        return;
    const QString name = m_ws.m_profile.sides.at(side).recordingName;
    tv::shell::FileDialogCall call;
    call.save = true;
    call.title = QStringLiteral("Render %1 to File").arg(name);
    call.filter = QStringLiteral("WAV Files (*.wav);;FLAC Files (*.flac)");
    call.folder = rememberedFolder(FolderRole::RenderSide, QString());
    QString file = tv::shell::askFileName(&m_ws, call);
    if (file.isEmpty())
        return;
    rememberFolderOf(FolderRole::RenderSide, file);
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".wav");
    if (!tv::levels::AudioFileWriter::knowsFormatOf(file)) {
        msgBox(&m_ws, QStringLiteral("%1 can be rendered to a WAV or a FLAC file only (a name ending in .wav or .flac).").arg(name),
               Msg::Exclamation, m_ws.m_profile.messageTitle);
        return;
    }
    // Before minutes of work: every song still there, and none of them
    // about to be replaced by the rendered file.
    const QStringList paths = sidePaths(side);
    const QString target = QFileInfo(file).absoluteFilePath();
    QStringList gone;
    for (int k = 0; k < paths.size(); ++k) {
        const QFileInfo song(paths.at(k));
        if (isCdTrack(paths.at(k)))
            continue;
        if (song.exists() && (song.absoluteFilePath() == target || song.canonicalFilePath() == QFileInfo(target).canonicalFilePath())) {
            msgBox(&m_ws, QStringLiteral("%1 is song #%2 of %3; the side is not rendered over one of its own songs. Choose another file name.")
                              .arg(file)
                              .arg(k + 1)
                              .arg(name),
                   Msg::Exclamation, m_ws.m_profile.messageTitle);
            return;
        }
        if (!song.isFile() || !song.isReadable())
            gone << QStringLiteral("Song #%1, %2").arg(k + 1).arg(paths.at(k));
    }
    if (!gone.isEmpty()) {
        msgBox(&m_ws, QStringLiteral("%1 could not be rendered. These songs no longer exist or cannot be read:").arg(name) + newLine()
                          + gone.join(newLine()),
               Msg::Exclamation, m_ws.m_profile.messageTitle);
        return;
    }
    const QList<double> gains = recordingGains(side);
    const QList<tv::levels::PlannedSong> plan = tv::levels::planSide(paths, m_ws.songDelayMs(), gains, m_ws.leadInSeconds() * 1000);
    QList<qint64> entrySeconds; // -1 where an entry gives no length
    qint64 expectedMs = 0;      // from the entries' lengths: for the progress bar only
    for (int k = 0; k < plan.size(); ++k) {
        tv::core::SongEntry entry;
        const bool parsed = tv::core::SongEntry::parse(m_ws.m_lstPlayList[side]->item(k)->text(), entry);
        entrySeconds << (parsed ? qint64(entry.seconds) : -1);
        expectedMs += std::max<qint64>(0, entrySeconds.last()) * 1000 + plan.at(k).silenceBeforeMs;
    }
    std::atomic<qint64> framesDone{0};
    tv::levels::RenderOutcome outcome;
    const int maximum = int(std::max<qint64>(1, expectedMs / 100));
    runWithProgress(
        &m_ws, QStringLiteral("Render Side to File"), QStringLiteral("Rendering %1 to %2...").arg(name, QFileInfo(file).fileName()),
        maximum,
        [&](std::atomic<bool> &cancel) {
            outcome = tv::levels::renderSide(plan, file, [&](qint64 frames) { framesDone = frames; }, &cancel);
        },
        [&] { return int(tv::media::msForFrames(framesDone.load()) / 100); });
    switch (outcome.result) {
    case tv::levels::RenderOutcome::Result::Written: {
        // A song that ended well before the length its entry gives (a file
        // cut short or damaged since it was added) is rendered as it plays,
        // and the user is told which.
        QStringList shorter;
        for (const tv::levels::EarlyEnd &e : tv::levels::songsEndingEarly(entrySeconds, outcome))
            shorter << QStringLiteral("Song #%1, %2: %3 of %4")
                           .arg(e.index + 1)
                           .arg(QFileInfo(paths.at(e.index)).fileName(), timeText(tv::media::msForFrames(e.frames)),
                                timeText(e.entrySeconds * 1000));
        const QString done =
            QStringLiteral("%1 was rendered to %2 (%3).").arg(name, file, timeText(tv::media::msForFrames(outcome.frames)));
        if (shorter.isEmpty())
            msgBox(&m_ws, done, Msg::Information, m_ws.m_profile.messageTitle);
        else
            msgBox(&m_ws,
                   done + newLine() + QStringLiteral("These songs ended before the length their entries give (damaged or changed files?):")
                       + newLine() + shorter.join(newLine()),
                   Msg::Exclamation, m_ws.m_profile.messageTitle);
        break;
    }
    case tv::levels::RenderOutcome::Result::Cancelled:
        break;
    case tv::levels::RenderOutcome::Result::Failed:
        msgBox(&m_ws, QStringLiteral("%1 could not be rendered. ").arg(name) + outcome.error, Msg::Exclamation, m_ws.m_profile.messageTitle);
        break;
    }
}

} // namespace tv::workspace
