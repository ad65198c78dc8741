// show_window NAME: shows one window of TapeVantrel as a user sees it, for
// screenshots (bench/screenshots.sh). NAME is splash, menu, tape, minidisc,
// about, msgbox, help, mini, update, recording (the tape workspace while
// it records a side), label (the MiniDisc label in LP2 with its song
// lines' menu open) or deck (the deck check's window after a check of a
// deck made up here: a little fast, wobbling, rolled off at the top) or
// verify (the verify of a side after a playback with a dropout, a song cut
// short and one missing). The workspaces open with their drive list shown and an
// over-full Side A playlist, so that the read-out, its colours and the
// longest texts are on screen.
#include "AudioFormat.h"
#include "DeckAnalysis.h"
#include "DeckCheckWindow.h"
#include "DeckSignal.h"
#include "SideVerifyWindow.h"
#include "Forms.h"
#include "MessageBox.h"
#include "Workspace.h"
#include "WorkspaceForms.h"
#include "HelpWindow.h"
#include "LabelWindow.h"
#include "Help.h"
#include "frmAbout.h"
#include "frmMenu.h"
#include "frmMsgBox.h"
#include "frmSplash.h"
#include "frmMini.h"
#include "frmVersionCheck.h"
#include "MiniPlayerForms.h"

#include <QApplication>
#include <cmath>
#include <random>
#include <QContextMenuEvent>
#include <QScreen>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

