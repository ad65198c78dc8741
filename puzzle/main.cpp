// TesteQuorvane: for now a plain window; the puzzle takes its place when built.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("TesteQuorvane\n\nO jogo ainda não está pronto."));
    window.setWindowTitle(QStringLiteral("TesteQuorvane"));
    window.setAlignment(Qt::AlignCenter);
    window.setMargin(40);
    window.show();
    return app.exec();
}
