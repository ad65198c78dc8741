// Medium length and the side read-outs of both workspaces, through their
// option buttons and text boxes.
#include "Fixtures.h"
#include "Globals.h"
#include "TimeText.h"
#include "MessageBox.h"
#include "MediumProfile.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "Workspace.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <memory>

using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

class WorkspaceLengthTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    void open(const MediumProfile &profile)
    {
        m_ws = std::make_unique<Workspace>(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.get()));
    }

    // The question a record button asks for Side A, answered Cancel: nothing plays.
    QString recordQuestion()
    {
        QList<tv::shell::MsgBoxCall> boxes;
        tv::shell::setMsgBoxAnswerer([&boxes](const tv::shell::MsgBoxCall &call) {
            boxes << call;
            return int(tv::shell::Msg::Cancel);
        });
        m_ws->cmdRecordSide_Click(0);
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
        return boxes.isEmpty() ? QString() : boxes.first().text;
    }

private slots:
    void initTestCase()
    {
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
    }
    void cleanup() { m_ws.reset(); }

    void options_setTheSideLength_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("seconds");
        QTest::newRow("cassette 60") << true << "opt60" << 1800;
        QTest::newRow("cassette 74") << true << "opt74" << 2220;
        QTest::newRow("cassette 90") << true << "opt90" << 2700;
        QTest::newRow("cassette 100") << true << "opt100" << 3000;
        QTest::newRow("cassette 110") << true << "opt110" << 3300;
        QTest::newRow("cassette 120") << true << "opt120" << 3600;
        QTest::newRow("minidisc 60") << false << "opt60" << 3600;
        QTest::newRow("minidisc 74") << false << "opt74" << 4440;
        QTest::newRow("minidisc 80") << false << "opt80" << 4800;
        QTest::newRow("minidisc 148") << false << "opt148" << 8880;
    }
    void options_setTheSideLength()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, option);
        QFETCH(int, seconds);
        open(cassette ? MediumProfile::cassette() : MediumProfile::miniDisc());
        auto *button = m_ws->findChild<QRadioButton *>(option);
        QVERIFY(button);
        QVERIFY(!button->isChecked()); // none selected when the window opens
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_ws->intSideLength(), seconds);
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:00 ][ Available: %1 ]").arg(tv::core::fnFormatTime(seconds)));
    }

    void customLength_minutesToSeconds_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<int>("seconds");
        QTest::newRow("cassette 45") << true << "45" << 1350;
        QTest::newRow("minidisc 45") << false << "45" << 2700;
        QTest::newRow("minidisc 120") << false << "120" << 7200;
    }
    void customLength_minutesToSeconds()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, minutes);
        QFETCH(int, seconds);
        open(cassette ? MediumProfile::cassette() : MediumProfile::miniDisc());
        auto *box = child<QLineEdit>("txtUsrTapeLength");
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->text(), QStringLiteral("000"));
        QTest::mouseClick(child<QRadioButton>("OptUSR"), Qt::LeftButton);
        QVERIFY(box->isEnabled());
        QCOMPARE(box->selectedText(), QStringLiteral("000")); // typing replaces it
        QTest::keyClicks(box, minutes);
        QCOMPARE(box->text(), minutes);
        QCOMPARE(m_ws->intSideLength(), seconds);
    }

    void boxes_takeOnlyDigits_andEmptyBecomesZero()
    {
        open(MediumProfile::cassette());
        auto *delay = child<QLineEdit>("txtOneSecondDelay");
        delay->setFocus();
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("a-7."));
        QCOMPARE(delay->text(), QStringLiteral("7"));
        QCOMPARE(tv::shell::globals().glngSongDelayMs, 7000);
        QTest::keyClick(delay, Qt::Key_Backspace);
        QCOMPARE(delay->text(), QStringLiteral("0"));
        QCOMPARE(tv::shell::globals().glngSongDelayMs, 0);
        QTest::keyClick(delay, Qt::Key_Return);
        QCOMPARE(delay->text(), QStringLiteral("0"));

        QTest::mouseClick(child<QRadioButton>("OptUSR"), Qt::LeftButton);
        auto *custom = child<QLineEdit>("txtUsrTapeLength");
        custom->selectAll();
        QTest::keyClick(custom, Qt::Key_Delete);
        QCOMPARE(custom->text(), QStringLiteral("000"));
        QCOMPARE(m_ws->intSideLength(), 0);
        // Pasted text is not filtered: a number is taken as it stands.
        custom->setText(QStringLiteral("1.5"));
        QCOMPARE(m_ws->intSideLength(), 45);
        custom->setText(QStringLiteral("x"));
        QCOMPARE(custom->text(), QStringLiteral("000"));
    }

    void readout_colorsAndCaptions_followTheFill()
    {
        open(MediumProfile::cassette());
        QCOMPARE(child<QGroupBox>("frmTapeSideA")->title(), QStringLiteral("Tape Side A Playlist"));
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        const QColor normalBase = list->palette().color(QPalette::Base);
        QTest::mouseClick(child<QRadioButton>("OptUSR"), Qt::LeftButton); // custom "000": no length
        // Without a length the first song already over-fills the side.
        m_ws->subAddSong(tv::test::MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        QCOMPARE(list->palette().color(QPalette::Base), QColor(255, 192, 192));
        // What is painted counts: below the one entry, the list's empty area.
        const auto painted = [list] {
            const QImage image = list->viewport()->grab().toImage();
            return QColor(image.pixel(image.width() / 2, image.height() - 4));
        };
        QCOMPARE(painted(), QColor(255, 192, 192));
        QCOMPARE(child<QLabel>("lblInfoA")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(child<QGroupBox>("frmTapeSideA")->title(), QStringLiteral("Tape Side A     -    WARNING: Tape Side A Time Exceeded!"));
        QCOMPARE(child<QLabel>("lblRecordSideA")->text(), QStringLiteral("  WARNING: Tape Side A Time Exceeded!"));
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:01 ][ Available: -00:01 ]"));
        // Choosing a length recomputes both sides: back to normal.
        QTest::mouseClick(child<QRadioButton>("opt60"), Qt::LeftButton);
        QCOMPARE(list->palette().color(QPalette::Base), normalBase);
        QCOMPARE(painted(), normalBase);
        QCOMPARE(child<QGroupBox>("frmTapeSideA")->title(), QStringLiteral("Tape Side A"));
        QCOMPARE(child<QGroupBox>("frmTapeSideB")->title(), QStringLiteral("Tape Side B"));
        QCOMPARE(child<QLabel>("lblRecordSideA")->text(), QString());
        QCOMPARE(child<QLabel>("lblInfoA")->palette().color(QPalette::WindowText), m_ws->palette().color(QPalette::ButtonText));
    }

    void readout_delayCountsBetweenSongsOnly()
    {
        open(MediumProfile::miniDisc());
        QTest::mouseClick(child<QRadioButton>("opt60"), Qt::LeftButton);
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        for (int i = 0; i < 5; ++i)
            list->addItem(QStringLiteral("/m/%1.mp3 (00:00)").arg(i));
        auto *delay = child<QLineEdit>("txtOneSecondDelay");
        delay->setText(QStringLiteral("3"));
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:12 ][ Available: 59:48 ]"));
        QCOMPARE(child<QGroupBox>("frmTapeSideA")->title(), QStringLiteral("MiniDisc Playlist"));
        delay->setText(QStringLiteral("0"));
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:00 ][ Available: 1:00:00 ]"));
    }

    void sideLength_survivesReopening_optionsDoNot()
    {
        open(MediumProfile::miniDisc());
        QTest::mouseClick(child<QRadioButton>("opt80"), Qt::LeftButton);
        m_ws.reset();
        open(MediumProfile::miniDisc());
        QCOMPARE(m_ws->intSideLength(), 4800);
        QVERIFY(!child<QRadioButton>("opt80")->isChecked());
        QCOMPARE(m_ws->intTimeA(), 0);
    }

    // Where the tape runs out: exactly the songs that end past the side's
    // end are painted in the warning colour.
    void planning_songsPastTheEnd_arePaintedInTheWarningColour()
    {
        open(MediumProfile::cassette());
        child<QRadioButton>("opt60")->click(); // 30 minutes a side
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        for (int i = 0; i < 5; ++i)
            list->addItem(QStringLiteral("/m/song%1.mp3 (08:00)").arg(i)); // ends at 8, 16, 24, 32 and 40 min
        m_ws->subTapeA_TimeCalc();
        QTest::qWait(50);
        const QImage shown = list->viewport()->grab().toImage();
        const auto redPixels = [&](int row) {
            const QRect r = list->visualItemRect(list->item(row)).intersected(shown.rect());
            int red = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c = shown.pixelColor(x, y);
                    red += c.red() > 200 && c.green() < 90 && c.blue() < 90;
                }
            return red;
        };
        for (int row = 0; row < 5; ++row)
            QVERIFY2((redPixels(row) > 20) == (row >= 3), qPrintable(QStringLiteral("row %1: %2 red pixels").arg(row).arg(redPixels(row))));
        // The record question says what the tape will miss (answered Cancel: nothing plays).
        const QString question = recordQuestion();
        QVERIFY2(question.endsWith(QStringLiteral("Volume.)\r\n\r\n     (Over-full: 2 songs, 10:00 of music, will run past the end of Tape Side A.)")),
                 qPrintable(question));
        // Short enough again: none.
        child<QRadioButton>("opt120")->click();
        for (int row = 0; row < 5; ++row)
            QCOMPARE(list->item(row)->foreground().style(), Qt::NoBrush);
    }

    // The cassette's split between its sides moves: both fit with the least
    // difference, or Side A takes as many as fit; the order stays.
    void planning_balanceAndFillFirst_moveTheSplit_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("songs");
        QTest::addColumn<QString>("length"); // mm:ss of each song
        QTest::addColumn<int>("onA"); // -1: nothing moves, and the user is told
        QTest::newRow("Balance Sides, 12 songs of 4 min on a C60") << "mnuBalanceSides" << 12 << "04:00" << 6;
        QTest::newRow("Fill Side A First, 12 songs of 4 min on a C60") << "mnuFillSideAFirst" << 12 << "04:00" << 7;
        QTest::newRow("Balance Sides, no split fits") << "mnuBalanceSides" << 3 << "20:00" << -1;
    }
    void planning_balanceAndFillFirst_moveTheSplit()
    {
        QFETCH(QString, item);
        QFETCH(int, songs);
        QFETCH(QString, length);
        QFETCH(int, onA);
        QList<tv::shell::MsgBoxCall> boxes;
        tv::shell::setMsgBoxAnswerer([&boxes](const tv::shell::MsgBoxCall &call) {
            boxes << call;
            return int(tv::shell::Msg::Ok);
        });
        open(MediumProfile::cassette());
        child<QRadioButton>("opt60")->click();
        child<QLineEdit>("txtOneSecondDelay")->setText(QStringLiteral("2"));
        QStringList entries;
        for (int i = 0; i < songs; ++i)
            entries << QStringLiteral("/m/%1.mp3 (%2)").arg(i, 2, 10, QLatin1Char('0')).arg(length);
        auto *a = child<tv::controls::PlayListBox>("lstPlayListA");
        auto *b = child<tv::controls::PlayListBox>("lstPlayListB");
        a->addItems(entries);
        m_ws->findChild<QAction *>(item)->trigger();
        const auto texts = [](QListWidget *list) {
            QStringList t;
            for (int i = 0; i < list->count(); ++i)
                t << list->item(i)->text();
            return t;
        };
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
        if (onA < 0) {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes.first().text.contains(QStringLiteral("nothing was changed")), qPrintable(boxes.first().text));
            QCOMPARE(texts(a), entries);
            QCOMPARE(b->count(), 0);
            return;
        }
        QVERIFY(boxes.isEmpty());
        QCOMPARE(texts(a) + texts(b), entries); // the order stays
        QCOMPARE(a->count(), onA);
        qint64 each = 0;
        QVERIFY(tv::core::parseTimeText(length, each));
        QCOMPARE(m_ws->intTimeA(), each * onA);
        QCOMPARE(m_ws->intTimeB(), each * (songs - onA));
        QVERIFY2(!child<QLabel>("lblInfoA")->text().contains(QStringLiteral("Available: -")), qPrintable(child<QLabel>("lblInfoA")->text()));
        QVERIFY2(!child<QLabel>("lblInfoB")->text().contains(QStringLiteral("Available: -")), qPrintable(child<QLabel>("lblInfoB")->text()));
    }

    // A MiniDisc holds 254 tracks: one entry more says so in the read-out
    // and in the record question.
    void planning_miniDiscTrackLimit_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("told");
        QTest::newRow("254 entries") << 254 << false;
        QTest::newRow("255 entries") << 255 << true;
    }
    void planning_miniDiscTrackLimit()
    {
        QFETCH(int, entries);
        QFETCH(bool, told);
        open(MediumProfile::miniDisc());
        child<QRadioButton>("opt80")->click();
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        for (int i = 0; i < entries; ++i)
            list->addItem(QStringLiteral("/m/%1.wav (00:01)").arg(i));
        m_ws->subTapeA_TimeCalc();
        const QString info = child<QLabel>("lblInfoA")->text();
        QCOMPARE(info.endsWith(QStringLiteral("[ 255 tracks: a MiniDisc holds 254 ]")), told);
        QCOMPARE(recordQuestion().endsWith(QStringLiteral("(255 tracks: a MiniDisc holds 254.)")), told);
    }

    // The MiniDisc deck's mode multiplies the disc's minutes; a side that
    // fits only in a longer mode says which; the choice is kept.
    void planning_miniDiscMode_followsTheReadout()
    {
        QTemporaryDir dir;
        const QString playlist = dir.filePath(QStringLiteral("long.tpl"));
        QFile file(playlist);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("80\r\n000\r\n0\r\nplaylista\r\n 5100 \r\n/m/long.wav (85:00)\r\nplaylistend\r\n");
        file.close();
        open(MediumProfile::miniDisc());
        QVERIFY(child<QAction>("mnuModeSP")->isChecked()); // the disc's own minutes by default
        QVERIFY(m_ws->subLoadPlayList(playlist));
        const auto info = [this] { return child<QLabel>("lblInfoA")->text(); };
        QCOMPARE(info(), QStringLiteral("[ Time Used: 1:25:00 ][ Available: -05:00 ][ fits in LP2 ]"));
        child<QAction>("mnuModeLP2")->trigger();
        QCOMPARE(info(), QStringLiteral("[ Time Used: 1:25:00 ][ Available: 1:15:00 ]"));
        child<QAction>("mnuModeLP4")->trigger();
        QCOMPARE(info(), QStringLiteral("[ Time Used: 1:25:00 ][ Available: 3:55:00 ]"));

        // The next window opens in the mode left; SP again for the others.
        open(MediumProfile::miniDisc());
        QVERIFY(child<QAction>("mnuModeLP4")->isChecked() && !child<QAction>("mnuModeSP")->isChecked());
        child<QRadioButton>("opt80")->click();
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:00 ][ Available: 5:20:00 ]"));
        child<QAction>("mnuModeSP")->trigger();
        QCOMPARE(tv::shell::getSetting(QStringLiteral("MiniDisc"), QStringLiteral("Mode")), QStringLiteral("SP"));
        // The cassette has no mode.
        open(MediumProfile::cassette());
        QVERIFY(!child<QAction>("mnuModeSP"));
    }

    // The cassette's lead-in: none by default (the read-out as it always
    // was); set, a side with songs counts it as time used, and the songs it
    // pushes past the end turn red. Kept for the next window; the MiniDisc
    // has none.
    void planning_leadIn_countsOnEverySideWithSongs()
    {
        QTemporaryDir dir;
        const QString playlist = dir.filePath(QStringLiteral("c60.tpl"));
        QFile file(playlist);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("60\r\n000\r\n2\r\nplaylista\r\n 1794 \r\n/m/a.wav (14:57)\r\n/m/b.wav (14:57)\r\nplaylistend\r\n");
        file.close();
        open(MediumProfile::cassette());
        QVERIFY(child<QAction>("mnuLeadIn0")->isChecked());
        QVERIFY(m_ws->subLoadPlayList(playlist));
        const auto info = [this](const char *name) { return child<QLabel>(name)->text(); };
        const auto red = [this](int row) { return child<QListWidget>("lstPlayListA")->item(row)->foreground().color() == QColor(0xFF, 0, 0); };
        QCOMPARE(info("lblInfoA"), QStringLiteral("[ Time Used: 29:56 ][ Available: 00:04 ]"));
        QVERIFY(!red(0) && !red(1));

        child<QAction>("mnuLeadIn3")->trigger();
        QCOMPARE(info("lblInfoA"), QStringLiteral("[ Time Used: 29:59 ][ Available: 00:01 ]"));
        child<QAction>("mnuLeadIn5")->trigger();
        QCOMPARE(info("lblInfoA"), QStringLiteral("[ Time Used: 30:01 ][ Available: -00:01 ]"));
        QVERIFY(!red(0) && red(1));
        QCOMPARE(info("lblInfoB"), QStringLiteral("[ Time Used: 00:00 ][ Available: 30:00 ]")); // no songs, no lead-in
        QCOMPARE(tv::shell::getSetting(QStringLiteral("Cassette"), QStringLiteral("LeadIn")), QStringLiteral("5"));

        open(MediumProfile::cassette());
        QVERIFY(child<QAction>("mnuLeadIn5")->isChecked());
        child<QAction>("mnuLeadIn0")->trigger();
        open(MediumProfile::miniDisc());
        QVERIFY(!child<QAction>("mnuLeadIn0"));
    }
};

QTEST_MAIN(WorkspaceLengthTest)
#include "tst_workspace_length.moc"
