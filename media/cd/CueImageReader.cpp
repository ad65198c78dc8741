#include "CueImageReader.h"

#include "../AudioFormat.h"
#include "../source/FfmpegSource.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace tv::media {

namespace {
constexpr int kFrames = CdDisc::kFramesPerSector;
constexpr qint64 kSectorBytes = kFrames * 4;
// A jump forward shorter than this is read through rather than sought.
constexpr qint64 kReadThroughFrames = 10 * kSampleRate;
} // namespace

CueImageReader::CueImageReader(std::shared_ptr<const CueLayout> layout) : m_layout(std::move(layout)) {}

CueImageReader::~CueImageReader() = default;

bool CueImageReader::read(int sector, qint16 *out, QString &error)
{
    const CueLayout::Run *run = m_layout->runAt(sector);
    if (!run || run->file < 0) {
        std::memset(out, 0, kSectorBytes);
        return true;
    }
    const qint64 fileSector = run->fileSector + (sector - run->firstSector);
    return m_layout->files.at(run->file).raw() ? readRaw(*run, fileSector, out, error) : readDecoded(*run, fileSector, out, error);
}

bool CueImageReader::readRaw(const CueLayout::Run &run, qint64 fileSector, qint16 *out, QString &error)
{
    const CueSheet::File &file = m_layout->files.at(run.file);
    if (m_rawFile != run.file) {
        m_raw.close();
        m_raw.setFileName(file.path);
        m_rawFile = -1;
        if (!m_raw.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("The data file \"%1\" of the CD image cannot be read: %2.").arg(file.path, m_raw.errorString());
            return false;
        }
        m_rawFile = run.file;
    }
    auto *bytes = reinterpret_cast<char *>(out);
    qint64 got = 0;
    if (m_raw.seek(fileSector * kSectorBytes))
        got = std::max<qint64>(m_raw.read(bytes, kSectorBytes), 0);
    std::memset(bytes + got, 0, std::size_t(kSectorBytes - got));
    const bool bigEndian = file.type == QLatin1String("MOTOROLA");
    for (int i = 0; i < kFrames * 2; ++i)
        out[i] = bigEndian ? qFromBigEndian(out[i]) : qFromLittleEndian(out[i]);
    return true;
}

bool CueImageReader::readDecoded(const CueLayout::Run &run, qint64 fileSector, qint16 *out, QString &error)
{
    if (!moveDecoderTo(run.file, fileSector * kFrames, error))
        return false;
    qint64 got = 0;
    if (!readFromDecoder(out, got, error)) {
        if (!m_sought)
            return false;
        // The file's timestamps were not what they claimed: read through
        // from its start instead.
        m_maySeek = false;
        m_decoder.reset();
        if (!moveDecoderTo(run.file, fileSector * kFrames, error) || !readFromDecoder(out, got, error))
            return false;
    }
    m_decodedFrame += got;
    // The sheet counts a cut last sector whole; past the sound is silence.
    std::memset(out + got * kChannels, 0, std::size_t(kFrames - got) * 4);
    if (got < kFrames)
        m_decodedFrame = fileSector * kFrames + kFrames;
    return true;
}

bool CueImageReader::readFromDecoder(qint16 *out, qint64 &got, QString &error)
{
    got = 0;
    while (got < kFrames && !m_decoderEnded) {
        const qint64 n = m_decoder->readFrames(out + got * kChannels, kFrames - got);
        if (n < 0) {
            error = m_decoder->errorText();
            return false;
        }
        m_decoderEnded = n == 0;
        got += n;
    }
    m_sought = false;
    return true;
}

bool CueImageReader::moveDecoderTo(int file, qint64 frame, QString &error)
{
    if (m_decoder && m_decodedFile == file && m_decodedFrame == frame)
        return true;
    const bool forward = m_decoder && m_decodedFile == file && frame > m_decodedFrame && !m_decoderEnded;
    if (!forward || frame - m_decodedFrame > kReadThroughFrames) {
        if (m_decodedFile != file)
            m_maySeek = true;
        if (forward && m_maySeek && m_decoder->seekToFrame(frame)) {
            m_decodedFrame = frame;
            m_sought = true;
            return true;
        }
        m_decoder = FfmpegSource::open(m_layout->files.at(file).path, error);
        m_decodedFile = m_decoder ? file : -1;
        m_decodedFrame = 0;
        m_decoderEnded = false;
        m_sought = false;
        if (!m_decoder)
            return false;
        if (frame > 0 && m_maySeek && m_decoder->seekToFrame(frame)) {
            m_decodedFrame = frame;
            m_sought = true;
            return true;
        }
    }
    // Read through to the frame: exact for every format.
    std::vector<qint16> scratch(std::size_t(kSampleRate / 10) * kChannels);
    while (m_decodedFrame < frame) {
        const qint64 n = m_decoder->readFrames(scratch.data(), std::min<qint64>(kSampleRate / 10, frame - m_decodedFrame));
        if (n < 0) {
            error = m_decoder->errorText();
            return false;
        }
        if (n == 0) {
            m_decoderEnded = true;
            m_decodedFrame = frame; // past the end: silence from here
            break;
        }
        m_decodedFrame += n;
    }
    return true;
}

} // namespace tv::media
