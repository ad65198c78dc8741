#include "CdDisc.h"

#include "CueLayout.h"
#include "CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <mutex>

namespace tv::media {

namespace {

// libcdio looks for the data files of a .toc in the current folder, not in
// the folder of the .toc: it reads a copy whose file names are made full.
CdIo_t *openToc(const QString &source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QString text = QString::fromUtf8(file.readAll());
    const QDir folder = QFileInfo(source).absoluteDir();
    static const QRegularExpression kFile(QStringLiteral("\\b(FILE|AUDIOFILE|DATAFILE)(\\s+)\"([^\"]+)\""));
    QString full;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : kFile.globalMatch(text)) {
        full += text.mid(at, m.capturedStart() - at);
        const QString name = m.captured(3);
        full += m.captured(1) + m.captured(2) + QLatin1Char('"') + (QDir::isAbsolutePath(name) ? name : folder.absoluteFilePath(name))
                + QLatin1Char('"');
        at = m.capturedEnd();
    }
    full += text.mid(at);
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/tapevantrel-XXXXXX.toc"));
    if (!copy.open() || copy.write(full.toUtf8()) < 0 || !copy.flush())
        return nullptr;
    return cdio_open_cdrdao(QFile::encodeName(copy.fileName()).constData());
}

// libcdio reads a CUE sheet's sound from the file of the sheet's own name
// ending in .bin, whatever its FILE line names. A sheet that names another
// file is read through a private folder holding a copy of the sheet and, by
// the name libcdio looks for, a link to the data file; the folder lasts as
// long as the disc.
CdIo_t *openCue(const QString &source, const QString &data, std::unique_ptr<QTemporaryDir> &alias)
{
    const QFileInfo info(source);
    const QString expected = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bin");
    if (data.isEmpty() || data == expected)
        return cdio_open_cue(QFile::encodeName(source).constData());
    alias = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tapevantrel-cue-XXXXXX"));
    const QString cue = alias->filePath(QStringLiteral("image.cue"));
    if (!alias->isValid() || !QFile::copy(source, cue) || !QFile::link(data, alias->filePath(QStringLiteral("image.bin"))))
        return nullptr;
    return cdio_open_cue(QFile::encodeName(cue).constData());
}

// cueData: the data file of a CUE sheet, as CueSheet::read() found it.
CdIo_t *openCdio(const QString &source, const QString &cueData, std::unique_ptr<QTemporaryDir> &alias)
{
    const QByteArray name = QFile::encodeName(source);
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("cue"))
        return openCue(source, cueData, alias);
    if (suffix == QLatin1String("toc"))
        return openToc(source);
    if (suffix == QLatin1String("nrg"))
        return cdio_open_nrg(name.constData());
    if (suffix == QLatin1String("bin"))
        return cdio_open_bincue(name.constData());
    return cdio_open(name.constData(), DRIVER_DEVICE);
}

// libcdio's last warning or error on this thread, to tell why an image
// cannot be opened.
thread_local QString t_lastMessage;

void keepLibcdioMessage(cdio_log_level_t level, const char *message)
{
    if (level >= CDIO_LOG_WARN && message)
        t_lastMessage = QString::fromUtf8(message).trimmed();
}

void quietLibcdio()
{
    // libcdio's own handler ends the program on an error message (a CUE
    // sheet it cannot parse is one); failures are told by return values.
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_loglevel_default = CDIO_LOG_ERROR;
        cdio_log_set_handler(keepLibcdioMessage);
    });
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
    std::shared_ptr<CdDisc> disc(new CdDisc);
    disc->m_source = source;
    QString cueData;
    if (image && QFileInfo(source).suffix().toLower() == QLatin1String("cue")) {
        // libcdio would only say that it cannot open the sheet.
        const std::optional<CueSheet::Sheet> sheet = CueSheet::read(source, error);
        if (!sheet)
            return nullptr;
        if (sheet->readByLibcdio()) {
            cueData = sheet->files.first().path;
        } else {
            auto layout = std::make_shared<CueLayout>(CueLayout::of(*sheet));
            for (const Track &t : layout->tracks) {
                if (t.lastSector >= t.firstSector)
                    disc->m_tracks.push_back(t);
            }
            disc->m_layout = std::move(layout);
        }
    }
    if (!disc->m_layout) {
        t_lastMessage.clear();
        disc->m_cdio = openCdio(source, cueData, disc->m_alias);
        if (!disc->m_cdio) {
            const QString why = t_lastMessage.isEmpty() ? QString() : QStringLiteral(": ") + t_lastMessage;
            error = image ? QStringLiteral("The CD image \"%1\" cannot be read%2.").arg(source, why)
                          : QStringLiteral("The CD drive \"%1\" cannot be opened: there may be no disc in it.").arg(source);
            return nullptr;
        }
        if (!disc->takeTracksFromLibcdio(error))
            return nullptr;
    }
    if (disc->lastAudioSector() < 0) {
        error = QStringLiteral("The disc in \"%1\" holds no music tracks.").arg(source);
        return nullptr;
    }
    return disc;
}

bool CdDisc::takeTracksFromLibcdio(QString &error)
{
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t count = cdio_get_num_tracks(m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        error = QStringLiteral("There is no readable disc in \"%1\".").arg(m_source);
        return false;
    }
    for (track_t t = first; t < first + count; ++t) {
        Track track;
        track.number = t;
        track.firstSector = cdio_get_track_lsn(m_cdio, t);
        track.lastSector = cdio_get_track_last_lsn(m_cdio, t);
        track.audio = cdio_get_track_format(m_cdio, t) == TRACK_FORMAT_AUDIO;
        if (track.firstSector == CDIO_INVALID_LSN || track.lastSector == CDIO_INVALID_LSN || track.lastSector < track.firstSector)
            continue;
        m_tracks.push_back(track);
    }
    return true;
}

CdDisc::~CdDisc()
{
    if (m_cdio)
        cdio_destroy(m_cdio); // before the alias folder goes
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
