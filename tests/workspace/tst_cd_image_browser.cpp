// CD images in the drive browser, end to end: an image made here opens by
// double click as the folder of its tracks and the folder list leads back
// out; a broken image is told by file and line; its tracks are added with
// their lengths and recorded through the deck with the planned silence; and
// sectors that cannot be read play as silence of their length, told in
// Label1 while the recording goes on.
#include "CdImages.h"
#include "Deck.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "Workspace.h"
#include "cd/CdReadFaults.h"
#include "cd/CdTrackFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using tv::test::cdSectors;
using tv::test::Deck;
using tv::test::writeFile;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

namespace {
constexpr int kTrack1 = 87;  // 1.16 s of 440 Hz
constexpr int kPregap2 = 15; // 0.2 s of silence before track 2 (INDEX 00), counted in track 1
constexpr int kTrack2 = 90;  // 1.2 s of 660 Hz
constexpr int kTrack3 = 60;  // 0.8 s of 880 Hz
constexpr int kStart2 = kTrack1 + kPregap2;

QString msf(int sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}
double sectorsMs(int sectors) { return sectors * 1000.0 / 75.0; }
} // namespace

class CdImageBrowserTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QTemporaryDir m_dir;
    Deck m_deck;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QString music() const { return m_dir.filePath(QStringLiteral("music")); }
    QString m_albumName = QStringLiteral("Album.cue");
    QString album() const { return m_dir.filePath(QStringLiteral("music/") + m_albumName); }
    QString capture() const { return m_dir.filePath(QStringLiteral("deck.wav")); }
    tv::controls::FolderListBox *dir1() { return child<tv::controls::FolderListBox>("Dir1"); }
    tv::controls::PlayListBox *playlist() { return child<tv::controls::PlayListBox>("lstPlayListA"); }
    bool finished() const
    {
        for (const auto &b : m_boxes) {
            if (b.style & tv::shell::Msg::MessageWindow)
                return true;
        }
        return false;
    }
    void browseTo(const QString &folder)
    {
        QString error;
        QVERIFY2(dir1()->setPath(folder, error), qPrintable(error));
        QCOMPARE(m_ws->File1()->path(), folder);
    }
    // Double-clicks the file called name in File1, as the user does.
    void doubleClickFile(const QString &name)
    {
        const QList<QListWidgetItem *> items = m_ws->File1()->findItems(name, Qt::MatchExactly);
        QVERIFY2(items.size() == 1, qPrintable(name));
        m_ws->File1()->setCurrentItem(items.first());
        emit m_ws->File1()->itemDoubleClicked(items.first());
    }
    QString trackFolder()
    {
        QString error;
        const QString folder = tv::media::CdTrackFolder::materialise(album(), error);
        return folder;
    }
    QString spansText(const QVector<Deck::Span> &spans)
    {
        QString text;
        for (const auto &s : spans)
            text += QStringLiteral("[%1..%2] ").arg(s.startMs, 0, 'f', 1).arg(s.endMs, 0, 'f', 1);
        return text;
    }
    void recordTracks1And2()
    {
        const QString folder = trackFolder();
        QVERIFY(!folder.isEmpty());
        m_ws->subAddSong(folder + QStringLiteral("/Track01.cda"));
        m_ws->subAddSong(folder + QStringLiteral("/Track02.cda"));
        QCOMPARE(playlist()->count(), 2);
        child<QLineEdit>("txtOneSecondDelay")->setText(QStringLiteral("1"));
        child<QPushButton>("cmdRecordSideA")->click();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        const QByteArray disc = cdSectors(kTrack1, 440) + cdSectors(kPregap2, 0) + cdSectors(kTrack2, 660) + cdSectors(kTrack3, 880);
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("music/Album.bin")), disc));
        QVERIFY(tv::test::writeEncoded(m_dir.filePath(QStringLiteral("music/Album.flac")), QStringLiteral("flac"), disc));
        const QString sheet = QStringLiteral("FILE \"Album.%4\" %5\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                             "  TRACK 02 AUDIO\n    INDEX 00 %1\n    INDEX 01 %2\n  TRACK 03 AUDIO\n    INDEX 01 %3\n")
                                  .arg(msf(kTrack1), msf(kStart2), msf(kStart2 + kTrack2));
        QVERIFY(writeFile(album(), sheet.arg(QStringLiteral("bin"), QStringLiteral("BINARY")).toUtf8()));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("music/Album FLAC.cue")), sheet.arg(QStringLiteral("flac"), QStringLiteral("WAVE")).toUtf8()));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("music/Broken.bin")), cdSectors(75, 440)));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("music/Broken.cue")),
                          "FILE \"Broken.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:00:9O\n"));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("music/Lost.cue")), "FILE \"Lost.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"));
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            return (call.style & 0x0F) == tv::shell::Msg::OkCancel ? int(tv::shell::Msg::Ok) : int(tv::shell::Msg::Ok);
        });
    }
    void init()
    {
        m_boxes.clear();
        m_ws = new Workspace(MediumProfile::cassette());
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
        child<QRadioButton>("opt120")->click();
        QVERIFY(m_deck.start(capture())); // early: the deck takes a moment to listen
    }
    void cleanup()
    {
        m_albumName = QStringLiteral("Album.cue");
        tv::media::CdReadFaults::setInjector({});
        m_deck.stop();
        delete m_ws.data();
    }

    void doubleClickOnImage_opensItsTracks_andGoingUpLeadsBackToItsFolder()
    {
        browseTo(music());
        QVERIFY(m_ws->File1()->findItems(QStringLiteral("Album.cue"), Qt::MatchExactly).size() == 1); // the default pattern shows images
        doubleClickFile(QStringLiteral("Album.cue"));
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        QCOMPARE(tv::media::CdTrackFolder::imageOf(dir1()->path()), album());
        QStringList files;
        for (int i = 0; i < m_ws->File1()->count(); ++i)
            files << m_ws->File1()->item(i)->text();
        QCOMPARE(files, QStringList({QStringLiteral("Track01.cda"), QStringLiteral("Track02.cda"), QStringLiteral("Track03.cda")}));
        QCOMPARE(playlist()->count(), 0); // opening is not adding
        // The folder list shows the image inside the folder that holds it.
        const int last = dir1()->count() - 1;
        QCOMPARE(dir1()->item(last)->text().trimmed(), QStringLiteral("Album.cue"));
        QCOMPARE(dir1()->item(last - 1)->text().trimmed(), QStringLiteral("music"));
        QCOMPARE(dir1()->currentRow(), last);
        // Going up leaves the track folder for the folder of the image.
        emit dir1()->itemDoubleClicked(dir1()->item(last - 1));
        QCOMPARE(dir1()->path(), music());
        QCOMPARE(m_ws->File1()->path(), music());
        QVERIFY(m_ws->File1()->findItems(QStringLiteral("Album.cue"), Qt::MatchExactly).size() == 1);
    }

    void brokenImage_doubleClick_namesTheFileAndTheLine_andAddsNothing_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("expected");
        QTest::newRow("broken CUE line") << QStringLiteral("Broken.cue") << QStringLiteral("line 5 (\"INDEX 01 00:00:9O\") should give");
        QTest::newRow("missing data file") << QStringLiteral("Lost.cue") << QStringLiteral("line 1 (\"FILE \"Lost.bin\" BINARY\") names the data file");
    }
    void brokenImage_doubleClick_namesTheFileAndTheLine_andAddsNothing()
    {
        QFETCH(QString, image);
        QFETCH(QString, expected);
        browseTo(music());
        doubleClickFile(image);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("The CD image \"%1/%2\" cannot be read: ").arg(music(), image)),
                 qPrintable(m_boxes.first().text));
        QVERIFY2(m_boxes.first().text.contains(expected), qPrintable(m_boxes.first().text));
        QVERIFY(m_boxes.first().style & tv::shell::Msg::Exclamation);
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
        QCOMPARE(dir1()->path(), music());
        QCOMPARE(playlist()->count(), 0);
        QCOMPARE(m_ws->intTimeA(), 0);
    }

    void imageTracks_areAddedWithTheirLengths_exactToTheFrame()
    {
        const QString folder = trackFolder();
        QVERIFY(!folder.isEmpty());
        const int sectors[] = {kStart2, kTrack2, kTrack3};
        for (int t = 1; t <= 3; ++t) {
            const QString track = folder + QStringLiteral("/Track%1.cda").arg(t, 2, 10, QLatin1Char('0'));
            const std::optional<double> seconds = tv::shell::Module1::fnCdTrackLength(*m_ws, track);
            QVERIFY(seconds);
            QVERIFY2(std::abs(*seconds * 75.0 - sectors[t - 1]) < 0.5, qPrintable(QString::number(*seconds)));
        }
        browseTo(folder);
        for (int i = 0; i < m_ws->File1()->count(); ++i)
            m_ws->File1()->item(i)->setSelected(true);
        m_ws->mnuAdd_Click();
        QCOMPARE(playlist()->count(), 3);
        QCOMPARE(playlist()->item(0)->text(), folder + QStringLiteral("/Track01.cda (00:01)"));
        QCOMPARE(playlist()->item(1)->text(), folder + QStringLiteral("/Track02.cda (00:01)"));
        QCOMPARE(playlist()->item(2)->text(), folder + QStringLiteral("/Track03.cda (00:01)"));
        QCOMPARE(m_ws->intTimeA(), 3);
        QVERIFY(m_boxes.isEmpty());
    }

    void recordTwoImageTracks_throughTheDeck_withThePlannedSilence_data()
    {
        QTest::addColumn<QString>("image");
        QTest::newRow("raw sectors") << QStringLiteral("Album.cue");
        QTest::newRow("a FLAC file") << QStringLiteral("Album FLAC.cue");
    }
    void recordTwoImageTracks_throughTheDeck_withThePlannedSilence()
    {
        QFETCH(QString, image);
        m_albumName = image;
        recordTracks1And2();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 15000);
        QCOMPARE(m_boxes.last().text, QStringLiteral("Recording of Tape Side A Complete!"));
        QTest::qWait(200);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 100);
        QVERIFY2(spans.size() == 2, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[0].lengthMs() - sectorsMs(kTrack1)) <= 5, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[1].lengthMs() - sectorsMs(kTrack2)) <= 5, qPrintable(spansText(spans)));
        // Track 1's silent pregap, then the song delay alone (a CD track hands over without the step timer).
        const double gap = spans[1].startMs - spans[0].endMs;
        QVERIFY2(std::abs(gap - (sectorsMs(kPregap2) + 1000)) <= 5, qPrintable(QStringLiteral("gap %1: ").arg(gap) + spansText(spans)));
    }

    void unreadableSectors_playAsSilenceOfTheirLength_toldInLabel1_andTheRecordingCompletes()
    {
        // Sectors 30 to 44 of track 2 (0.2 s) cannot be read, however often.
        constexpr int kFirst = 30, kCount = 15;
        const QString image = album();
        tv::media::CdReadFaults::setInjector([image](const QString &source, int sector) {
            return source == image && sector >= kStart2 + kFirst && sector < kStart2 + kFirst + kCount;
        });
        recordTracks1And2();
        const QString note = QStringLiteral("   Unreadable: 0.20 s of track 2 from 00:00 on, played as silence");
        QLabel *label1 = child<QLabel>("Label1");
        QTRY_VERIFY_WITH_TIMEOUT(label1->text().endsWith(note), 10000);
        QVERIFY2(label1->text().startsWith(QStringLiteral("Music CD Track:   [ ") + trackFolder() + QStringLiteral("/Track02.cda ]")),
                 qPrintable(label1->text()));
        QVERIFY(m_ws->blnRecordingA); // it goes on
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 15000);
        QCOMPARE(m_boxes.last().text, QStringLiteral("Recording of Tape Side A Complete!"));
        QCOMPARE(m_boxes.size(), 2); // the prompt and the end: no box for the damage
        QTest::qWait(200);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 100);
        QVERIFY2(spans.size() == 3, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[1].lengthMs() - sectorsMs(kFirst)) <= 5, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[2].startMs - spans[1].endMs - sectorsMs(kCount)) <= 5, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[2].lengthMs() - sectorsMs(kTrack2 - kFirst - kCount)) <= 5, qPrintable(spansText(spans)));
        // The track keeps its length: the silence stands in for the damage, to the frame.
        QVERIFY2(std::abs(spans[2].endMs - spans[1].startMs - sectorsMs(kTrack2)) <= 5, qPrintable(spansText(spans)));
    }
};

QTEST_MAIN(CdImageBrowserTest)
#include "tst_cd_image_browser.moc"
