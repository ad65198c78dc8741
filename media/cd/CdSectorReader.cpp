#include "CdSectorReader.h"

#include "CdReadFaults.h"
#include "CueImageReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <QtEndian>

#include <cstring>

namespace tv::media {

namespace {

// How often the drive is asked for a sector that it refuses before it counts
// as unreadable.
constexpr int kDriveRetries = 3;
// Paranoia's retries of a span that reads differently each time; it gives
// up (skips) only on a multiple of 5.
constexpr int kParanoiaRetries = 20;

// Paranoia calls the driver and its callback without a context pointer, on
// the thread that called it: the reader at work is kept per thread.
thread_local CdSectorReader *t_reader = nullptr;

struct Working
{
    explicit Working(CdSectorReader *reader) : previous(t_reader) { t_reader = reader; }
    ~Working() { t_reader = previous; }
    CdSectorReader *previous;
};

long hookedRead(cdrom_drive_t *, void *out, lsn_t begin, long count)
{
    return t_reader ? t_reader->readSectorsCarefully(out, begin, count) : -1;
}

void paranoiaCallback(long wordPosition, paranoia_cb_mode_t mode)
{
    if (mode == PARANOIA_CB_SKIP && t_reader)
        t_reader->noteSkip(wordPosition);
}

} // namespace

CdSectorReader::CdSectorReader(std::shared_ptr<CdDisc> disc) : m_disc(std::move(disc)) {}

CdSectorReader::~CdSectorReader()
{
    if (m_paranoia)
        cdio_paranoia_free(m_paranoia);
    if (m_drive)
        cdio_cddap_close_no_free_cdio(m_drive); // the disc keeps its handle
}

bool CdSectorReader::startParanoia()
{
    m_triedParanoia = true;
    char *messages = nullptr;
    m_drive = cdio_cddap_identify_cdio(m_disc->handle(), CDDA_MESSAGE_FORGETIT, &messages);
    free(messages);
    if (!m_drive)
        return false;
    if (cdio_cddap_open(m_drive) != 0) {
        cdio_cddap_close_no_free_cdio(m_drive);
        m_drive = nullptr;
        return false;
    }
    // libcdio gives CD audio little-endian whatever it guessed from the
    // music at open; paranoia turns it into the machine's order.
    m_drive->bigendianp = 0;
    // Every read goes through this reader, so that a sector the drive
    // refuses is retried on its own and becomes silence, instead of paranoia
    // guessing at it and dropping the good sectors around it.
    m_driverRead = m_drive->read_audio;
    m_drive->read_audio = hookedRead;
    m_paranoia = cdio_paranoia_init(m_drive);
    if (!m_paranoia)
        return false;
    cdio_paranoia_modeset(m_paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return true;
}

long CdSectorReader::readSectorsCarefully(void *out, int begin, long count)
{
    // Paranoia reads without a buffer only to move the drive's head.
    if (!out)
        return m_driverRead(m_drive, out, begin, count);
    auto *bytes = static_cast<unsigned char *>(out);
    const QString source = m_disc->source();
    if (!CdReadFaults::active() && m_driverRead(m_drive, out, begin, count) == count) {
        m_unreadable.erase(m_unreadable.lower_bound(begin), m_unreadable.lower_bound(begin + int(count)));
        return count;
    }
    for (long i = 0; i < count; ++i) {
        const int sector = begin + int(i);
        unsigned char *at = bytes + i * kSectorBytes;
        bool ok = false;
        for (int attempt = 0; attempt < kDriveRetries && !ok; ++attempt)
            ok = !CdReadFaults::failsAt(source, sector) && m_driverRead(m_drive, at, sector, 1) == 1;
        if (ok) {
            m_unreadable.erase(sector); // read at last: paranoia compares it with the other reads
        } else {
            std::memset(at, 0, kSectorBytes);
            m_unreadable.insert(sector);
        }
    }
    return count;
}

void CdSectorReader::noteSkip(long wordPosition)
{
    // Paranoia could not verify the data from here on and went on with its
    // best guess: that sector is not trusted.
    m_unreadable.insert(int(wordPosition / CD_FRAMEWORDS));
}

bool CdSectorReader::read(int sector, qint16 *out, bool &damaged)
{
    if (m_disc->layout()) {
        if (!m_laidOut)
            m_laidOut = std::make_unique<CueImageReader>(m_disc->layout());
        // The fault seam stands for a data file that cannot be read here.
        damaged = CdReadFaults::failsAt(m_disc->source(), sector);
        if (damaged) {
            std::memset(out, 0, kSectorBytes);
            return true;
        }
        return m_laidOut->read(sector, out, m_error);
    }
    if (!m_triedParanoia)
        startParanoia();
    if (!m_paranoia)
        return readPlain(sector, out, damaged);
    const Working working(this);
    if (sector != m_nextSector) {
        cdio_paranoia_seek(m_paranoia, sector, SEEK_SET);
        m_nextSector = sector;
    }
    const int16_t *data = cdio_paranoia_read_limited(m_paranoia, paranoiaCallback, kParanoiaRetries);
    if (!data)
        return false;
    ++m_nextSector;
    damaged = m_unreadable.erase(sector) > 0;
    if (damaged)
        std::memset(out, 0, kSectorBytes);
    else
        std::memcpy(out, data, kSectorBytes);
    // What lies behind the cursor is not asked for again.
    m_unreadable.erase(m_unreadable.begin(), m_unreadable.lower_bound(sector - 2 * CdDisc::kSectorsPerSecond));
    return true;
}

bool CdSectorReader::readPlain(int sector, qint16 *out, bool &damaged)
{
    // No paranoia for this source: plain reads with the same retries.
    bool ok = false;
    for (int attempt = 0; attempt < kDriveRetries && !ok; ++attempt)
        ok = !CdReadFaults::failsAt(m_disc->source(), sector)
             && cdio_read_audio_sectors(m_disc->handle(), out, lsn_t(sector), 1) == DRIVER_OP_SUCCESS;
    damaged = !ok;
    if (damaged) {
        std::memset(out, 0, kSectorBytes);
        return true;
    }
    for (int i = 0; i < CdDisc::kFramesPerSector * 2; ++i)
        out[i] = qFromLittleEndian(out[i]);
    return true;
}

} // namespace tv::media
