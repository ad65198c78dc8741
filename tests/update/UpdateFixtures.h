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

// An Ed25519 key pair made for the test run, standing in for the maker's.
class ReleaseSigner
{
public:
    ReleaseSigner();
    QByteArray publicKey() const { return m_public; }
    QByteArray sign(const QByteArray &message) const; // detached, 64 bytes

private:
    QByteArray m_public;
    QByteArray m_secret;
};

// version.dat for an updater: the version, then its size and SHA-256.
QByteArray versionDat(const QByteArray &version, const QByteArray &updater);

} // namespace tv::test
