// TapeVantrel: the splash window first, then the start menu.
#include "CommandLine.h"
#include "ExactFiles.h"
#include "Forms.h"
#include "Help.h"
#include "MiniPlayerForms.h"
#include "Version.h"
#include "Workspace.h"
#include "WorkspaceForms.h"
#include "frmMenu.h"
#include "frmSplash.h"
#include "frmVersionCheck.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char **argv)
{
    const tv::shell::ProgramInfo info{QStringLiteral("TapeVantrel"), tv::shell::versionNumber(),
                                      QStringLiteral("Cassette/MiniDisc Vantrel: puts music from the computer onto cassette tape and MiniDisc."),
                                      QStringLiteral("file"),
                                      QStringLiteral("A playlist (.tpl) to load, or a sound file to add and play, when a workspace opens.")};
    if (tv::shell::answeredOnTerminal(argc, argv, info))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    // No application display name: the platform would append it to every
    // window title. Message boxes given no title bear the application title.
    QApplication::setApplicationVersion(info.version);
    QApplication::setDesktopFileName(QStringLiteral("org.example.tapevantrel.TapeVantrel"));
    // The installed theme's icon, else the one built in (a run from the build folder).
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.tapevantrel.TapeVantrel"), QIcon(QStringLiteral(":/icons/org.example.tapevantrel.TapeVantrel.svg"))));
    // The file argument's own bytes: a name that is not UTF-8 is still that file.
    const tv::shell::CommandLine commandLine = tv::shell::readCommandLine(tv::core::argumentNames(argc, argv));
    if (!commandLine.error.isEmpty())
        return tv::shell::complainOnTerminal(info.name, commandLine.error);
    app.installEventFilter(new tv::shell::HelpKeyFilter(&app));

    tv::workspace::Workspace::setCommandLine(commandLine.path);
    tv::workspace::registerWorkspaceForms();
    tv::miniplayer::registerMiniPlayerForm();
    tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new tv::shell::frmMenu; });
    tv::update::registerVersionCheckForm();

    auto *splash = new tv::shell::frmSplash;
    if (!splash->Form_Load()) {
        delete splash;
        return 1; // no sound device: the user has been told
    }
    // Once per start, when the menu is up: the update check, in the background.
    QObject::connect(splash, &tv::shell::frmSplash::closed, &app,
                     [] { QTimer::singleShot(0, [] { tv::update::startVersionCheck(); }); });
    splash->show();
    const int status = app.exec();
    tv::shell::Forms::destroyAll();
    return status;
}
