#pragma once

#include "Duration.h"

namespace tv::media {

// The playing time of a sound file as it plays, without playing it: the one
// measuring path of the program (adding songs, the player's duration and the
// tvmeasure tool all come here). The answer is a finite length of more than
// zero and at most kLongestSeconds, or a sentence saying why the file cannot
// be played. Bounded work: a file answers within about a second, a playlist
// within kPlaylistBudgetMs and kMostPlaylistEntries entries in all.
// Synchronous; safe to call from any thread.
Duration measureFile(const QString &path);

inline constexpr int kPlaylistBudgetMs = 1000;

} // namespace tv::media
