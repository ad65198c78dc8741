#include "CdDamageReports.h"

namespace tv::media {

CdDamageReports &CdDamageReports::instance()
{
    static CdDamageReports reports;
    return reports;
}

void CdDamageReports::report(const QString &trackFile, int track, qint64 firstMs, qint64 totalMs)
{
    emit damaged(trackFile, track, firstMs, totalMs);
}

} // namespace tv::media
