// TesteQuorvane: the five-house logic puzzle.
#include "CommandLine.h"
#include "FrmPrincipal.h"
#include "PuzzleContacts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    const tv::shell::ProgramInfo info{QStringLiteral("TesteQuorvane"), QStringLiteral(TV_VERSION),
                                      QStringLiteral("O Teste de Quorvane: um quebra-cabeça lógico de cinco casas."), {}, {}};
    if (tv::shell::answeredOnTerminal(argc, argv, info))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(info.version);
    QApplication::setDesktopFileName(QStringLiteral("org.example.tapevantrel.TesteQuorvane"));
    // The installed theme's icon, else the one built in (a run from the build folder).
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.tapevantrel.TesteQuorvane"), QIcon(QStringLiteral(":/icons/org.example.tapevantrel.TesteQuorvane.svg"))));
    const QString error = tv::shell::readCommandLine(app.arguments()).error;
    if (!error.isEmpty())
        return tv::shell::complainOnTerminal(info.name, error);
    tv::puzzle::FrmPrincipal window({QString::fromUtf8(TV_PUZZLE_AUTHOR_LINE), QString::fromUtf8(TV_PUZZLE_CONTACT1),
                                     QString::fromUtf8(TV_PUZZLE_CONTACT2)});
    window.show();
    return app.exec();
}
