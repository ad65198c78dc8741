#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv::levels {

// One song of a side as the deck is to hear it.
struct PlannedSong
{
    QString path;
    qint64 silenceBeforeMs = 0; // between the previous song's last frame and this one's first
    double gain = 1.0;          // linear, applied to every sample
};

// The silence a recording leaves before each song: the lead-in before the
// first (none unless set), exactly the song delay before every other one
// (after a song and after an audio-CD track alike), as the side's read-out
// counts it.
QList<PlannedSong> planSide(const QStringList &paths, qint64 songDelayMs, const QList<double> &gains = {}, qint64 leadInMs = 0);

} // namespace tv::levels
