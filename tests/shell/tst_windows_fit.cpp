// Every window of both programs at several desktop font sizes and dpi: no
// caption, label, button, check box, option or list entry is wider (or
// taller) than its control, and no window is larger than the screen. The
// screen comes from the offscreen platform's configuration (see CMakeLists).
#include "Forms.h"
#include "FrmPrincipal.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PuzzleMessage.h"
#include "Workspace.h"
#include "Help.h"
#include "HelpWindow.h"
#include "WorkspaceForms.h"
#include "frmAbout.h"
#include "frmMini.h"
#include "frmVersionCheck.h"
#include "frmMenu.h"
#include "frmMsgBox.h"
#include "frmSplash.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// What of window does not fit, one line per fault.
QStringList clippedTexts(QWidget *window)
{
    QStringList faults;
    const auto fault = [&faults](const QWidget *w, const QString &what, int need, int room) {
        faults << QStringLiteral("%1 (%2): needs %3 px, has %4").arg(w->objectName(), what).arg(need).arg(room);
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // Hidden controls, and those out of view (a parked panel, the focus
        // sinks that are never seen).
        if (!w->isVisible() || !window->rect().intersects(QRect(w->mapTo(window, QPoint(0, 0)), w->size())))
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty() && label->pixmap().isNull()) {
            const QRect room = label->contentsRect();
            if (label->wordWrap()) {
                const int need = label->heightForWidth(room.width());
                if (need > room.height())
                    fault(label, label->text().left(30), need, room.height());
            } else {
                for (const QString &line : label->text().split(QLatin1Char('\n'))) {
                    if (fm.horizontalAdvance(line) > room.width())
                        fault(label, line, fm.horizontalAdvance(line), room.width());
                }
                if (fm.height() * label->text().count(QLatin1Char('\n')) + fm.height() > room.height() + 1)
                    fault(label, label->text() + QStringLiteral(" (height)"), fm.height(), room.height());
            }
        } else if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const auto element = qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
                                 : qobject_cast<QCheckBox *>(button)  ? QStyle::SE_CheckBoxContents
                                                                      : QStyle::SE_PushButtonContents;
            const QRect room = button->style()->subElementRect(element, &option, button);
            const int need = fm.horizontalAdvance(plain(button->text()));
            if (need > room.width())
                fault(button, button->text(), need, room.width());
        } else if (auto *box = qobject_cast<QGroupBox *>(w); box && !box->title().isEmpty()) {
            const int need = fm.horizontalAdvance(box->title()) + 8;
            if (need > box->width())
                fault(box, box->title(), need, box->width());
        } else if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !edit->text().isEmpty()) {
            const int need = fm.horizontalAdvance(edit->text()) + 4;
            const int room = edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right();
            if (need > room)
                fault(edit, edit->text(), need, room);
        } else if (auto *list = qobject_cast<QComboBox *>(w); list && list->objectName().startsWith(QLatin1String("Cmb"))) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QRect room = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
            for (int i = 1; i < list->count(); ++i) { // entry 0, a row of dashes, stands for no answer
                if (fm.horizontalAdvance(list->itemText(i)) > room.width())
                    fault(list, list->itemText(i), fm.horizontalAdvance(list->itemText(i)), room.width());
            }
        }
    }
    return faults;
}

} // namespace

class WindowsFitTest : public QObject
{
    Q_OBJECT
    QFont m_desktop;
    QTemporaryDir m_files;

