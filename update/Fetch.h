#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

namespace tv::update {

// Seams of the network. Tests trust the certificate of their own server on
// top of the system's, and shorten the time limits.
void setExtraCaCertificates(const QList<QSslCertificate> &certificates);
void setFetchTimeoutMs(int ms);
int fetchTimeoutMs(); // 15000 unless a test set another
// The longest a whole fetch may take: two minutes, plus a second for every
// 16 KiB it may bring, unless a test set a fixed limit (0: back to that).
void setFetchTimeLimitMs(qint64 ms);
qint64 fetchTimeLimitMs(qint64 maxBytes);

// One GET, run by the event loop of the thread that made the object; nothing
// here ever waits. Only secure addresses are fetched (isSecureAddress), and
// a redirect only to another secure one. The fetch gives up when no byte has
// arrived for fetchTimeoutMs(), when it has run for fetchTimeLimitMs() (a
// server that trickles never keeps it going for good) and when the body
// grows beyond maxBytes.
class Fetch : public QObject
{
    Q_OBJECT
public:
    enum class Result { Running, Done, Failed, TimedOut, TooLarge, Cancelled };

    explicit Fetch(QObject *parent = nullptr);
    ~Fetch() override;

    // The body goes to sink (open for writing) when given, else it is kept
    // in memory. finished() follows exactly once, also for an address that
    // is refused at once.
    void start(const QUrl &url, qint64 maxBytes, QIODevice *sink = nullptr);
    void cancel();

    Result result() const { return m_result; }
    QString errorText() const { return m_errorText; } // why it failed, for a message
    QByteArray body() const { return m_body; } // without a sink only
    qint64 received() const { return m_received; } // bytes of the body taken
    QByteArray sha256() const; // of the bytes taken

signals:
    void progress(qint64 received, qint64 total); // total -1 when unknown
    void finished();

private:
    void takeData();
    void onFinished();
    void settle(Result result, const QString &errorText);

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QIODevice *m_sink = nullptr;
    QTimer m_idle;
    QTimer m_limit;
    QCryptographicHash m_hash { QCryptographicHash::Sha256 };
    QByteArray m_body;
    qint64 m_maxBytes = 0;
    qint64 m_received = 0;
    Result m_result = Result::Running;
    QString m_errorText;
};

} // namespace tv::update
