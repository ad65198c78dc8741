#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tv::test {

// The settings, cache and data folders of one test program, private to it:
// made and put in the environment before the application object exists.
class PrivateFolders
{
public:
    PrivateFolders();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The lines of a release's manifest as the maker writes them; each can be
// set wrong on purpose.
struct ReleaseLines
{
    ReleaseLines(QByteArray firstLine = "71", QByteArray version = "7.1", QByteArray product = "TapeVantrel", QByteArray target = {},
        QByteArray minimumVersion = "0.0")
        : firstLine(firstLine)
        , version(version)
        , product(product)
        , target(target)
        , minimumVersion(minimumVersion)
    {
    }
    QByteArray firstLine; // the older programs' form of the version
    QByteArray version;
    QByteArray product;
    QByteArray target; // empty: this build's ("linux-" and its processor)
    QByteArray minimumVersion;
};
// The manifest's text for an updater, before its signature line.
QByteArray manifestLines(const ReleaseLines &lines, const QByteArray &updater);

// An Ed25519 key pair made for the test run, standing in for the maker's.
class ReleaseSigner
{
public:
    ReleaseSigner();
    QByteArray publicKey() const { return m_public; }
    QByteArray sign(const QByteArray &message) const; // detached, 64 bytes
    // version.dat: the text and the line with its signature.
    QByteArray signedVersionDat(const QByteArray &text) const;
    QByteArray signedVersionDat(const ReleaseLines &lines, const QByteArray &updater) const
    {
        return signedVersionDat(manifestLines(lines, updater));
    }

private:
    QByteArray m_public;
    QByteArray m_secret;
};

} // namespace tv::test
