// The label windows on screen: filling the song lines from the playlists,
// the font and colour changes with their cancel paths, the MiniDisc title
// strip's capitals, and what the window paints.
#include "CommonDialogs.h"
#include "FontColorDialog.h"
#include "LabelProfile.h"
#include "LabelWindow.h"
#include "PaperTwips.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <memory>

using tv::labels::LabelProfile;
using tv::labels::LabelWindow;
using tv::shell::FontChoice;

class LabelWindowTest : public QObject
{
    Q_OBJECT
    QListWidget m_sideA;
    QListWidget m_sideB;
    std::unique_ptr<LabelWindow> m_label;
    QList<tv::shell::FontDialogCall> m_fontCalls;
    QList<tv::shell::ColorDialogCall> m_colorCalls;

    void open(const LabelProfile &profile)
    {
        const QList<QListWidget *> lists
            = profile.isCassette() ? QList<QListWidget *> { &m_sideA, &m_sideB } : QList<QListWidget *> { &m_sideA };
        m_label = std::make_unique<LabelWindow>(profile, lists);
    }
    QLineEdit *line(int i) { return m_label->findChild<QLineEdit *>(QStringLiteral("txtTitle_%1").arg(i)); }
    QCheckBox *chkSongTime() { return m_label->findChild<QCheckBox *>(QStringLiteral("chkSongTime")); }
    QStringList lineTexts()
    {
        QStringList texts;
        for (int i = 0; i < m_label->profile().songLineCount(); ++i)
            texts.append(line(i)->text());
        return texts;
    }
    static void fill(QListWidget &list, int count, const QString &prefix)
    {
        for (int i = 1; i <= count; ++i)
            list.addItem(QStringLiteral("/home/ann/Music/%1 %2.mp3 (03:%3)").arg(prefix).arg(i).arg(i, 2, 10, QLatin1Char('0')));
    }
    int px(int twips) { return tv::labels::pixelEdge(twips, m_label->logicalDpiX()); }

private slots:
    void init()
    {
        m_sideA.clear();
        m_sideB.clear();
        m_fontCalls.clear();
        m_colorCalls.clear();
        tv::shell::setFontDialogAnswerer(nullptr);
        tv::shell::setColorDialogAnswerer(nullptr);
    }
    void cleanup() { m_label.reset(); }

