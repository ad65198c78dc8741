#include "LevelToneWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    adjustSize();
    show();
    raise();
}

void LevelToneWindow::closeEvent(QCloseEvent *event)
{
    emit stopRequested();
    event->accept();
}

} // namespace tv::workspace
