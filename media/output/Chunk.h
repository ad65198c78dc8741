#pragma once

#include "../AudioFormat.h"

#include <QtGlobal>

namespace tv::media {

// A piece of the stream that the deck is to hear, made by the decoder thread
// and played by the sound-server thread: decoded frames of one item, or the
// silence planned before an item. The stream of chunks is exactly the plan:
// songs and the silences between them, frame for frame.
struct Chunk
{
    static constexpr int kFrames = 2048; // about 46 ms

    quint64 serial = 0;      // the item the frames belong to (for planned silence: the item that follows it)
    quint32 generation = 0;  // stream generation: chunks of an older one are dropped unheard
    qint64 itemFrame = -1;   // the item's frame at samples[0]; -1 for silence before the item
    int frames = 0;          // may be 0 for a chunk that only carries an end or a failure
    bool itemStart = false;  // samples[0] is the item's first frame heard
    bool itemEnd = false;    // the item ends after the last frame
    bool itemFailed = false; // the item cannot go on past this chunk's frames
    qint16 samples[kFrames * kChannels];
};

} // namespace tv::media
