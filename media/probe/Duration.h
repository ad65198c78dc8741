#pragma once

#include <QString>
#include <optional>

namespace tv::media {

// The outcome of measuring a file: its length in seconds, or a sentence
// naming the file and why it cannot be measured.
struct Duration
{
    std::optional<double> seconds;
    QString error;

    static Duration of(double s) { return {s, {}}; }
    static Duration failure(QString why) { return {std::nullopt, std::move(why)}; }
    bool ok() const { return seconds.has_value(); }
};

// "The file "<path>" <reason>." — the one shape of every media error text.
QString fileError(const QString &path, const QString &reason);

} // namespace tv::media