QWidget *workspace(const QString &name, const QTemporaryDir &dir)
{
    auto *ws = tv::shell::Forms::get<tv::workspace::Workspace>(name);
    ws->show();
    // 90 minutes, a 2 s delay, and more music on Side A than a side holds.
    const QString playlist = dir.filePath(QStringLiteral("full.tpl"));
    QFile file(playlist);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("90\r\n000\r\n2\r\nplaylista\r\n 2770 \r\n");
        for (int i = 1; i <= 9; ++i)
            file.write(QStringLiteral("/home/me/Music/Album/%1 - Song (live).mp3 (05:%2)\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i + 10).toUtf8());
        file.write("playlistend\r\n");
        file.close();
    }
    ws->subLoadPlayList(playlist);
    QTimer::singleShot(300, ws, [ws] { ws->findChild<QPushButton *>(QStringLiteral("cmdDriveList"))->click(); });
    return ws;
}

// A quiet one-minute tone, for a recording to play.
QString writeTone(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("Tone - One Minute.wav"));
    constexpr int rate = 44100, seconds = 60;
    QByteArray data;
    data.reserve(rate * seconds * 4);
    for (int i = 0; i < rate * seconds; ++i) {
        const auto v = qint16(1000 * std::sin(2 * M_PI * 440 * i / rate));
        for (int c = 0; c < 2; ++c)
            data.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    }
    const auto le32 = [](quint32 v) { return QByteArray(1, char(v)) + char(v >> 8) + char(v >> 16) + char(v >> 24); };
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("RIFF" + le32(quint32(36 + data.size())) + "WAVEfmt " + le32(16) + QByteArray("\x01\x00\x02\x00", 4) + le32(rate)
                   + le32(rate * 4) + QByteArray("\x04\x00\x10\x00", 4) + "data" + le32(quint32(data.size())) + data);
    }
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("menu");
    tv::workspace::registerWorkspaceForms();
    tv::miniplayer::registerMiniPlayerForm();
    tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new tv::shell::frmMenu; });
    const QTemporaryDir dir;
    QWidget *shown = nullptr;
    if (name == QLatin1String("splash")) {
        auto *splash = new tv::shell::frmSplash;
        splash->Form_Load();
        shown = splash;
    } else if (name == QLatin1String("menu")) {
        shown = tv::shell::Forms::get(QStringLiteral("frmMenu"));
    } else if (name == QLatin1String("tape")) {
        shown = workspace(QStringLiteral("MP3DragDrop"), dir);
    } else if (name == QLatin1String("minidisc")) {
        shown = workspace(QStringLiteral("MP3MiniDisc"), dir);
    } else if (name == QLatin1String("about")) {
        shown = new tv::shell::frmAbout;
    } else if (name == QLatin1String("msgbox")) {
        auto *box = new tv::shell::frmMsgBox;
        box->setWindowTitle(QStringLiteral("Tape Side A Recording Status"));
        box->lblMsgBox()->setText(QStringLiteral("Recording of Tape Side A Complete!"));
        shown = box;
    } else if (name == QLatin1String("help")) {
        shown = tv::shell::frmHelp::showGuide(tv::shell::helpFilePath());
    } else if (name == QLatin1String("mini")) {
        // The mini player plays through the tape workspace, loaded unseen.
        tv::shell::Forms::get(QStringLiteral("MP3DragDrop"));
        shown = tv::shell::Forms::get(QStringLiteral("frmMini"));
    } else if (name == QLatin1String("recording")) {
        auto *ws = tv::shell::Forms::get<tv::workspace::Workspace>(QStringLiteral("MP3DragDrop"));
        ws->show();
        ws->findChild<QRadioButton *>(QStringLiteral("opt90"))->click();
        ws->subAddSong(writeTone(dir));
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
        QTimer::singleShot(300, ws, [ws] { ws->findChild<QPushButton *>(QStringLiteral("cmdRecordSideA"))->click(); });
        shown = ws;
    } else if (name == QLatin1String("label")) {
        auto *list = new QListWidget;
        for (int i = 1; i <= 9; ++i)
            list->addItem(QStringLiteral("/home/me/Music/Album/%1 - Song (live).mp3 (05:%2)").arg(i, 2, 10, QLatin1Char('0')).arg(i + 10));
        auto *label = new tv::labels::LabelWindow(tv::labels::LabelProfile::miniDiscLabel(), {list});
        label->setRecordingMode(QStringLiteral("LP2"));
        // A right click on the second line, as the mouse gives it.
        QTimer::singleShot(800, label, [label] {
            auto *line = label->findChild<QLineEdit *>(QStringLiteral("txtTitle_1"));
            const QPoint at(line->width() / 3, line->height() / 2);
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, line->mapToGlobal(at));
            QCoreApplication::sendEvent(line, &click);
        });
        // Placed by us, so that it knows where on the screen its lines are.
        label->move(label->screen()->availableGeometry().center() - label->rect().center());
        shown = label;
    } else if (name == QLatin1String("deck")) {
        const double rate = tv::media::kSampleRate;
        const auto clock = [](double t) {
            const double r = t - 0.4;
            return 1.0042 * (r + 0.0012 / (2 * M_PI * 0.7) * (1 - std::cos(2 * M_PI * 0.7 * r))
                             + 0.0004 / (2 * M_PI * 9.0) * (1 - std::cos(2 * M_PI * 9.0 * r)));
        };
        std::vector<float> heard = tv::deck::renderDeckSignal(rate, clock);
        const double alpha = 1.0 - std::exp(-2 * M_PI * 9000.0 / rate);
        double y = 0.0;
        std::mt19937 random(7);
        std::normal_distribution<double> hiss(0.0, 0.0004);
        for (float &v : heard) {
            y += alpha * (0.93 * v - y);
            v = static_cast<float>(y + hiss(random));
        }
        auto *window = new tv::deckui::DeckCheckWindow;
        window->showReport(tv::deck::analyseDeckCapture(heard, rate));
        shown = window;
    } else if (name == QLatin1String("verify")) {
        using tv::deck::SongCheck;
        tv::deck::SideVerdict verdict;
        verdict.songs = {{QStringLiteral("01 - Opening Number.flac"), SongCheck::Found::Whole, 184.0, 2.1, 0.0, {}},
                         {QStringLiteral("02 - The Long One (live at the hall).mp3"), SongCheck::Found::Whole, 412.0, 190.2, 0.0,
                          {{62.512, 0.015, -18.7}, {301.004, 0.042, -24.3}}},
                         {QStringLiteral("03 - Quiet Song.ogg"), SongCheck::Found::Whole, 201.0, 606.3, 0.0, {}},
                         {QStringLiteral("04 - Too Long For The Tape.wav"), SongCheck::Found::CutShort, 330.0, 811.4, 264.8, {}},
                         {QStringLiteral("05 - Encore.flac"), SongCheck::Found::Missing, 150.0, 0.0, 0.0, {}}};
        verdict.driftPercent = 0.31;
        verdict.gainDb = -1.6;
        verdict.loudestDbfs = -7.4;
        verdict.loudestSong = 1;
        verdict.loudestAtSeconds = 222.9;
        QStringList names;
        for (const SongCheck &c : verdict.songs)
            names << c.name;
        auto *window = new tv::deckui::SideVerifyWindow({}, names, QStringLiteral("Tape Side A"), -18.0);
        window->showVerdict(verdict);
        shown = window;
    } else if (name == QLatin1String("update")) {
        shown = new tv::update::frmVersionCheck;
    } else {
        std::fprintf(stderr, "unknown window %s\n", qPrintable(name));
        return 2;
    }
    shown->show();
    const int status = app.exec();
    tv::shell::Forms::destroyAll();
    return status;
}
