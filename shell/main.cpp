// TapeVantrel. Until the start menu exists, the cassette workspace opens
// directly; the splash and the menu take their place as they are built.
#include "MediumProfile.h"
#include "Workspace.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    tv::workspace::Workspace workspace(tv::workspace::MediumProfile::cassette());
    workspace.show();
    return app.exec();
}
