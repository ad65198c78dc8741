#pragma once

#include <QString>
#include <functional>

namespace tv::media::CdReadFaults {

// A seam for tests: the installed function is asked, on the thread that
// reads the disc, before every sector is read from a drive or an image;
// when it answers true the read of that sector fails, as a scratch makes it
// fail on a real drive. source is the drive or image (as CdDisc::source()).
using Injector = std::function<bool(const QString &source, int sector)>;

// Installs injector (an empty one removes it). Call while nothing reads.
void setInjector(Injector injector);
bool active();
bool failsAt(const QString &source, int sector);

} // namespace tv::media::CdReadFaults
