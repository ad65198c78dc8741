#pragma once

#include <QObject>
#include <QString>

namespace tv::media {

// Where the CD readers tell the windows that part of a track could not be
// read and plays as silence. report() may be called from any thread; the
// signal reaches receivers on their own threads (queued).
class CdDamageReports : public QObject
{
    Q_OBJECT
public:
    static CdDamageReports &instance();

    // trackFile: the track file being played (Track02.cda ...), or the
    // drive or image when the play has none; track: the track's number;
    // firstMs: where in the track the first damaged sector lies;
    // totalMs: how much of the track has been replaced by silence so far.
    void report(const QString &trackFile, int track, qint64 firstMs, qint64 totalMs);

signals:
    void damaged(const QString &trackFile, int track, qint64 firstMs, qint64 totalMs);

private:
    CdDamageReports() = default;
};

} // namespace tv::media
