#pragma once

#include <QLineF>
#include <QRect>
#include <QRectF>
#include <cmath>

namespace tv::labels {

// The labels are laid out in physical twips, 1440 to the inch of whatever
// shows them: the screen's logical inch for the window, the printer's inch on
// paper. Font sizes in points scale by the same inch, so text and boxes keep
// their proportions on every device.
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerMm = kTwipsPerInch / 25.4;

inline double twipsToDevice(double twips, double dpi)
{
    return twips * dpi / kTwipsPerInch;
}

inline QRectF deviceRect(const QRectF &twips, double dpi)
{
    return { twipsToDevice(twips.x(), dpi), twipsToDevice(twips.y(), dpi), twipsToDevice(twips.width(), dpi),
        twipsToDevice(twips.height(), dpi) };
}

inline QLineF deviceLine(const QLineF &twips, double dpi)
{
    return { twipsToDevice(twips.x1(), dpi), twipsToDevice(twips.y1(), dpi), twipsToDevice(twips.x2(), dpi),
        twipsToDevice(twips.y2(), dpi) };
}

// Whole pixels for a widget's geometry. Each edge is rounded on its own, so
// boxes that touch in twips touch on the screen, with no gap or overlap.
inline int pixelEdge(int twips, int dpi)
{
    return int(std::lround(twipsToDevice(twips, dpi)));
}

inline QRect pixelRect(const QRect &twips, int dpi)
{
    const int left = pixelEdge(twips.x(), dpi);
    const int top = pixelEdge(twips.y(), dpi);
    return { left, top, pixelEdge(twips.x() + twips.width(), dpi) - left, pixelEdge(twips.y() + twips.height(), dpi) - top };
}

} // namespace tv::labels
