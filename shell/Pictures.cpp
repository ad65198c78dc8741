#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tv::shell::Pictures {

QPixmap cassette(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), 6, 6);
    p.setBrush(QColor(235, 225, 190));
    const QRectF label(w * 0.1, h * 0.12, w * 0.8, h * 0.5);
    p.drawRoundedRect(label, 3, 3);
    p.setBrush(QColor(30, 30, 30));
    const double r = h * 0.13;
    for (double cx : {w * 0.32, w * 0.68}) {
        p.drawEllipse(QPointF(cx, label.center().y()), r, r);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(cx, label.center().y()), r * 0.4, r * 0.4);
        p.setBrush(QColor(30, 30, 30));
    }
    p.setBrush(QColor(50, 50, 55));
    p.drawRect(QRectF(w * 0.25, h * 0.72, w * 0.5, h * 0.2));
    return pixmap;
}

QPixmap miniDisc(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 60), 2));
    p.setBrush(QColor(60, 90, 170));
    p.drawRoundedRect(QRectF(2, 2, side - 4, side - 4), 5, 5);
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(side * 0.15, side * 0.08, side * 0.45, side * 0.3));
    p.setBrush(QColor(230, 230, 240));
    p.drawEllipse(QPointF(side * 0.5, side * 0.62), side * 0.22, side * 0.22);
    p.setBrush(QColor(60, 90, 170));
    p.drawEllipse(QPointF(side * 0.5, side * 0.62), side * 0.06, side * 0.06);
    return pixmap;
}

QPixmap splashBanner()
{
    QPixmap pixmap(400, 100);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 400, 100);
    sky.setColorAt(0, QColor(25, 40, 90));
    sky.setColorAt(1, QColor(120, 40, 90));
    p.fillRect(pixmap.rect(), sky);
    p.drawPixmap(12, 14, cassette(96, 64));
    p.drawPixmap(300, 14, miniDisc(72));
    QFont font = p.font();
    font.setPointSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(110, 20, 190, 60), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Cassette/MiniDisc Vantrel"));
    return pixmap;
}

} // namespace tv::shell::Pictures
