#pragma once

#include "../AudioSource.h"

#include <QStringList>
#include <memory>

namespace tv::media {

// Plays the entries of an M3U playlist one after the other, as one stream.
class M3uSource final : public AudioSource
{
public:
    // depth: how many playlists named this one; too deep a nesting (a
    // playlist naming itself) is refused.
    static std::unique_ptr<M3uSource> open(const QString &path, QString &error, int depth = 0);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64) override { return false; }
    QString errorText() const override { return m_error; }

private:
    M3uSource() = default;
    QStringList m_entries;
    int m_next = 0;
    int m_depth = 0;
    std::unique_ptr<AudioSource> m_current;
    QString m_error;
};

} // namespace tv::media
