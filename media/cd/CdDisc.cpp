#include "CdDisc.h"

#include "CueSheet.h"

#include <QFile>
#include <QFileInfo>
#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <mutex>

namespace tv::media {

namespace {

CdIo_t *openCdio(const QString &source)
{
    const QByteArray name = QFile::encodeName(source);
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("cue"))
        return cdio_open_cue(name.constData());
    if (suffix == QLatin1String("toc"))
        return cdio_open_cdrdao(name.constData());
    if (suffix == QLatin1String("nrg"))
        return cdio_open_nrg(name.constData());
    if (suffix == QLatin1String("bin"))
        return cdio_open_bincue(name.constData());
    return cdio_open(name.constData(), DRIVER_DEVICE);
}

void quietLibcdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_loglevel_default = CDIO_LOG_ERROR; });
}

} // namespace

std::shared_ptr<CdDisc> CdDisc::open(const QString &source, QString &error)
{
    quietLibcdio();
    if (source.isEmpty()) {
        error = QStringLiteral("No CD drive was found on this computer.");
        return nullptr;
    }
    const bool image = !source.startsWith(QLatin1String("/dev/"));
    if (image && !QFileInfo::exists(source)) {
        error = QStringLiteral("The CD image \"%1\" does not exist.").arg(source);
        return nullptr;
    }
    if (image && QFileInfo(source).suffix().toLower() == QLatin1String("cue")) {
        // libcdio would only say that it cannot open the sheet.
        error = CueSheet::check(source);
        if (!error.isEmpty())
            return nullptr;
    }
    std::shared_ptr<CdDisc> disc(new CdDisc);
    disc->m_source = source;
    disc->m_cdio = openCdio(source);
    if (!disc->m_cdio) {
        error = image ? QStringLiteral("The CD image \"%1\" cannot be read.").arg(source)
                      : QStringLiteral("The CD drive \"%1\" cannot be opened: there may be no disc in it.").arg(source);
        return nullptr;
    }
    const track_t first = cdio_get_first_track_num(disc->m_cdio);
    const track_t count = cdio_get_num_tracks(disc->m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        error = QStringLiteral("There is no readable disc in \"%1\".").arg(source);
        return nullptr;
    }
    for (track_t t = first; t < first + count; ++t) {
        Track track;
        track.number = t;
        track.firstSector = cdio_get_track_lsn(disc->m_cdio, t);
        track.lastSector = cdio_get_track_last_lsn(disc->m_cdio, t);
        track.audio = cdio_get_track_format(disc->m_cdio, t) == TRACK_FORMAT_AUDIO;
        if (track.firstSector == CDIO_INVALID_LSN || track.lastSector == CDIO_INVALID_LSN || track.lastSector < track.firstSector)
            continue;
        disc->m_tracks.push_back(track);
    }
    if (disc->lastAudioSector() < 0) {
        error = QStringLiteral("The disc in \"%1\" holds no music tracks.").arg(source);
        return nullptr;
    }
    return disc;
}

CdDisc::~CdDisc()
{
    if (m_cdio)
        cdio_destroy(m_cdio);
}

const CdDisc::Track *CdDisc::track(int number) const
{
    for (const Track &t : m_tracks) {
        if (t.number == number)
            return &t;
    }
    return nullptr;
}

const CdDisc::Track *CdDisc::trackAtSector(int sector) const
{
    for (const Track &t : m_tracks) {
        if (sector >= t.firstSector && sector <= t.lastSector)
            return &t;
    }
    return nullptr;
}

int CdDisc::lastAudioSector() const
{
    int last = -1;
    for (const Track &t : m_tracks) {
        if (t.audio)
            last = std::max(last, t.lastSector);
    }
    return last;
}

quint32 CdDisc::discId() const
{
    quint32 id = 0;
    for (const Track &t : m_tracks)
        id = id * 31u + quint32(t.firstSector);
    return id;
}

QStringList CdDisc::drives()
{
    quietLibcdio();
    QStringList result;
    char **list = cdio_get_devices(DRIVER_DEVICE);
    for (char **p = list; p && *p; ++p)
        result << QFile::decodeName(*p);
    if (list)
        cdio_free_device_list(list);
    return result;
}

} // namespace tv::media
