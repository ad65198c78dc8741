// The level tools of a workspace, against the private sound server: the
// menu items, loudness tool tips measured after an add, the calibration tone
// and the level check as the deck hears them, recording with level matching
// off (bit for bit the decoded songs) and on, and Render Side to File.
#include "Deck.h"
#include "FileDialogs.h"
#include "Fixtures.h"
#include "LevelToneWindow.h"
#include "LevelsCache.h"
#include "MeasureSong.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "Workspace.h"
#include "WorkspaceLevels.h"
#include "source/SourceFactory.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <vector>

using tv::test::Deck;
using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

namespace {
std::vector<qint16> captured(const QString &wavPath)
{
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const qsizetype dataAt = bytes.indexOf("data");
    if (dataAt < 0)
        return {};
    std::vector<qint16> samples(std::size_t(bytes.size() - dataAt - 8) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + dataAt + 8 + 2 * i);
    return samples;
}

std::vector<qint16> decoded(const QString &path)
{
    std::vector<qint16> all;
    QString error;
    auto source = tv::media::openSource(path, error);
    std::vector<qint16> buffer(2 * 8192);
    for (qint64 n; source && (n = source->readFrames(buffer.data(), 8192)) > 0;)
        all.insert(all.end(), buffer.begin(), buffer.begin() + n * 2);
    return all;
}

// The first sample above the threshold, or -1.
qsizetype firstSound(const std::vector<qint16> &s, int threshold = 8)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) > threshold)
            return qsizetype(i);
    }
    return -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool sox(const QString &out, const QStringList &effects)
{
    QProcess p;
    p.start(QStringLiteral("sox"), QStringList{"-D", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", out, "synth"} + effects);
    return p.waitForFinished(30000) && p.exitCode() == 0;
}
} // namespace

class LevelToolsTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QTemporaryDir m_dir;
    Deck m_deck;
    QString m_saveAs;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QAction *action(const char *name) { return child<QAction>(name); }
    QString fx(const char *name) { return MediaFixtures::instance().path(QLatin1String(name)); }
    QString capture() const { return m_dir.filePath(QStringLiteral("deck.wav")); }
    tv::controls::PlayListBox *listA() { return child<tv::controls::PlayListBox>("lstPlayListA"); }
    bool finished() const
    {
        for (const auto &b : m_boxes) {
            if (b.style & tv::shell::Msg::MessageWindow)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Settings and the loudness cache of this run only.
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", m_dir.filePath(QStringLiteral("cache")).toUtf8());
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            const int buttons = call.style & 0x0F;
            if (buttons == tv::shell::Msg::YesNo)
                return int(tv::shell::Msg::Yes);
            return int(tv::shell::Msg::Ok);
        });
        tv::shell::setFileDialogAnswerer([this](const tv::shell::FileDialogCall &) { return m_saveAs; });
        // A quiet song, and a loud one whose loud stretch runs from 0:02 to 0:12.
        QVERIFY(sox(m_dir.filePath("quiet.wav"), {"3", "sine", "440", "gain", "-30"}));
        QVERIFY(sox(m_dir.filePath("l1.wav"), {"2", "sine", "440", "gain", "-30"}));
        QVERIFY(sox(m_dir.filePath("l2.wav"), {"10", "sine", "660", "gain", "-6"}));
        QProcess cat;
        cat.start(QStringLiteral("sox"), {m_dir.filePath("l1.wav"), m_dir.filePath("l2.wav"), m_dir.filePath("l1.wav"), m_dir.filePath("loud.wav")});
        QVERIFY(cat.waitForFinished(30000) && cat.exitCode() == 0);
    }
    void init()
    {
        m_boxes.clear();
        m_ws = new Workspace(MediumProfile::cassette());
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
        child<QRadioButton>("opt120")->click();
    }
    void cleanup()
    {
        m_deck.stop();
        delete m_ws.data();
    }

    void menu_newItemsFollowASeparator_allOff()
    {
        const QList<QAction *> items = child<QMenu>("mnuPlayList")->actions();
        QStringList names;
        for (QAction *a : items)
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        // The cassette's: its side planning, then the level tools.
        QCOMPARE(names, (QStringList{"mnuPlayListPlay", "mnuPlayListDelete", "mnuPlayListSave", "mnuPlayListLoad", "mnuPlayListClear", "-",
                                     "mnuBalanceSides", "mnuFillSideAFirst", "mnuLeadIn", "-", "mnuLoudnessToolTips", "mnuLevelMatching", "mnuLevelCheck", "mnuCalibrationTone", "mnuRenderSide", "mnuDeckCheck", "mnuVerifySide"}));
        QVERIFY(!action("mnuLoudnessToolTips")->isChecked());
        QVERIFY(!action("mnuLevelMatching")->isChecked());
        QVERIFY(action("mnuLeadIn0")->isChecked()); // no lead-in
        QCOMPARE(action("mnuRenderSide")->text(), QStringLiteral("Render Side to File..."));
        QCOMPARE(action("mnuDeckCheck")->text(), QStringLiteral("Deck Check..."));
        QCOMPARE(action("mnuVerifySide")->text(), QStringLiteral("Verify Side..."));
    }

    // The deck check and the verify open over the workspace, which waits until they close.
    void deckCheck_andVerify_openTheirWindowsOverTheWorkspace()
    {
        QString seen;
        QTimer::singleShot(500, this, [&seen] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                seen = w->objectName();
                w->close();
            }
        });
        action("mnuDeckCheck")->trigger();
        QCOMPARE(seen, QStringLiteral("frmDeckCheck"));

        // Verify Side: only with songs on the side, its window named for it.
        listA()->clear();
        child<QMenu>("mnuPlayList")->aboutToShow();
        QVERIFY(!action("mnuVerifySide")->isEnabled());
        m_ws->subAddSong(fx("song-a.wav"));
        child<QMenu>("mnuPlayList")->aboutToShow();
        QVERIFY(action("mnuVerifySide")->isEnabled());
        QString title;
        QTimer::singleShot(500, this, [&title] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                title = w->windowTitle();
                w->close();
            }
        });
        action("mnuVerifySide")->trigger();
        QCOMPARE(title, QStringLiteral("Verify Tape Side A"));
    }

    void toolTips_offByDefault_thenMeasuredAfterTheAdd()
    {
        m_ws->subAddSong(fx("song-a.wav"));
        QTest::qWait(300);
        QVERIFY(listA()->item(0)->toolTip().isEmpty());
        action("mnuLoudnessToolTips")->setChecked(true);
        m_ws->subAddSong(fx("tone3.flac"));
        // The add does not wait for the measuring: the entry is there at once.
        QCOMPARE(listA()->count(), 2);
        QString error;
        const auto flac = tv::levels::measureSong(fx("tone3.flac"), error);
        QVERIFY(flac);
        QTRY_COMPARE_WITH_TIMEOUT(listA()->item(1)->toolTip(), tv::levels::levelsText(*flac), 10000);
        QVERIFY(QRegularExpression(QStringLiteral("^-\\d+\\.\\d LUFS, peak -\\d+\\.\\d dBTP$")).match(listA()->item(1)->toolTip()).hasMatch());
        // Turned on, the songs already there are measured too; and the
        // figures are in the cache for the next add.
        QTRY_VERIFY_WITH_TIMEOUT(!listA()->item(0)->toolTip().isEmpty(), 10000);
        QVERIFY(tv::levels::LevelsCache::shared().find(fx("song-a.wav")));
        action("mnuLoudnessToolTips")->setChecked(false);
        QVERIFY(listA()->item(0)->toolTip().isEmpty());
    }

    void calibrationTone_isA1kHzSineAtTheAlignmentLevel()
    {
        QVERIFY(m_deck.start(capture()));
        QTest::qWait(200);
        action("mnuCalibrationTone")->trigger();
        auto *window = m_ws->findChild<QWidget *>(QStringLiteral("frmLevelTone"));
        QVERIFY(window && window->isVisible());
        QVERIFY(window->findChild<QLabel *>(QStringLiteral("lblLevelTone"))->text().contains(QLatin1String("1000 Hz tone at -18.0 dBFS")));
        QTest::qWait(1500);
        window->findChild<QPushButton *>(QStringLiteral("cmdLevelToneStop"))->click();
        QVERIFY(!window->isVisible());
        QVERIFY(!m_ws->levels()->isLevelToolPlaying());
        QTest::qWait(300);
        m_deck.stop();

        const std::vector<qint16> s = captured(capture());
        const qsizetype start = firstSound(s);
        QVERIFY2(start >= 0, "the deck heard nothing");
        // One second from 0.2 s into the tone: RMS level and zero crossings.
        const qsizetype from = start + 2 * 8820, frames = 44100;
        QVERIFY(qsizetype(s.size()) >= from + 2 * frames);
        double energy = 0;
        int crossings = 0;
        for (qsizetype i = 0; i < frames; ++i) {
            const double v = s[std::size_t(from + 2 * i)];
            energy += v * v;
            if (i > 0 && (s[std::size_t(from + 2 * i - 2)] < 0) != (v < 0))
                ++crossings;
            QCOMPARE(s[std::size_t(from + 2 * i + 1)], s[std::size_t(from + 2 * i)]); // both channels
        }
        const double dbfs = 20 * std::log10(std::sqrt(energy / frames) * std::sqrt(2.0) / 32767.0);
        QVERIFY2(std::abs(dbfs + 18.0) <= 0.1, qPrintable(QStringLiteral("%1 dBFS").arg(dbfs)));
        QVERIFY2(std::abs(crossings / 2.0 - 1000.0) <= 1.0, qPrintable(QStringLiteral("%1 Hz").arg(crossings / 2.0)));
    }

    void levelCheck_playsTheLoudestPassageOfTheSide()
    {
        m_ws->subAddSong(m_dir.filePath("quiet.wav"));
        m_ws->subAddSong(m_dir.filePath("loud.wav"));
        QVERIFY(m_deck.start(capture()));
        QTest::qWait(200);
        action("mnuLevelCheck")->trigger();
        auto *window = m_ws->findChild<QWidget *>(QStringLiteral("frmLevelTone"));
        QVERIFY(window && window->isVisible());
        const QString text = window->findChild<QLabel *>(QStringLiteral("lblLevelTone"))->text();
        QVERIFY2(text.contains(QLatin1String("Song #2, loud.wav")) && text.contains(QLatin1String("from 00:02 to 00:12")), qPrintable(text));
        QTest::qWait(1200);
        child<QPushButton>("cmdStop")->click(); // the workspace's Stop stops it too
        QVERIFY(!window->isVisible());
        QTest::qWait(300);
        m_deck.stop();
        // What played is the loud stretch (660 Hz at -6 dB), not the quiet start.
        const std::vector<qint16> s = captured(capture());
        const qsizetype start = firstSound(s);
        QVERIFY(start >= 0);
        int peak = 0;
        for (qsizetype i = start; i < start + 2 * 22050 && i < qsizetype(s.size()); ++i)
            peak = std::max(peak, std::abs(int(s[std::size_t(i)])));
        QVERIFY2(peak > 14000, qPrintable(QString::number(peak)));
    }

    void recording_matchingOff_theDeckHearsTheDecodedSamples()
    {
        // PipeWire runs its graph at its own rate and mixes in floating
        // point, so its monitor cannot show the stream's samples exactly;
        // PulseAudio passes them through unchanged.
        if (qgetenv("TV_SOUND_SERVER") == "pipewire")
            QSKIP("PipeWire resamples and mixes in floating point: exact samples are checked against PulseAudio");
        m_ws->subAddSong(fx("tone1s-noheader.mp3"));
        QVERIFY(m_deck.start(capture()));
        QTest::qWait(200);
        child<QPushButton>("cmdRecordSideA")->click();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 15000);
        QTest::qWait(300);
        m_deck.stop();
        const std::vector<qint16> heard = captured(capture());
        const std::vector<qint16> song = decoded(fx("tone1s-noheader.mp3"));
        // Where the song is in the capture: its stretch from 100 ms on,
        // found sample for sample.
        const auto probe = song.begin() + 2 * 4410;
        const auto found = std::search(heard.begin(), heard.end(), probe, probe + 2 * 512);
        QVERIFY2(found != heard.end(), "the song's samples are nowhere in what the deck heard");
        const qsizetype offset = (found - heard.begin()) - 2 * 4410; // the song's first sample in the capture
        QVERIFY(offset >= 0 && offset + qsizetype(song.size()) <= qsizetype(heard.size()));
        // Every sample equal, from the song's first frame on.
        for (qsizetype i = 0; i < qsizetype(song.size()); ++i) {
            if (heard[std::size_t(offset + i)] != song[std::size_t(i)])
                QFAIL(qPrintable(QStringLiteral("the deck heard %1 for the song's %2 at frame %3")
                                     .arg(heard[std::size_t(offset + i)]).arg(song[std::size_t(i)]).arg(i / 2)));
        }
    }

    void recording_matchingOn_bringsTheLoudSongDown()
    {
        m_ws->subAddSong(m_dir.filePath("quiet.wav"));
        m_ws->subAddSong(m_dir.filePath("loud.wav"));
        action("mnuLevelMatching")->setChecked(true);
        QVERIFY(m_deck.start(capture()));
        QTest::qWait(200);
        child<QPushButton>("cmdRecordSideA")->click();
        // The loud song's loud stretch at 2 s, measured long enough to see its level.
        QTest::qWait(3000 + 300 + 4000);
        child<QPushButton>("cmdStop")->click();
        action("mnuLevelMatching")->setChecked(false);
        QTest::qWait(300);
        m_deck.stop();
        const std::vector<qint16> s = captured(capture());
        int peak = 0;
        for (qint16 v : s)
            peak = std::max(peak, std::abs(int(v)));
        // Unmatched, the loud stretch peaks at -6 dBFS (16400); matched to the
        // quiet song it comes near -30 dBFS (1040) and stays below -20 dBFS.
        QVERIFY2(peak > 500 && peak < 3300, qPrintable(QString::number(peak)));
    }

    void renderSide_writesTheFileAndSaysSo()
    {
        m_ws->subAddSong(fx("song-a.wav"));
        m_ws->subAddSong(fx("song-b.wav"));
        child<QLineEdit>("txtOneSecondDelay")->setText(QStringLiteral("1"));
        m_saveAs = m_dir.filePath(QStringLiteral("side-a")); // no suffix: a WAV file
        action("mnuRenderSide")->trigger();
        const QString file = m_saveAs + QStringLiteral(".wav");
        QVERIFY(QFile::exists(file));
        QCOMPARE(qsizetype(decoded(file).size()), qsizetype(2 * (26460 + 44100 + 35280)));
        QVERIFY(!m_boxes.isEmpty());
        QCOMPARE(m_boxes.last().text, QStringLiteral("Tape Side A was rendered to %1 (00:02).").arg(file));
        QCOMPARE(m_boxes.last().title, QStringLiteral("The Tape Vantrel"));
        // A name of a format it cannot write: a clear refusal, no file.
        m_saveAs = m_dir.filePath(QStringLiteral("side-a.mp3"));
        action("mnuRenderSide")->trigger();
        QVERIFY(m_boxes.last().text.contains(QLatin1String("WAV or a FLAC file only")));
        QVERIFY(!QFile::exists(m_saveAs));
        // Cancelled in the file dialog: nothing.
        const qsizetype boxes = m_boxes.size();
        m_saveAs.clear();
        action("mnuRenderSide")->trigger();
        QCOMPARE(m_boxes.size(), boxes);
    }

    void toneLevel_storedAsGarbageOrOutOfRange_fallsBackToMinus18_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("dbfs");
        QTest::newRow("valid -12") << "-12" << -12.0;
        QTest::newRow("valid -60, the lowest") << "-60" << -60.0;
        QTest::newRow("valid 0, full scale") << "0" << 0.0;
        QTest::newRow("not a number") << "abc" << -18.0;
        QTest::newRow("above full scale") << "+5" << -18.0;
        QTest::newRow("far below the meters") << "-200" << -18.0;
        QTest::newRow("empty") << "" << -18.0;
        QTest::newRow("nan") << "nan" << -18.0;
        QTest::newRow("minus infinity") << "-inf" << -18.0;
        QTest::newRow("decimal comma") << "-20,5" << -18.0;
        QTest::newRow("number and text") << "-20 dB" << -18.0;
    }
    void toneLevel_storedAsGarbageOrOutOfRange_fallsBackToMinus18()
    {
        QFETCH(QString, stored);
        QFETCH(double, dbfs);
        tv::shell::saveSetting(QStringLiteral("Levels"), QStringLiteral("ToneDbfs"), stored);
        QCOMPARE(tv::workspace::WorkspaceLevels::toneLevelDbfs(), dbfs);
        action("mnuCalibrationTone")->trigger();
        const QString text = m_ws->findChild<QLabel *>(QStringLiteral("lblLevelTone"))->text();
        m_ws->levels()->stopLevelTool();
        tv::shell::saveSetting(QStringLiteral("Levels"), QStringLiteral("ToneDbfs"), QString());
        QVERIFY2(text.contains(QStringLiteral("1000 Hz tone at %1 dBFS").arg(QString::number(dbfs, 'f', 1))), qPrintable(text));
        QVERIFY(m_boxes.isEmpty());
    }

    void toolWindow_showsEveryLineWhole_overTheWorkspace()
    {
        auto *window = m_ws->findChild<tv::workspace::LevelToneWindow *>(QStringLiteral("frmLevelTone"));
        QVERIFY(window);
        const QString text = QStringLiteral("The loudest passage of Tape Side A is playing again and again:\n"
                                            "Song #12, 12 - A Rather Long Song Title From A Live Album (Remastered).flac\n"
                                            "from 01:02 to 01:12 (-9.4 LUFS).\nSet the deck's record level on it, then click Stop.");
        window->showText(QStringLiteral("Level Check"), text);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *label = window->findChild<QLabel *>(QStringLiteral("lblLevelTone"));
        // No line wraps: the label is as tall at its width as it would be at any width.
        QCOMPARE(label->heightForWidth(label->width()), label->heightForWidth(100000));
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        auto *stop = window->findChild<QPushButton *>(QStringLiteral("cmdLevelToneStop"));
        QVERIFY(window->rect().contains(stop->geometry()));
        QVERIFY(!stop->geometry().intersects(label->geometry()));
        // Over the workspace, where the user looks, not in a corner of the screen.
        QVERIFY(m_ws->frameGeometry().contains(window->frameGeometry().center()));
        window->hide();
    }

    void levelCheck_sideWithoutMeasurableSongs_saysWhy_data()
    {
        QTest::addColumn<QStringList>("songs"); // "bad:" names a song whose file is garbage by the time of the check
        QTest::addColumn<QString>("message");   // "" for none
        QTest::addColumn<bool>("plays");
        QTest::newRow("empty side") << QStringList() << QString() << false;
        QTest::newRow("every song fails to decode")
            << QStringList{"bad:c-bad1.wav", "bad:c-bad2.wav"}
            << "Tape Side A has no song with sound to check the level on.\r\nThese songs could not be measured:" << false;
        QTest::newRow("one song of two fails") << QStringList{"bad:c-bad3.wav", "loud.wav"}
                                               << "These songs could not be measured and are left out of the level check:" << true;
    }
    void levelCheck_sideWithoutMeasurableSongs_saysWhy()
    {
        QFETCH(QStringList, songs);
        QFETCH(QString, message);
        QFETCH(bool, plays);
        QStringList bad;
        for (QString song : songs) {
            const bool garbage = song.startsWith(QLatin1String("bad:"));
            song = m_dir.filePath(song.remove(QLatin1String("bad:")));
            if (garbage) {
                QVERIFY(QFile::copy(m_dir.filePath("quiet.wav"), song) || QFile::exists(song));
                bad << song;
            }
            m_ws->subAddSong(song);
        }
        QCOMPARE(listA()->count(), songs.size());
        // Changed on disk after the add, as a file overwritten by another program.
        for (const QString &song : std::as_const(bad))
            QVERIFY(writeFile(song, QByteArray("this is no longer a sound file\n").repeated(50)));
        emit child<QMenu>("mnuPlayList")->aboutToShow();
        QCOMPARE(action("mnuLevelCheck")->isEnabled(), !songs.isEmpty());
        m_boxes.clear();
        m_ws->levels()->mnuLevelCheck_Click(); // even when called with the item disabled
        const bool playing = m_ws->levels()->isLevelToolPlaying();
        m_ws->levels()->stopLevelTool();
        QCOMPARE(playing, plays);
        if (message.isEmpty()) {
            QVERIFY(m_boxes.isEmpty());
            return;
        }
        QCOMPARE(m_boxes.size(), 1); // one message, not one per step
        QVERIFY2(m_boxes.first().text.startsWith(message), qPrintable(m_boxes.first().text));
        for (const QString &song : std::as_const(bad))
            QVERIFY2(m_boxes.first().text.contains(song), qPrintable(m_boxes.first().text));
        QVERIFY(m_boxes.first().style & tv::shell::Msg::Exclamation);
    }

    void renderSide_badInput_saysWhyAndKeepsWhatWasThere_data()
    {
        QTest::addColumn<QString>("target");   // "unwritable/", "missing/" or a file name in the test folder
        QTest::addColumn<QString>("change");   // what happens to song 2 after the add: "", "delete", "garbage", "truncate"
        QTest::addColumn<QString>("message");  // the start of the one message
        QTest::addColumn<bool>("written");
        QTest::newRow("folder cannot be written") << "unwritable/" << "" << "Tape Side A could not be rendered. " << false;
        QTest::newRow("folder does not exist") << "missing/" << "" << "Tape Side A could not be rendered. " << false;
        QTest::newRow("song no longer exists") << "r-kept.wav" << "delete"
                                               << "Tape Side A could not be rendered. These songs no longer exist or cannot be read:"
                                               << false;
        QTest::newRow("song now corrupt") << "r-kept.wav" << "garbage" << "Tape Side A could not be rendered. " << false;
        QTest::newRow("song cut short") << "r-short.flac" << "truncate" << "Tape Side A was rendered to " << true;
        QTest::newRow("onto a song of the side") << "song" << "" << "" << false;
    }
    void renderSide_badInput_saysWhyAndKeepsWhatWasThere()
    {
        QFETCH(QString, target);
        QFETCH(QString, change);
        QFETCH(QString, message);
        QFETCH(bool, written);
        const QString first = fx("song-a.wav");
        const QString second = m_dir.filePath(QStringLiteral("r-second-%1.wav").arg(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(sox(second, {"10", "sine", "550", "gain", "-12"}));
        const QByteArray secondBytes = readFile(second);
        m_ws->subAddSong(first);
        m_ws->subAddSong(second);
        QCOMPARE(listA()->count(), 2);
        if (change == QLatin1String("delete"))
            QVERIFY(QFile::remove(second));
        else if (change == QLatin1String("garbage"))
            QVERIFY(writeFile(second, QByteArray(4096, '\x5a')));
        else if (change == QLatin1String("truncate"))
            QVERIFY(writeFile(second, secondBytes.left(44 + 3 * 44100 * 4))); // 3 s of its 10 s, the header unchanged

        QString path;
        if (target == QLatin1String("unwritable/")) {
            const QString folder = m_dir.filePath(QStringLiteral("read-only"));
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            // The superuser writes into any folder of its own: a folder
            // that refuses even it stands in.
            const bool refuses = !writeFile(folder + QStringLiteral("/probe"), "x");
            path = (refuses ? folder : QStringLiteral("/sys")) + QStringLiteral("/side-a.wav");
        } else if (target == QLatin1String("missing/")) {
            path = m_dir.filePath(QStringLiteral("no-such-folder/side-a.wav"));
        } else if (target == QLatin1String("song")) {
            path = second;
        } else {
            path = m_dir.filePath(target);
            QVERIFY(writeFile(path, "the user's older file"));
        }
        const QByteArray before = readFile(path);
        m_saveAs = path;
        m_boxes.clear();
        action("mnuRenderSide")->trigger();
        QCOMPARE(m_boxes.size(), 1);
        const tv::shell::MsgBoxCall box = m_boxes.first();
        if (target == QLatin1String("song")) {
            QVERIFY2(box.text.contains(QLatin1String("is song #2 of Tape Side A")), qPrintable(box.text));
            QCOMPARE(readFile(second), secondBytes); // the song itself is untouched
            return;
        }
        QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
        QCOMPARE(box.title, QStringLiteral("The Tape Vantrel"));
        QVERIFY(box.style & tv::shell::Msg::Exclamation);
        if (!written) {
            // Which file or song it was, and nothing of the user's replaced.
            QVERIFY2(box.text.contains(change.isEmpty() ? path : second), qPrintable(box.text));
            QCOMPARE(readFile(path), before);
            QVERIFY(QFileInfo(path).dir().entryList({QStringLiteral("*.wav.*")}, QDir::Files | QDir::Hidden).isEmpty());
            return;
        }
        // Rendered as it plays, and the short song named with how long it came out.
        QVERIFY2(box.text.contains(QStringLiteral("Song #2, %1: 00:03 of 00:10").arg(QFileInfo(second).fileName())), qPrintable(box.text));
        QCOMPARE(qsizetype(decoded(path).size()), qsizetype(2 * (26460 + 3 * 44100)));
    }
};

QTEST_MAIN(LevelToolsTest)
#include "tst_level_tools.moc"
