// The shared procedures: the file pattern, CD track lengths and stopping the players.
#include "CdControlBar.h"
#include "FileListBox.h"
#include "Fixtures.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "Module1.h"
#include "Settings.h"
#include "Workspace.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"
#include "source/PlayableSource.h"

#include <QFileInfo>
#include <vector>

#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace tv::shell;
using tv::test::MediaFixtures;

class Module1Test : public QObject
{
    Q_OBJECT
    std::unique_ptr<tv::workspace::Workspace> m_ws;
    QList<MsgBoxCall> m_boxes;
    QString m_cdFolder;

    void setExt(const QString &value)
    {
        QSettings(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel")).setValue(QStringLiteral("FileType/Ext"), value);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        QString error;
        m_cdFolder = tv::media::CdTrackFolder::materialise(MediaFixtures::instance().path(QStringLiteral("disc.cue")), error);
        QVERIFY2(!m_cdFolder.isEmpty(), qPrintable(error));
    }
    void init()
    {
        m_boxes.clear();
        setMsgBoxAnswerer([this](const MsgBoxCall &call) {
            m_boxes.append(call);
            return int(Msg::Ok);
        });
        setExt(QString());
        m_ws = std::make_unique<tv::workspace::Workspace>(tv::workspace::MediumProfile::cassette());
        m_ws->show();
    }
    // Regression: every test program shared one settings and cache folder in
    // the home folder, so two test runs disturbed each other.
    void testRun_keepsSettingsAndCacheInPrivateFolders()
    {
        const QString own = qEnvironmentVariable("TV_TEST_PRIVATE_DIR");
        QVERIFY2(!own.isEmpty() && QDir(own).exists(), "the test runs without private folders");
        const QString settings = QSettings(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel")).fileName();
        QVERIFY2(settings.startsWith(own + QLatin1Char('/')), qPrintable(settings));
        QVERIFY2(m_cdFolder.startsWith(own + QLatin1Char('/')), qPrintable(m_cdFolder));
    }
    void cleanup()
    {
        m_ws.reset();
        setExt(QString());
        setMsgBoxAnswerer({});
    }

    void pattern_defaultWhenMissingOrEmpty()
    {
        QCOMPARE(m_ws->File1()->pattern(), Module1::kDefaultPattern);
        QCOMPARE(Module1::currentPattern(), Module1::kDefaultPattern);
        QVERIFY(Module1::kDefaultPattern.contains(QLatin1String("*.midi")));
        QVERIFY(!Module1::kDefaultPattern.contains(QLatin1String("*.ra")));
        QVERIFY(Module1::kDefaultPattern.endsWith(QLatin1String(";*cda")));
    }

    void pattern_default_offersEveryFormatThePlayerPlays_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"tone3.flac", "tone3.ogg", "tone3.opus", "tone3.m4a", "tone3.wma", "tone3.wav", "tone3.aifc"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void pattern_default_offersEveryFormatThePlayerPlays()
    {
        // Listed by the default pattern, and really played: a file the
        // browser offers must decode.
        QFETCH(QString, name);
        const QString folder = QFileInfo(MediaFixtures::instance().path(name)).absolutePath();
        QVERIFY(tv::controls::FileListBox::matchingFiles(folder, Module1::kDefaultPattern).contains(name));
        QString error;
        auto source = tv::media::openPlayable(MediaFixtures::instance().path(name), error);
        QVERIFY2(source, qPrintable(error));
        std::vector<qint16> frames(2 * 4096);
        QVERIFY(source->readFrames(frames.data(), 4096) > 0);
    }

    void pattern_storedValueReplacesTheList()
    {
        setExt(QStringLiteral("*.mp3"));
        Module1::subLoadSupportedFileTypes(*m_ws);
        QCOMPARE(m_ws->File1()->pattern(), QStringLiteral("*.mp3"));
        QVERIFY(m_boxes.isEmpty());
    }

    void pattern_rejected_keepsThePreviousAndSaysSo()
    {
        setExt(QStringLiteral("*.mp3;;../x/*"));
        Module1::subLoadSupportedFileTypes(*m_ws);
        QCOMPARE(m_ws->File1()->pattern(), Module1::kDefaultPattern);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.startsWith(QStringLiteral("Error loading supported file types! \r\n380\r\n")));
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
    }

    // The stored pattern is taken as it stands; its empty elements match nothing.
    void pattern_withEmptyElements_isTakenAndListsWhatTheOthersMatch_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("trailing semicolon") << "*.mp3;";
        QTest::newRow("leading semicolon") << ";*.mp3";
        QTest::newRow("two in a row") << "*.mp3;;*.MP3";
        QTest::newRow("blank element") << "*.mp3; ;";
    }
    void pattern_withEmptyElements_isTakenAndListsWhatTheOthersMatch()
    {
        QFETCH(QString, stored);
        QTemporaryDir folder;
        for (const char *name : {"a.mp3", "b.wav", "c.txt"}) {
            QFile file(folder.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_ws->File1()->setPath(folder.path());
        setExt(stored);
        Module1::subLoadSupportedFileTypes(*m_ws);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(m_ws->File1()->pattern(), stored);
        QCOMPARE(Module1::currentPattern(), stored);
        QCOMPARE(m_ws->File1()->count(), 1);
        QCOMPARE(m_ws->File1()->item(0)->text(), QStringLiteral("a.mp3"));
    }

    void pattern_ofNothingButSeparators_isRefused()
    {
        setExt(QStringLiteral(";;"));
        Module1::subLoadSupportedFileTypes(*m_ws);
        QCOMPARE(m_ws->File1()->pattern(), Module1::kDefaultPattern);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.startsWith(QStringLiteral("Error loading supported file types! \r\n380\r\n")));
    }

    void cdTrackLength_measuresTheTrackOfTheName()
    {
        QCOMPARE(Module1::fnCdTrackLength(*m_ws, m_cdFolder + QStringLiteral("/Track02.cda")).value_or(-1), 3.0);
        QCOMPARE(Module1::fnCdTrackLength(*m_ws, m_cdFolder + QStringLiteral("/Track03.cda")).value_or(-1), 2.0);
        QVERIFY(!m_ws->MCDtime()->isOpen()); // stopped and closed again
        QVERIFY(m_boxes.isEmpty());
    }

    void cdTrackLength_track10_isTenNotOne()
    {
        QVERIFY(!Module1::fnCdTrackLength(*m_ws, m_cdFolder + QStringLiteral("/Track10.cda")));
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("Track 10 is not on this disc."));
    }

