#include "LevelToneWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace tv::workspace {

LevelToneWindow::LevelToneWindow(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmLevelTone"));
    auto *column = new QVBoxLayout(this);
    m_lblLevelTone = new QLabel(this);
    m_lblLevelTone->setObjectName(QStringLiteral("lblLevelTone"));
    m_lblLevelTone->setWordWrap(true);
    m_lblLevelTone->setMinimumWidth(m_lblLevelTone->fontMetrics().averageCharWidth() * 48);
    auto *stop = new QPushButton(QStringLiteral("&Stop"), this);
    stop->setObjectName(QStringLiteral("cmdLevelToneStop"));
    column->addWidget(m_lblLevelTone);
    column->addWidget(stop, 0, Qt::AlignRight);
    connect(stop, &QPushButton::clicked, this, &LevelToneWindow::stopRequested);
}

void LevelToneWindow::showText(const QString &title, const QString &text)
{
    setWindowTitle(title);
    m_lblLevelTone->setText(text);
    // Wide enough for each of the text's lines (a song's name included) on
    // one line, within two thirds of the screen: the lines wrap only beyond.
    const QFontMetrics metrics = m_lblLevelTone->fontMetrics();
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QRect screenArea = screen()->availableGeometry();
    m_lblLevelTone->setMinimumWidth(std::clamp(widest + 1, metrics.averageCharWidth() * 48, std::max(1, screenArea.width() * 2 / 3)));
    adjustSize();
    if (!isVisible()) {
        // Over the middle of the workspace that plays it, where the user looks.
        QRect place(QPoint(), frameSize());
        place.moveCenter(parentWidget() ? parentWidget()->window()->frameGeometry().center() : screenArea.center());
        place.moveLeft(std::clamp(place.left(), screenArea.left(), std::max(screenArea.left(), screenArea.right() - place.width())));
        place.moveTop(std::clamp(place.top(), screenArea.top(), std::max(screenArea.top(), screenArea.bottom() - place.height())));
        move(place.topLeft());
    }
    show();
    raise();
}

void LevelToneWindow::closeEvent(QCloseEvent *event)
{
    emit stopRequested();
    event->accept();
}

} // namespace tv::workspace
