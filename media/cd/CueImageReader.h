#pragma once

#include "CueLayout.h"

#include <QFile>
#include <memory>

namespace tv::media {

class FfmpegSource;

// Reads the sectors of a disc that this program lays out from a CUE sheet
// (CueLayout): raw data files sector by sector, any other data file through
// the decoder, and silence where the sheet asks for gaps. Reading on in order
// costs no more than playing the files; a jump is exact to the frame.
//
// Not thread-safe: one thread reads at a time.
class CueImageReader
{
public:
    explicit CueImageReader(std::shared_ptr<const CueLayout> layout);
    ~CueImageReader();

    // Reads sector into out (588 frames of native-order 16-bit stereo); what
    // lies past the end of a data file that ends early is silence. False,
    // with error set, when a data file cannot be read.
    bool read(int sector, qint16 *out, QString &error);

private:
    bool readRaw(const CueLayout::Run &run, qint64 fileSector, qint16 *out, QString &error);
    bool readDecoded(const CueLayout::Run &run, qint64 fileSector, qint16 *out, QString &error);
    bool moveDecoderTo(int file, qint64 frame, QString &error);
    bool readFromDecoder(qint16 *out, qint64 &got, QString &error);

    std::shared_ptr<const CueLayout> m_layout;
    QFile m_raw;
    int m_rawFile = -1;
    std::unique_ptr<FfmpegSource> m_decoder;
    int m_decodedFile = -1;
    qint64 m_decodedFrame = 0; // the next frame that m_decoder gives
    bool m_decoderEnded = false;
    bool m_sought = false;   // m_decoder was last moved by seeking
    bool m_maySeek = true;   // false once a seek in this file went wrong
};

} // namespace tv::media
