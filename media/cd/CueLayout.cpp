#include "CueLayout.h"

#include <algorithm>

namespace tv::media {

CueLayout CueLayout::of(const CueSheet::Sheet &sheet)
{
    CueLayout layout;
    layout.files = sheet.files;
    int file = -1;
    qint64 cursor = 0; // within file
    const auto addRun = [&layout](int sectors, int fromFile, qint64 fileSector) {
        if (sectors <= 0)
            return;
        layout.runs.push_back({layout.sectors, sectors, fromFile, fileSector});
        layout.sectors += sectors;
    };
    // Everything the files hold up to point, across the ends of files.
    const auto playTo = [&](const CueSheet::Point &point) {
        while (file < point.file) {
            if (file >= 0)
                addRun(int(sheet.files.at(file).sectors - cursor), file, cursor);
            ++file;
            cursor = 0;
        }
        if (point.sector > cursor) {
            addRun(int(point.sector - cursor), file, cursor);
            cursor = point.sector;
        }
    };
    const CueSheet::Track *previous = nullptr;
    for (const CueSheet::Track &t : sheet.tracks) {
        playTo(t.index0.value_or(t.index1));
        if (previous)
            addRun(int(previous->postgap), -1, 0);
        playTo(t.index1);
        addRun(int(t.pregap), -1, 0);
        layout.tracks.push_back({t.number, layout.sectors, 0, t.audio});
        previous = &t;
    }
    playTo({int(sheet.files.size()) - 1, sheet.files.last().sectors});
    addRun(int(previous->postgap), -1, 0);
    for (int i = 0; i < layout.tracks.size(); ++i)
        layout.tracks[i].lastSector = (i + 1 < layout.tracks.size() ? layout.tracks[i + 1].firstSector : layout.sectors) - 1;
    return layout;
}

const CueLayout::Run *CueLayout::runAt(int sector) const
{
    const auto after = std::upper_bound(runs.begin(), runs.end(), sector, [](int s, const Run &r) { return s < r.firstSector; });
    if (after == runs.begin())
        return nullptr;
    const Run *run = &*(after - 1);
    return sector < run->firstSector + run->sectors ? run : nullptr;
}

} // namespace tv::media
