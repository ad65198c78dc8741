#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QSslCertificate>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace tv::test {

// How the server answers a request for one path.
struct ServedFile
{
    QByteArray body;
    int status = 200;
    qint64 cutAfter = -1; // close after this many body bytes; the header still gives the whole length
    bool neverAnswer = false; // take the request and never answer
    int trickleBytes = 0; // send the body this many bytes at a time...
    int trickleIntervalMs = 0; // ...with this pause between pieces
};

class HttpsServerWorker;

// An HTTPS server on 127.0.0.1 for the update tests, on a thread of its own
// so that it never waits on the thread under test. Its key and self-signed
// certificate are made by openssl when it starts; a client trusts it by
// adding certificate() to its CA certificates. Every call is thread-safe.
class HttpsServer
{
public:
    HttpsServer();
    ~HttpsServer();

    bool start(QString *error);
    QSslCertificate certificate() const { return m_certificate; }
    QUrl url() const; // https://127.0.0.1:<port>/

    void serve(const QString &path, const ServedFile &file);
    void clearFiles();
    // The paths asked for, in order ("/version.dat", ...).
    QStringList requests() const;
    void clearRequests();

private:
    friend class HttpsServerWorker;
    bool lookUp(const QString &path, ServedFile *file);
    void record(const QString &path);

    QTemporaryDir m_dir;
    QSslCertificate m_certificate;
    QThread m_thread;
    HttpsServerWorker *m_worker = nullptr;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QHash<QString, ServedFile> m_files;
    QStringList m_requests;
};

} // namespace tv::test
