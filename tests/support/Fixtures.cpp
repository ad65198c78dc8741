#include "Fixtures.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <random>

namespace tv::test {

MediaFixtures &MediaFixtures::instance()
{
    static MediaFixtures fixtures;
    return fixtures;
}

MediaFixtures::MediaFixtures() : m_dir(std::make_unique<QTemporaryDir>())
{
    const QString script = qEnvironmentVariable("TV_FIXTURE_TOOLS") + QStringLiteral("/make-media.sh");
    QProcess make;
    make.setProcessChannelMode(QProcess::MergedChannels);
    make.start(QStringLiteral("bash"), {script, m_dir->path()});
    if (!make.waitForFinished(120000) || make.exitStatus() != QProcess::NormalExit || make.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2").arg(script, QString::fromLocal8Bit(make.readAll()));
        return;
    }
    m_ok = true;
}

QString MediaFixtures::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write fixture %s", qPrintable(file.fileName()));
    return file.fileName();
}

QByteArray MediaFixtures::read(const QString &name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read fixture %s", qPrintable(file.fileName()));
    return file.readAll();
}

void MidiWriter::track()
{
    m_tracks.append(QByteArray());
}

void MidiWriter::varLen(quint32 value)
{
    QByteArray bytes;
    bytes.prepend(char(value & 0x7F));
    while (value >>= 7)
        bytes.prepend(char((value & 0x7F) | 0x80));
    m_tracks.last().append(bytes);
}

void MidiWriter::tempo(quint32 deltaTicks, quint32 micros)
{
    varLen(deltaTicks);
    m_tracks.last().append("\xFF\x51\x03", 3);
    m_tracks.last().append(char(micros >> 16)).append(char(micros >> 8)).append(char(micros));
}

void MidiWriter::note(quint32 deltaTicks, int key, quint32 lengthTicks)
{
    varLen(deltaTicks);
    m_tracks.last().append(char(0x90)).append(char(key)).append(char(100));
    varLen(lengthTicks);
    // Running status: the note-off is a note-on with velocity 0.
    m_tracks.last().append(char(key)).append(char(0));
}

void MidiWriter::event(quint32 deltaTicks, const QByteArray &message)
{
    varLen(deltaTicks);
    m_tracks.last().append(message);
}

void MidiWriter::endOfTrack(quint32 deltaTicks)
{
    varLen(deltaTicks);
    m_tracks.last().append("\xFF\x2F\x00", 3);
}

QByteArray MidiWriter::bytes(int format) const
{
    QByteArray out("MThd");
    auto be32 = [&out](quint32 v) { char b[4]; qToBigEndian(v, b); out.append(b, 4); };
    auto be16 = [&out](quint16 v) { char b[2]; qToBigEndian(v, b); out.append(b, 2); };
    be32(6);
    be16(quint16(format));
    be16(quint16(m_tracks.size()));
    be16(quint16(m_division));
    for (const QByteArray &t : m_tracks) {
        out.append("MTrk");
        be32(quint32(t.size()));
        out.append(t);
    }
    return out;
}

QByteArray MidiWriter::rmi(int format) const
{
    const QByteArray smf = bytes(format);
    QByteArray out("RIFF");
    char b[4];
    qToLittleEndian(quint32(4 + 8 + smf.size() + (smf.size() & 1)), b);
    out.append(b, 4).append("RMIDdata");
    qToLittleEndian(quint32(smf.size()), b);
    out.append(b, 4).append(smf);
    if (smf.size() & 1)
        out.append('\0');
    return out;
}

QByteArray noise(int size, quint32 seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random() & 0xFF);
    return bytes;
}

} // namespace tv::test
