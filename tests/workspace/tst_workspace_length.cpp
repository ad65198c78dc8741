// Medium length and the side read-outs of both workspaces, through their
// option buttons and text boxes.
#include "Fixtures.h"
#include "Globals.h"
#include "TimeText.h"
#include "MessageBox.h"
#include "MediumProfile.h"
#include "PlayListBox.h"
#include "Workspace.h"

#include <QGroupBox>
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
};

QTEST_MAIN(WorkspaceLengthTest)
#include "tst_workspace_length.moc"
