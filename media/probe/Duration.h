#pragma once

#include <QString>
#include <optional>

namespace tv::media {

// The outcome of measuring a file: its length in seconds, or a sentence
// naming the file and why it cannot be measured. A header probe that meets a
// variant it does not read itself (compressed WAV or AIFC) answers
// containerDecides(): the file is then measured through the decoder library.
struct Duration
{
    std::optional<double> seconds;
    QString error;
    bool askContainer = false;

    static Duration of(double s) { return {s, {}, false}; }
    static Duration failure(QString why) { return {std::nullopt, std::move(why), false}; }
    static Duration containerDecides() { return {std::nullopt, {}, true}; }
    bool ok() const { return seconds.has_value(); }
};

// The longest length a sound file may have: a header that gives more is
// absurd, and a stream that long cannot be a song for a tape or a disc.
inline constexpr double kLongestSeconds = 100.0 * 3600.0;
// Sample rates outside these bounds are header damage, not sound.
inline constexpr double kLowestRate = 1000.0;
inline constexpr double kHighestRate = 768000.0;

// "The file "<path>" <reason>." — the one shape of every media error text.
QString fileError(const QString &path, const QString &reason);

} // namespace tv::media
