// The puzzle window, driven through its controls as a player drives it.
#include "FrmPrincipal.h"
#include "PuzzleMessage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace tv::puzzle;

class PuzzleWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<FrmPrincipal> m_window;
    QList<Message> m_messages;

    QAction *menu(const char *name) const { return m_window->findChild<QAction *>(QLatin1String(name)); }
    QString counter() const { return menu("MnuTempo")->text(); }
    void answer()
    {
        menu("MnuResponder")->trigger();
    }
    void chooseSolution()
    {
        for (int attribute = Cor; attribute <= Animal; ++attribute)
            for (int house = 1; house <= kHouses; ++house)
                pick(Attribute(attribute), house, solution(Attribute(attribute), house));
    }
    void pick(Attribute a, int house, int position)
    {
        // Through the keyboard, as a player would: Home, then Down to the entry.
        QComboBox *list = m_window->findChild<QComboBox *>(QStringLiteral("Cmb%1%2").arg(attributeName(a)).arg(house));
        QVERIFY(list);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < position; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex(), position);
    }
    QColor pictureColour(int house) const
    {
        return m_window->findChild<QFrame *>(QStringLiteral("PctCasa%1").arg(house))->palette().color(QPalette::Window);
    }

private slots:
    void init()
    {
        m_messages.clear();
        setMessageAnswerer([this](const Message &m) { m_messages.append(m); });
        m_window = std::make_unique<FrmPrincipal>(FrmPrincipal::Contacts{QStringLiteral("Autor"), QStringLiteral("a@x"), QStringLiteral("b@y")});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        setMessageAnswerer({});
    }

    void start_listsEmptyCounterZeroClockRunning()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Teste de Quorvane"));
        QCOMPARE(counter(), QStringLiteral("0"));
        QVERIFY(m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        const auto lists = m_window->findChildren<QComboBox *>();
        QCOMPARE(lists.size(), 25);
        for (QComboBox *list : lists) {
            QCOMPARE(list->currentIndex(), -1);
            QVERIFY(!list->isEditable());
        }
        for (int house = 1; house <= kHouses; ++house)
            QCOMPARE(pictureColour(house), QApplication::palette().color(QPalette::Button));
    }

    void answer_nothingChosen_fails()
    {
        answer();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().text, QStringLiteral("Nem todas as respostas estão corretas."));
        QCOMPARE(m_messages.first().icon, QMessageBox::Critical);
        QCOMPARE(m_messages.first().title, QStringLiteral("O Teste de Quorvane"));
        QVERIFY(m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    }

    void answer_fullSolution_succeedsWithTheCounterAndStopsTheClock()
    {
        for (int i = 0; i < 95; ++i)
            m_window->Timer1_Timer();
        QCOMPARE(counter(), QStringLiteral("95"));
        chooseSolution();
        answer();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().icon, QMessageBox::Information);
        QVERIFY2(m_messages.first().text.endsWith(QStringLiteral("\rVocê demorou 95 segundos para resolver esse teste.")),
                 qPrintable(m_messages.first().text));
        QVERIFY(!m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        QTest::qWait(1300);
        QCOMPARE(counter(), QStringLiteral("95"));
        answer(); // asking again gives the same time
        QVERIFY(m_messages.last().text.contains(QStringLiteral("Você demorou 95 segundos")));
    }

    void answer_oneWrongPet_failsThenCorrectingSucceeds()
    {
        chooseSolution();
        pick(Animal, 5, 3);
        answer();
        QCOMPARE(m_messages.last().text, QStringLiteral("Nem todas as respostas estão corretas."));
        pick(Animal, 5, 1);
        answer();
        QCOMPARE(m_messages.last().icon, QMessageBox::Information);
    }

    void clock_tick_countsSeconds()
    {
        QTRY_COMPARE_WITH_TIMEOUT(counter(), QStringLiteral("1"), 2000);
    }

    void colourPick_paintsTheHouse_data()
    {
        QTest::addColumn<int>("house");
        QTest::addColumn<int>("position");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("house 1 red") << 1 << 1 << QColor(255, 0, 0);
        QTest::newRow("house 2 white") << 2 << 2 << QColor(255, 255, 255);
        QTest::newRow("house 3 green") << 3 << 3 << QColor(0, 255, 0);
        QTest::newRow("house 4 yellow") << 4 << 4 << QColor(255, 255, 0);
        QTest::newRow("house 5 blue") << 5 << 5 << QColor(0, 0, 255);
    }
    void colourPick_paintsTheHouse()
    {
        QFETCH(int, house);
        QFETCH(int, position);
        QFETCH(QColor, colour);
        pick(Cor, house, position);
        QCOMPARE(pictureColour(house), colour);
        for (int other = 1; other <= kHouses; ++other) {
            if (other != house)
                QCOMPARE(pictureColour(other), QApplication::palette().color(QPalette::Button));
        }
    }

    void colourPick_dashes_restoresTheHouseAndFails()
    {
        chooseSolution();
        pick(Cor, 2, 0);
        QCOMPARE(pictureColour(2), QApplication::palette().color(QPalette::Button));
        answer();
        QCOMPARE(m_messages.last().text, QStringLiteral("Nem todas as respostas estão corretas."));
    }

    void doorsAndWindows_doNothing()
    {
        for (int n = 1; n <= 10; ++n) {
            auto *button = m_window->findChild<QPushButton *>(QStringLiteral("Command%1").arg(n));
            QVERIFY(button);
            QVERIFY(button->text().isEmpty());
            button->click();
        }
        QVERIFY(m_messages.isEmpty());
    }

    void fixedMessages_showTheirTexts()
    {
        menu("MnuImportante")->trigger();
        menu("MnuSobre")->trigger();
        menu("MnuMandar")->trigger();
        QCOMPARE(m_messages.size(), 3);
        QVERIFY(m_messages[0].text.startsWith(QStringLiteral("Após elaborar este teste, Quorvane afirmou")));
        QCOMPARE(m_messages[0].icon, QMessageBox::Information);
        QCOMPARE(m_messages[1].text, QStringLiteral("Autor\rDuvidas, criticas, sugestões por favor, E-mail me\ra@x\rb@y"));
        QCOMPARE(m_messages[1].icon, QMessageBox::NoIcon);
        QVERIFY(m_messages[2].text.endsWith(QStringLiteral("\rE-mail: a@x\r            b@y")));
        for (const Message &m : m_messages)
            QCOMPARE(m.title, QStringLiteral("O Teste de Quorvane"));
    }

    void texts_areShownExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label1") << "Label1" << "O Teste de Quorvane";
        const QStringList ruleTexts = rules();
        for (int i = 0; i < ruleTexts.size(); ++i)
            QTest::addRow("Label%d", i + 2) << QStringLiteral("Label%1").arg(i + 2) << ruleTexts.at(i);
        const QStringList clueTexts = clues();
        for (int i = 0; i < clueTexts.size(); ++i)
            QTest::addRow("Label%d", i + 6) << QStringLiteral("Label%1").arg(i + 6) << clueTexts.at(i);
        QTest::newRow("Label21") << "Label21" << "Qual dos homens tem um peixe como animal de estimação?";
        for (int house = 1; house <= kHouses; ++house)
            QTest::addRow("house %d", house) << QStringLiteral("lblCasa%1").arg(house) << QStringLiteral("%1° Casa").arg(house);
    }
    void texts_areShownExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto *label = m_window->findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->text(), text);
    }

    void captions_ofFramesAndMenus()
    {
        QStringList frames;
        for (const char *name : {"Frame1", "Frame2", "Frame3", "Frame4"})
            frames << m_window->findChild<QGroupBox *>(QLatin1String(name))->title();
        QCOMPARE(frames, (QStringList{"Informações", "Algumas dicas", "A questão é:", "Casas"}));
        QStringList menus;
        for (QAction *a : m_window->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"Importante", "Responder", "Sobre", "Mandar Teste", "Sair", QString(98, QLatin1Char(' ')),
                                     "Tempo Decorrido:", "0", "segundos"}));
        QCOMPARE(m_window->findChildren<QCheckBox *>().size(), 15);
    }

    void menu_clockStaysOnTheBar()
    {
        QMenuBar *bar = m_window->menuBar();
        const QRect last = bar->actionGeometry(menu("MnuSegundos"));
        QVERIFY2(last.isValid() && last.right() <= bar->width(), qPrintable(QStringLiteral("%1 of %2").arg(last.right()).arg(bar->width())));
        QVERIFY(last.left() > bar->width() / 2);
    }

    void layout_textsFitAndDoNotOverlap()
    {
        for (QLabel *label : m_window->findChildren<QLabel *>()) {
            const QFontMetrics fm = label->fontMetrics();
            QVERIFY2(label->height() >= fm.height(), qPrintable(label->objectName()));
            if (!label->wordWrap())
                QVERIFY2(fm.horizontalAdvance(label->text()) <= label->width(), qPrintable(label->objectName()));
            const QRect inParent = label->geometry();
            QVERIFY2(label->parentWidget()->rect().contains(inParent), qPrintable(label->objectName() + QStringLiteral(" leaves its frame")));
        }
        for (int n = 6; n < 20; ++n) {
            const QRect above = m_window->findChild<QLabel *>(QStringLiteral("Label%1").arg(n))->geometry();
            const QRect below = m_window->findChild<QLabel *>(QStringLiteral("Label%1").arg(n + 1))->geometry();
            QVERIFY2(!above.intersects(below), qPrintable(QStringLiteral("clue %1 overlaps the next").arg(n - 5)));
        }
        const QRect lastRule = m_window->findChild<QLabel *>(QStringLiteral("Label5"))->geometry();
        QVERIFY(m_window->findChild<QGroupBox *>(QStringLiteral("Frame1"))->rect().contains(lastRule));
    }

    void darkTheme_pictureResetsToTheThemesButtonColour()
    {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(50, 50, 55));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        const QPalette before = QApplication::palette();
        QApplication::setPalette(dark);
        QCoreApplication::processEvents();
        pick(Cor, 1, 5);
        pick(Cor, 1, 0);
        QCOMPARE(pictureColour(1), QColor(50, 50, 55));
        const auto *clue = m_window->findChild<QLabel *>(QStringLiteral("Label6"));
        QCOMPARE(clue->palette().color(QPalette::WindowText), QColor(230, 230, 230));
        QApplication::setPalette(before);
    }
};

QTEST_MAIN(PuzzleWindowTest)
#include "tst_puzzle_window.moc"
