#pragma once

#include <QPixmap>

// The program's own pictures, drawn rather than shipped: a cassette, a
// MiniDisc and the splash banner.
namespace tv::shell::Pictures {

QPixmap cassette(int width, int height);
QPixmap miniDisc(int side);
QPixmap splashBanner(); // 400 x 100

} // namespace tv::shell::Pictures
