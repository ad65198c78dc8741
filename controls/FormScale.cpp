#include "FormScale.h"

#include <QFontMetricsF>
#include <QImage>
#include <QScreen>
#include <cmath>

namespace tv::controls {

namespace {

// Line height and average character width (over the 52 Latin letters, as
// dialog base units are measured) of font drawn at dpi.
struct Metrics
{
    double height;
    double averageWidth;
};

Metrics metricsAt(const QFont &font, int dpi)
{
    QImage device(1, 1, QImage::Format_ARGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    const QFontMetricsF metrics(font, &device);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {metrics.height(), metrics.horizontalAdvance(letters) / letters.size()};
}

} // namespace

FormScale FormScale::forFont(const QFont &font, int logicalDpi)
{
    QFont reference = font;
    reference.setPointSizeF(kReferencePoints);
    const Metrics ref = metricsAt(reference, kReferenceDpi);
    const Metrics actual = metricsAt(font, logicalDpi > 0 ? logicalDpi : kReferenceDpi);
    const double ratio = std::max(actual.height / ref.height, actual.averageWidth / ref.averageWidth);
    return FormScale(ratio / kTwipsPerPixel);
}

int FormScale::px(int twips) const
{
    return int(std::lround(twips * m_pixelsPerTwip));
}

int FormScale::twips(int px) const
{
    return int(std::lround(px / m_pixelsPerTwip));
}

QRect FormScale::rect(int left, int top, int width, int height) const
{
    return {px(left), px(top), px(width), px(height)};
}

QSize roomOnScreen(const QScreen *screen)
{
    if (!screen)
        return {1 << 20, 1 << 20};
    const double dpiScale = screen->logicalDotsPerInchY() / FormScale::kReferenceDpi;
    // A title bar and borders, as most window managers draw them.
    const QSize frame(int(std::lround(12 * dpiScale)), int(std::lround(40 * dpiScale)));
    return screen->availableGeometry().size() - frame;
}

double largestFitting(const QSize &clientTwips, const QSize &extraPx, const QSize &room)
{
    const double byWidth = double(room.width() - extraPx.width()) / clientTwips.width();
    const double byHeight = double(room.height() - extraPx.height()) / clientTwips.height();
    return std::max(0.01, std::min(byWidth, byHeight));
}

QFont scaledFont(const QFont &font, double factor)
{
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        scaled.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    return scaled;
}

} // namespace tv::controls
