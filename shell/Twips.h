#pragma once

#include <QRect>
#include <QWidget>

namespace tv::shell {

// Twips (1440 to the inch) to pixels at the widget's logical dpi, and back:
// 15 twips a pixel at 96 dpi.
inline int twips(const QWidget *w, int t) { return (t * w->logicalDpiX() + 720) / 1440; }
inline int toTwips(const QWidget *w, int px) { return (px * 1440 + w->logicalDpiX() / 2) / w->logicalDpiX(); }
inline QRect twipsRect(const QWidget *w, int left, int top, int width, int height)
{
    return {twips(w, left), twips(w, top), twips(w, width), twips(w, height)};
}

} // namespace tv::shell
