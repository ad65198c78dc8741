// TapeVantrel: for now a plain window; the splash, start menu and workspaces
// take its place as they are built.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    QLabel window(QStringLiteral("Cassette/MiniDisc Vantrel\n\nThe recording workspaces are not built yet."));
    window.setWindowTitle(QStringLiteral("Cassette/MiniDisc Vantrel"));
    window.setAlignment(Qt::AlignCenter);
    window.setMargin(40);
    window.show();
    return app.exec();
}