    void load_setsInitialTexts_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("checkCaption");
        QTest::newRow("cassette") << true << "The Tape Vantrel"
                                  << "Enter Cassette Tape Title Here"
                                  << "W/Time";
        QTest::newRow("MiniDisc") << false << "The Cassette Tape Vantrel"
                                  << "E\r\nN\r\nT\r\nE\r\nR \r\n  \r\nT\r\nI\r\nT\r\nL\r\nE\r\n"
                                  << "Time";
    }
    void load_setsInitialTexts()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, appName);
        QFETCH(QString, title);
        QFETCH(QString, checkCaption);
        const LabelProfile &profile = cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel();
        open(profile);
        QCOMPARE(m_label->objectName(), profile.windowName);
        QCOMPARE(m_label->findChild<QLabel *>(QStringLiteral("lblAppName"))->text(), appName);
        QCOMPARE(m_label->titleText(), title);
        QCOMPARE(chkSongTime()->text(), checkCaption);
        QCOMPARE(chkSongTime()->toolTip(), QStringLiteral("Include Song Times"));
        QVERIFY(!chkSongTime()->isChecked());
        QCOMPARE(lineTexts(), QStringList(profile.songLineCount(), QString()));
        QVERIFY(m_label->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(m_label->isModal());
        QCOMPARE(m_label->size(), QSize(px(profile.clientTwips.width()), px(profile.clientTwips.height())));
    }

    void caption_holdsBothSideHeadings()
    {
        open(LabelProfile::tapeLabel());
        const QString caption = m_label->cardPicture().caption;
        QCOMPARE(caption.size(), 112);
        QVERIFY(caption.startsWith(QStringLiteral("Side A")) && caption.endsWith(QStringLiteral("Side B")));
        QCOMPARE(caption.mid(6, 100), QString(100, QLatin1Char(' ')));
        QVERIFY(m_label->findChild<QPushButton *>(QStringLiteral("cmdExit"))->text() == QStringLiteral("&Exit "));
        QCOMPARE(m_label->findChild<QPushButton *>(QStringLiteral("cmdBackground"))->toolTip(), QStringLiteral("Change Background Color"));
    }

    void subInsertSongTitles_fillsFromPlaylists_data()
    {
        QTest::addColumn<int>("songsA");
        QTest::addColumn<int>("songsB");
        QTest::newRow("20 songs on side A, none on side B") << 20 << 0;
        QTest::newRow("both sides full") << 14 << 14;
        QTest::newRow("a few on each side") << 3 << 5;
        QTest::newRow("empty playlists") << 0 << 0;
    }
    void subInsertSongTitles_fillsFromPlaylists()
    {
        QFETCH(int, songsA);
        QFETCH(int, songsB);
        fill(m_sideA, songsA, QStringLiteral("A"));
        fill(m_sideB, songsB, QStringLiteral("B"));
        open(LabelProfile::tapeLabel());
        const QStringList texts = lineTexts();
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(texts[i], i < songsA ? QStringLiteral("A %1").arg(i + 1) : QString());
            QCOMPARE(texts[14 + i], i < songsB ? QStringLiteral("B %1").arg(i + 1) : QString());
        }
        // Songs past the fourteenth of a side appear nowhere on the insert.
        for (int song = 15; song <= songsA; ++song)
            QVERIFY(!texts.contains(QStringLiteral("A %1").arg(song)));
    }

    void subInsertSongTitles_miniDiscTakesFifteen()
    {
        fill(m_sideA, 16, QStringLiteral("Song"));
        open(LabelProfile::miniDiscLabel());
        const QStringList texts = lineTexts();
        QCOMPARE(texts.size(), 15);
        QCOMPARE(texts.first(), QStringLiteral("Song 1"));
        QCOMPARE(texts.last(), QStringLiteral("Song 15"));
        QVERIFY(!texts.contains(QStringLiteral("Song 16")));
    }

    void chkSongTime_replacesEditsAndKeepsTitle()
    {
        m_sideA.addItem(QStringLiteral("/home/ann/Music/Song.mp3 (03:45)"));
        m_sideA.addItem(QStringLiteral("/Track.wav (00:59)"));
        m_sideA.addItem(QStringLiteral("/home/ann/Music/Live Set.aiff (1:02:05)"));
        m_sideA.addItem(QStringLiteral("/home/ann/Music/My.Song.au (02:10)"));
        open(LabelProfile::tapeLabel());
        QCOMPARE(lineTexts().mid(0, 4), (QStringList { "Song", "Track", "Live Set", "My.Song" }));

        QTest::keyClicks(line(3), QStringLiteral(" edited"));
        QTest::keyClicks(line(20), QStringLiteral("my own line"));
        auto *title = m_label->findChild<QLineEdit *>(QStringLiteral("txtTapeTitle"));
        title->setText(QStringLiteral("Road Trip 1999"));
        chkSongTime()->click();
        QCOMPARE(lineTexts().mid(0, 4), (QStringList { "Song (03:45)", "Track (00:59)", "Live Set (1:02:05)", "My.Song (02:10)" }));
        QCOMPARE(line(20)->text(), QString());
        QCOMPARE(title->text(), QStringLiteral("Road Trip 1999"));

        chkSongTime()->click();
        QCOMPARE(line(0)->text(), QStringLiteral("Song"));
    }

    void subInsertSongTitles_readsPlaylistsAsTheyAreNow()
    {
        open(LabelProfile::tapeLabel());
        m_sideB.addItem(QStringLiteral("/home/ann/Late Arrival.ogg (02:00)"));
        chkSongTime()->click();
        QCOMPARE(line(14)->text(), QStringLiteral("Late Arrival (02:00)"));
    }

    void cmdFont_appliesToLinesTitleAndName_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<double>("titlePoints");
        QTest::newRow("cassette") << true << 12.0;
        QTest::newRow("MiniDisc") << false << 9.75;
    }
    void cmdFont_appliesToLinesTitleAndName()
    {
        QFETCH(bool, cassette);
        QFETCH(double, titlePoints);
        open(cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel());
        const QColor green(0, 128, 0);
        tv::shell::setFontDialogAnswerer([&](const tv::shell::FontDialogCall &call) -> std::optional<FontChoice> {
            m_fontCalls.append(call);
            QFont chosen(QStringLiteral("Liberation Serif"));
            chosen.setPointSizeF(10);
            chosen.setItalic(true);
            chosen.setUnderline(true);
            return FontChoice { chosen, green };
        });
        m_label->cmdFont_Click();

        QCOMPARE(m_fontCalls.size(), 1);
        QCOMPARE(m_fontCalls[0].title, QStringLiteral("Print Cassette Case Insert"));
        QCOMPARE(m_fontCalls[0].preset.font.family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(m_fontCalls[0].preset.font.pointSizeF(), 6.75);
        QVERIFY(m_fontCalls[0].preset.font.bold());

        for (int i = 0; i < m_label->profile().songLineCount(); ++i) {
            const QFont f = line(i)->font();
            QCOMPARE(f.family(), QStringLiteral("Liberation Serif"));
            QCOMPARE(f.pointSizeF(), 10.0);
            QVERIFY(f.italic() && !f.bold() && !f.underline());
            QCOMPARE(line(i)->palette().color(QPalette::Text), green);
        }
        auto *title = m_label->findChild<QWidget *>(QStringLiteral("txtTapeTitle"));
        QCOMPARE(title->font().family(), QStringLiteral("Liberation Serif"));
        QVERIFY(title->font().italic() && !title->font().underline());
        QCOMPARE(title->font().pointSizeF(), titlePoints);
        QCOMPARE(title->palette().color(QPalette::Text), green);
        auto *appName = m_label->findChild<QLabel *>(QStringLiteral("lblAppName"));
        QCOMPARE(appName->palette().color(QPalette::Text), green);
        QCOMPARE(appName->font().pointSizeF(), 9.75); // only its colour changes
        QCOMPARE(m_label->cardPicture().boxes.first().font.pointSizeF(), 10.0); // and the paper follows
    }

    void cmdFont_cancelled_appliesLineZeroToAll()
    {
        open(LabelProfile::tapeLabel());
        QFont big = line(5)->font();
        big.setPointSizeF(14);
        line(5)->setFont(big);
        QPalette red = line(5)->palette();
        red.setColor(QPalette::Text, Qt::red);
        line(5)->setPalette(red);
        tv::shell::setFontDialogAnswerer([](const tv::shell::FontDialogCall &) { return std::optional<FontChoice>(); });
        m_label->cmdFont_Click();
        QCOMPARE(line(5)->font().pointSizeF(), 6.75);
        QCOMPARE(line(5)->palette().color(QPalette::Text), QColor(Qt::black));
        auto *title = m_label->findChild<QWidget *>(QStringLiteral("txtTapeTitle"));
        QCOMPARE(title->font().family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(title->font().pointSizeF(), 12.0);
        QVERIFY(title->font().bold());
    }

    void fontDialog_returnsItsPresetWhenLeftAlone_data()
    {
        QTest::addColumn<double>("points");
        QTest::newRow("a size the dialog shows rounded") << 6.75;
        QTest::newRow("a whole size") << 12.0;
    }
    void fontDialog_returnsItsPresetWhenLeftAlone()
    {
        QFETCH(double, points);
        QFont preset(QStringLiteral("Liberation Sans"));
        preset.setPointSizeF(points);
        preset.setBold(true);
        tv::shell::FontColorDialog dialog(preset, QColor(10, 20, 30));
        QCOMPARE(dialog.selectedFont().family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(dialog.selectedFont().pointSizeF(), points);
        QVERIFY(dialog.selectedFont().bold());
        QCOMPARE(dialog.selectedColor(), QColor(10, 20, 30));
    }

    void cmdBackground_changesOnlyTheFrame()
    {
        open(LabelProfile::tapeLabel());
        m_label->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_label.get()));
        const QPoint edge(px(45), px(100)); // left of the song lines: the frame
        const QPoint inLine(px(1500), px(300)); // inside song line 0
        QCOMPARE(m_label->grab().toImage().pixelColor(edge), QColor(0, 0, 192));

        tv::shell::setColorDialogAnswerer([this](const tv::shell::ColorDialogCall &call) {
            m_colorCalls.append(call);
            return std::optional<QColor>();
        });
        m_label->cmdBackground_Click();
        QCOMPARE(m_colorCalls.size(), 1);
        QCOMPARE(m_colorCalls[0].color, QColor(0, 0, 192));
        QCOMPARE(m_label->grab().toImage().pixelColor(edge), QColor(0, 0, 192));

        tv::shell::setColorDialogAnswerer([](const tv::shell::ColorDialogCall &) { return std::optional<QColor>(QColor(200, 30, 30)); });
        m_label->cmdBackground_Click();
        const QImage painted = m_label->grab().toImage();
        QCOMPARE(painted.pixelColor(edge), QColor(200, 30, 30));
        QCOMPARE(painted.pixelColor(inLine), QColor(Qt::white));
        QCOMPARE(m_label->cardPicture().background, QColor(200, 30, 30));
    }

    void miniDiscLines_overlapByThirtyTwips()
    {
        open(LabelProfile::miniDiscLabel());
        m_label->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_label.get()));
        // Line 1 starts 30 twips above the end of line 0 and lies over it.
        QCOMPARE(line(0)->geometry().bottom() + 1 - line(1)->geometry().top(), px(30));
        QVERIFY(m_label->findChild<QWidget *>(QStringLiteral("Frame1"))->y() < 0); // its top border lies outside
        const QImage painted = m_label->grab().toImage();
        const QPoint frameCorner(px(20), px(20));
        QCOMPARE(painted.pixelColor(frameCorner), QColor(0, 0, 192));
    }

    void miniDiscTitle_typedLettersBecomeCapitals_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entered");
        QTest::newRow("MiniDisc letters") << false << "abc"
                                          << "ABC";
        QTest::newRow("MiniDisc digits and punctuation") << false << "x1,2;?"
                                                         << "X1,2;?";
        QTest::newRow("cassette title keeps lower case") << true << "abc"
                                                         << "abc";
    }
    void miniDiscTitle_typedLettersBecomeCapitals()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, typed);
        QFETCH(QString, entered);
        open(cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel());
        m_label->show();
        QVERIFY(QTest::qWaitForWindowActive(m_label.get()));
        QWidget *title = m_label->findChild<QWidget *>(QStringLiteral("txtTapeTitle"));
        QTRY_COMPARE(QApplication::focusWidget(), title); // the title has the focus when the window opens
        if (auto *strip = qobject_cast<QTextEdit *>(title))
            strip->clear();
        else
            static_cast<QLineEdit *>(title)->clear();
        QTest::keyClicks(title, typed);
        QCOMPARE(m_label->titleText(), entered);
    }

    void miniDiscTitle_enterStartsANewLine()
    {
        open(LabelProfile::miniDiscLabel());
        auto *strip = m_label->findChild<QTextEdit *>(QStringLiteral("txtTapeTitle"));
        strip->clear();
        QTest::keyClicks(strip, QStringLiteral("m"));
        QTest::keyClick(strip, Qt::Key_Return);
        QTest::keyClicks(strip, QStringLiteral("d"));
        QCOMPARE(m_label->titleText(), QStringLiteral("M\r\nD"));
    }
};

QTEST_MAIN(LabelWindowTest)
#include "tst_label_window.moc"
