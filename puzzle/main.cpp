// TesteQuorvane: the five-house logic puzzle.
#include "FrmPrincipal.h"
#include "PuzzleContacts.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tv::puzzle::FrmPrincipal window({QString::fromUtf8(TV_PUZZLE_AUTHOR_LINE), QString::fromUtf8(TV_PUZZLE_CONTACT1),
                                     QString::fromUtf8(TV_PUZZLE_CONTACT2)});
    window.show();
    return app.exec();
}
