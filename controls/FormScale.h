#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tv::controls {

// Twips for the windows laid out at fixed positions, font-relative as dialog
// units are: 15 twips a pixel at 96 dpi with the 8.25 pt font the layouts
// were drawn for; a larger font or a higher dpi makes every twip larger in
// the same proportion, so that texts keep fitting their controls while the
// proportions of the layout stay as drawn. (The label windows measure paper
// and keep physical twips, 1440 to the inch: see labels/PaperTwips.h.)
class FormScale
{
public:
    static constexpr double kReferencePoints = 8.25;
    static constexpr int kReferenceDpi = 96;
    static constexpr double kTwipsPerPixel = 15.0; // with the reference font at the reference dpi

    FormScale() = default; // the reference: 15 twips a pixel
    explicit FormScale(double pixelsPerTwip) : m_pixelsPerTwip(pixelsPerTwip) {}

    // The scale for a form that shows font at logicalDpi: the larger of the
    // ratios of its line height and of its average character width to those
    // of the same family at 8.25 pt and 96 dpi.
    static FormScale forFont(const QFont &font, int logicalDpi);

    double pixelsPerTwip() const { return m_pixelsPerTwip; }
    int px(int twips) const;
    int twips(int px) const;
    QRect rect(int left, int top, int width, int height) const;
    QRect rect(const QRect &twipsRect) const { return rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()); }
    QSize size(int width, int height) const { return {px(width), px(height)}; }
    FormScale atLeast(double pixelsPerTwip) const { return FormScale(std::max(m_pixelsPerTwip, pixelsPerTwip)); }

private:
    double m_pixelsPerTwip = 1.0 / kTwipsPerPixel;
};

// The room a window may take on the screen: its available area, less an
// allowance for the window manager's frame and title bar.
QSize roomOnScreen(const QScreen *screen);
// The largest pixels-per-twip at which a form whose client area is at most
// clientTwips (plus extraPx of fixed-size parts, such as a menu bar) fits room.
double largestFitting(const QSize &clientTwips, const QSize &extraPx, const QSize &room);
// font with its size multiplied by factor (for a form that had to shrink).
QFont scaledFont(const QFont &font, double factor);

} // namespace tv::controls
