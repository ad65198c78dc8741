#include "CardPicture.h"

#include "PaperTwips.h"

#include <QPainter>

namespace tv::labels {

namespace {

QRectF cardRect(const CardPicture &card, double dpi)
{
    return deviceRect(QRectF(QPointF(0, 0), card.sizeTwips), dpi);
}

void paintBox(QPainter &painter, const CardBox &box, double dpi)
{
    const QRectF rect = deviceRect(box.twips, dpi);
    painter.save();
    // The fill reaches a hair past the right and bottom edges, under the next
    // box, so that boxes which touch leave no seam of background between them.
    const double hair = twipsToDevice(kSeamOverlapTwips, dpi);
    painter.fillRect(rect.adjusted(0, 0, hair, hair), box.background);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setFont(box.font);
    painter.setPen(box.foreground);
    const double margin = twipsToDevice(kBoxMarginTwips, dpi);
    if (box.multiLine) {
        QString text = box.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        painter.drawText(rect.adjusted(margin, margin, -margin, 0), int(box.alignment) | Qt::AlignTop | Qt::TextWrapAnywhere, text);
    } else {
        painter.drawText(rect.adjusted(margin, 0, -margin, 0), int(box.alignment) | Qt::AlignVCenter | Qt::TextSingleLine, box.text);
    }
    painter.restore();
}

} // namespace

void paintCardBackground(QPainter &painter, const CardPicture &card, double dpi)
{
    painter.save();
    painter.setClipRect(cardRect(card, dpi), Qt::IntersectClip);
    const QRectF frame = deviceRect(card.frameTwips, dpi);
    painter.fillRect(frame, card.background);
    if (!card.caption.isEmpty()) {
        // The caption sits on the frame's top edge, above the first song line.
        painter.setFont(card.captionFont);
        painter.setPen(card.captionColour);
        const QRectF band(frame.left() + twipsToDevice(kCaptionLeftTwips, dpi), frame.top(), frame.width(), twipsToDevice(210, dpi));
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, card.caption);
    }
    if (!card.folds.isEmpty()) {
        painter.setPen(QPen(Qt::black, twipsToDevice(kFoldWidthTwips, dpi), Qt::SolidLine, Qt::FlatCap));
        for (const QLineF &fold : card.folds)
            painter.drawLine(deviceLine(fold, dpi));
    }
    painter.restore();
}

void paintCardBoxes(QPainter &painter, const CardPicture &card, double dpi)
{
    painter.save();
    painter.setClipRect(cardRect(card, dpi), Qt::IntersectClip);
    for (const CardBox &box : card.boxes)
        paintBox(painter, box, dpi);
    painter.restore();
}

void paintCard(QPainter &painter, const CardPicture &card, double dpi)
{
    paintCardBackground(painter, card, dpi);
    paintCardBoxes(painter, card, dpi);
}

void paintCutMarks(QPainter &painter, const QSizeF &cardTwips, double dpi)
{
    const double w = cardTwips.width();
    const double h = cardTwips.height();
    const double near = kCutMarkGapTwips;
    const double far = kCutMarkGapTwips + kCutMarkLengthTwips;
    const QList<QLineF> marks = {
        // left and right of the top and bottom edges
        { -far, 0, -near, 0 },
        { w + near, 0, w + far, 0 },
        { -far, h, -near, h },
        { w + near, h, w + far, h },
        // above and below the left and right edges
        { 0, -far, 0, -near },
        { w, -far, w, -near },
        { 0, h + near, 0, h + far },
        { w, h + near, w, h + far },
    };
    painter.save();
    painter.setPen(QPen(Qt::black, twipsToDevice(kCutMarkWidthTwips, dpi), Qt::SolidLine, Qt::FlatCap));
    for (const QLineF &mark : marks)
        painter.drawLine(deviceLine(mark, dpi));
    painter.restore();
}

} // namespace tv::labels
