// TapeVantrel: the splash window first, then the start menu.
#include "Forms.h"
#include "Help.h"
#include "MiniPlayerForms.h"
#include "Workspace.h"
#include "WorkspaceForms.h"
#include "frmMenu.h"
#include "frmSplash.h"
#include "frmVersionCheck.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    // No application display name: the platform would append it to every
    // window title. Message boxes given no title bear the application title.
    app.installEventFilter(new tv::shell::HelpKeyFilter(&app));

    tv::workspace::Workspace::setCommandLine(app.arguments().mid(1).join(QLatin1Char(' ')));
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