    void cdTrackLength_nameWithoutNumber_fails()
    {
        QVERIFY(!Module1::fnCdTrackLength(*m_ws, m_cdFolder + QStringLiteral("/TrackAB.cda")));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.contains(QLatin1String("no track number")));
    }

    void stopPlayers_all_stopsBothAndShowsThePlayer()
    {
        tv::media::MediaPlayer *player = m_ws->MPlayer()->player();
        player->setFileName(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
        QCOMPARE(player->playState(), int(tv::media::MediaPlayer::Playing));
        m_ws->MCD()->show();
        m_ws->MPlayer()->hide();
        m_ws->Label1()->setText(QStringLiteral("Music CD Track"));
        Module1::subStopPlayers(*m_ws, QStringLiteral("All"));
        QCOMPARE(player->playState(), int(tv::media::MediaPlayer::Stopped));
        QVERIFY(m_ws->MCD()->isHidden());
        QVERIFY(m_ws->Label1()->text().isEmpty());
        QVERIFY(!m_ws->MPlayer()->isHidden());
    }

    void stopPlayers_cdOnly_whileHidden_leavesLabel1()
    {
        tv::media::CdAudioDevice *cd = m_ws->MCD()->device();
        cd->setFileName(m_cdFolder + QStringLiteral("/Track01.cda"));
        QVERIFY(cd->command(QStringLiteral("Open")));
        QVERIFY(cd->command(QStringLiteral("Play")));
        m_ws->Label1()->setText(QStringLiteral("kept"));
        m_ws->MPlayer()->hide();
        Module1::subStopPlayers(*m_ws, QStringLiteral("MCDplayer"));
        QVERIFY(!cd->isOpen());
        QCOMPARE(m_ws->Label1()->text(), QStringLiteral("kept"));
        QVERIFY(!m_ws->MPlayer()->isHidden());
    }

    void stopPlayers_otherWord_onlyShowsThePlayer()
    {
        tv::media::MediaPlayer *player = m_ws->MPlayer()->player();
        player->setFileName(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
        m_ws->MCD()->show();
        m_ws->MPlayer()->hide();
        Module1::subStopPlayers(*m_ws, QStringLiteral("nothing"));
        QCOMPARE(player->playState(), int(tv::media::MediaPlayer::Playing));
        QVERIFY(!m_ws->MCD()->isHidden());
        QVERIFY(!m_ws->MPlayer()->isHidden());
        player->stop();
    }
};

QTEST_MAIN(Module1Test)
#include "tst_module1.moc"
