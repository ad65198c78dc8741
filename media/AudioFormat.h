#pragma once

// The one PCM format that every source produces and the sound output plays:
// CD quality, so that CD tracks pass through untouched and the deck hears
// 44.1 kHz stereo whatever the file was.
namespace tv::media {

inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;
inline constexpr int kBytesPerSample = 2; // signed 16-bit, native byte order
inline constexpr int kBytesPerFrame = kChannels * kBytesPerSample;

inline constexpr long long framesForMs(long long ms) { return ms * kSampleRate / 1000; }
inline constexpr long long msForFrames(long long frames) { return frames * 1000 / kSampleRate; }

} // namespace tv::media
