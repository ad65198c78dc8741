#pragma once

#include <QString>
#include <QtGlobal>
#include <deque>
#include <memory>

namespace tv::media {
class AudioOutput;
}

namespace tv::workspace {

struct ScanFlags;

// The scan's files on the sound clock: the file heard now and the files
// planned after it, each an excerpt of exactly one beat, so that each file
// starts one beat after the one before to the frame, however late the
// window is. The plan reaches seconds past the file heard now, so a file
// is always planned before the sound needs it; the window follows what is
// heard.
class ScanChain
{
public:
    struct File
    {
        int index = -1;      // in the file list
        QString path;
        double seconds = 0;  // the whole song's length
        quint64 serial = 0;  // its item on the output
        std::shared_ptr<ScanFlags> flags;
        // The file could not be read: its beat is silence.
        bool failed() const;
    };

    explicit ScanChain(tv::media::AudioOutput &output) : m_output(output) {}

    // Plays file at once, in place of everything on the output, and
    // starts a plan of beats of beatMs.
    void playNow(File file, int beatMs);
    // The plan does not yet reach far enough ahead of the file heard now.
    bool wantsMore() const;
    // The file list index of the last file planned (or of the one heard).
    int lastIndex() const;
    // Plans file to start one beat after the last planned one.
    void planNext(File file);
    // The next planned file is still to come: the sound moves on by itself.
    bool nextIsComing() const;
    // serial has started: true when it was the next planned file, which is
    // now the current one.
    bool takeStarted(quint64 serial);
    const File &current() const { return m_current; }
    // Ends the chain; the song heard now plays on to its end.
    void release();
    // Forgets the chain, leaving the output alone: something else is
    // about to play in its place.
    void forget();
    // Ends the chain and silences what it plays and plans.
    void stopSound();

private:
    tv::media::AudioOutput &m_output;
    File m_current;
    std::deque<File> m_planned;
    int m_beatMs = 1;
};

} // namespace tv::workspace
