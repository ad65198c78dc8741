#include "LabelFrame.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tv::labels {

LabelFrame::LabelFrame(PictureSource source, QWidget *parent)
    : QWidget(parent)
    , m_source(std::move(source))
{
    setObjectName(QStringLiteral("Frame1"));
}

QColor LabelFrame::backgroundColour() const
{
    return palette().color(QPalette::Window);
}

void LabelFrame::setBackgroundColour(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    update();
}

void LabelFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The picture is in the card's coordinates; this frame may start above
    // the card (the MiniDisc label's frame does).
    painter.translate(-pos());
    paintCardBackground(painter, m_source(), logicalDpiX());
}

void LabelFrame::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (QWindow *handle = window()->windowHandle(); handle && handle->startSystemMove()) {
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace tv::labels