    QString fullPlaylist()
    {
        // The widest read-out a side can show: 9:06:07 used, -9:06:07 left.
        const QString path = m_files.filePath(QStringLiteral("full.tpl"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("00\r\n000\r\n0\r\nplaylista\r\n 32767 \r\n/home/me/Music/Longest Song.mp3 (9:06:07)\r\nplaylistend\r\n");
        return path;
    }
    void check(QWidget *window)
    {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QStringList faults = clippedTexts(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
        const QRect screen = window->screen()->availableGeometry();
        const QSize size = window->frameGeometry().size();
        QVERIFY2(size.width() <= screen.width() && size.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 is %2 x %3 on a screen of %4 x %5")
                                .arg(window->objectName()).arg(size.width()).arg(size.height()).arg(screen.width()).arg(screen.height())));
    }

private slots:
    void initTestCase()
    {
        m_desktop = QApplication::font();
        tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new QWidget; });
        tv::workspace::registerWorkspaceForms();
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
        tv::puzzle::setMessageAnswerer([](const tv::puzzle::Message &) {});
    }
    void cleanup() { QApplication::setFont(m_desktop); }
    void cleanupTestCase() { tv::shell::Forms::destroyAll(); }

    void window_textsFitAndTheWindowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<double>("points");
        for (const char *window : {"tape", "minidisc", "menu", "splash", "about", "msgbox", "help", "mini", "update", "puzzle"}) {
            for (double points : {8.0, 9.0, 10.0, 11.0, 12.0})
                QTest::addRow("%s at %g pt", window, points) << QString::fromLatin1(window) << points;
        }
    }
    void window_textsFitAndTheWindowFitsTheScreen()
    {
        QFETCH(QString, window);
        QFETCH(double, points);
        QFont desktop = m_desktop;
        desktop.setPointSizeF(points);
        QApplication::setFont(desktop);
        if (window == QLatin1String("tape") || window == QLatin1String("minidisc")) {
            std::unique_ptr<tv::workspace::Workspace> ws(
                new tv::workspace::Workspace(window == QLatin1String("tape") ? tv::workspace::MediumProfile::cassette()
                                                                             : tv::workspace::MediumProfile::miniDisc()));
            ws->show();
            ws->subLoadPlayList(fullPlaylist());
            ws->cmdDriveList_Click(); // the window at its tallest
            check(ws.get());
            ws->cmdPrevRec_Click(); // the record panel in view
            check(ws.get());
        } else if (window == QLatin1String("menu")) {
            tv::shell::frmMenu menu;
            menu.show();
            check(&menu);
        } else if (window == QLatin1String("splash")) {
            tv::shell::frmSplash splash;
            splash.setAttribute(Qt::WA_DeleteOnClose, false);
            QVERIFY(splash.Form_Load());
            splash.show();
            check(&splash);
        } else if (window == QLatin1String("about")) {
            tv::shell::frmAbout about;
            about.setAttribute(Qt::WA_DeleteOnClose, false);
            about.show();
            check(&about);
        } else if (window == QLatin1String("msgbox")) {
            tv::shell::frmMsgBox box;
            box.setAttribute(Qt::WA_DeleteOnClose, false);
            box.setWindowTitle(QStringLiteral("Tape Side A Recording Status"));
            box.lblMsgBox()->setText(QStringLiteral("Recording of Tape Side A Complete!"));
            box.show();
            check(&box);
        } else if (window == QLatin1String("help")) {
            std::unique_ptr<tv::shell::frmHelp> help(new tv::shell::frmHelp(tv::shell::helpFilePath()));
            help->setAttribute(Qt::WA_DeleteOnClose, false);
            help->show();
            check(help.get());
        } else if (window == QLatin1String("mini")) {
            // The mini player plays through the tape workspace, loaded unseen.
            std::unique_ptr<QWidget> tape(tv::shell::Forms::get(QStringLiteral("MP3DragDrop")));
            std::unique_ptr<tv::miniplayer::frmMini> mini(new tv::miniplayer::frmMini);
            mini->setAttribute(Qt::WA_DeleteOnClose, false);
            mini->show();
            check(mini.get());
        } else if (window == QLatin1String("update")) {
            std::unique_ptr<tv::update::frmVersionCheck> update(new tv::update::frmVersionCheck);
            update->setAttribute(Qt::WA_DeleteOnClose, false);
            update->show();
            check(update.get());
        } else {
            tv::puzzle::FrmPrincipal puzzle({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
            puzzle.show();
            check(&puzzle);
        }
    }
};

QTEST_MAIN(WindowsFitTest)
#include "tst_windows_fit.moc"
