#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tv::test {

// The folder of sound fixtures made by tests/fixtures/make-media.sh, made
// once per test program on first use. Null when the script failed (the
// message says why and the test fails).
class MediaFixtures
{
public:
    static MediaFixtures &instance();
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Writes bytes to a new file in the fixture folder and returns its path.
    QString write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    MediaFixtures();
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_ok = false;
    QString m_error;
};

// A standard MIDI file built event by event, for exact tempo maps.
class MidiWriter
{
public:
    explicit MidiWriter(int division = 480) : m_division(division) {}
    // Starts a new track; later events go to it.
    void track();
    void tempo(quint32 deltaTicks, quint32 microsPerQuarter);
    void note(quint32 deltaTicks, int key, quint32 lengthTicks);
    void endOfTrack(quint32 deltaTicks);
    // Any channel message (program change, note on, note off), as given.
    void event(quint32 deltaTicks, const QByteArray &message);
    QByteArray bytes(int format = 1) const;
    // The same MIDI data inside a RIFF RMID file.
    QByteArray rmi(int format = 1) const;

private:
    void varLen(quint32 value);
    int m_division;
    QList<QByteArray> m_tracks;
};

// Deterministic noise: the same bytes on every run.
QByteArray noise(int size, quint32 seed);

} // namespace tv::test
