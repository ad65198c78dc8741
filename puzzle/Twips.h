#pragma once

#include <QRect>
#include <QWidget>

namespace tv::puzzle {

// Twips (1440 to the inch) to pixels at the widget's logical dpi: 15 twips a
// pixel at 96 dpi, 7.5 at 192.
inline int twips(const QWidget *w, int t)
{
    return (t * w->logicalDpiX() + 720) / 1440;
}

inline QRect twipsRect(const QWidget *w, int left, int top, int width, int height)
{
    return {twips(w, left), twips(w, top), twips(w, width), twips(w, height)};
}

} // namespace tv::puzzle
