#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace tv::labels {

// What a label shows, in twips relative to the card's top left: the window
// builds it from its controls, the window's frame paints its background
// layer from it, and the printer paints all of it. So the card on paper is
// what the window shows, drawn as vector shapes and text.
struct CardBox
{
    QRectF twips;
    QString text;
    QFont font;
    QColor background;
    QColor foreground;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool multiLine = false;
};

struct CardPicture
{
    QSizeF sizeTwips; // the card: the window's client area
    QRectF frameTwips; // the background frame; may reach past the card
    QColor background;
    QString caption;
    QFont captionFont;
    QColor captionColour;
    QList<QLineF> folds;
    QList<CardBox> boxes; // drawn in order, later boxes over earlier ones
};

// Inner margin of a text box, left and right (and top of a strip), in twips.
constexpr double kBoxMarginTwips = 30;
// The caption's left edge inside the frame, in line with the song texts.
constexpr double kCaptionLeftTwips = 120;
// How far a box's fill reaches under its right and bottom neighbours.
constexpr double kSeamOverlapTwips = 2;
// A fold line is one pixel of the layout's 96 dpi screen wide.
constexpr double kFoldWidthTwips = 15;

// Painting on any device whose logical dpi is given; (0, 0) is the card's
// top left. Nothing is drawn outside the card except the cut marks.
void paintCardBackground(QPainter &painter, const CardPicture &card, double dpi);
void paintCardBoxes(QPainter &painter, const CardPicture &card, double dpi);
void paintCard(QPainter &painter, const CardPicture &card, double dpi);

// Short thin marks that continue the card's edges outward at its four
// corners, starting a little way off the card, for cutting it out.
constexpr double kCutMarkGapTwips = 1.0 * 1440 / 25.4; // 1 mm
constexpr double kCutMarkLengthTwips = 4.0 * 1440 / 25.4; // 4 mm
constexpr double kCutMarkWidthTwips = 5; // a quarter point
void paintCutMarks(QPainter &painter, const QSizeF &cardTwips, double dpi);

} // namespace tv::labels
