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

// The silence a recording leaves before each song: none before the first;
// the 300 ms step and the song delay after a song; the song delay alone
// after an audio-CD track (which hands over without the step).
inline constexpr qint64 kStepMs = 300;
QList<PlannedSong> planSide(const QStringList &paths, qint64 songDelayMs, const QList<double> &gains = {});

} // namespace tv::levels
