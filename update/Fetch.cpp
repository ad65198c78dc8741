#include "Fetch.h"

#include "UpdateSite.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

#include <algorithm>
#include <limits>

namespace tv::update {

namespace {
struct NetworkSeams
{
    QList<QSslCertificate> extraCaCertificates;
    int timeoutMs = 15000;
    qint64 timeLimitMs = 0;
};
NetworkSeams &seams()
{
    static NetworkSeams s;
    return s;
}

QString statusText(QNetworkReply *reply)
{
    return Fetch::tr("the server answered %1 %2")
        .arg(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
        .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
        .trimmed();
}
} // namespace

void setExtraCaCertificates(const QList<QSslCertificate> &certificates)
{
    seams().extraCaCertificates = certificates;
}

void setFetchTimeoutMs(int ms)
{
    seams().timeoutMs = ms;
}

int fetchTimeoutMs()
{
    return seams().timeoutMs;
}

void setFetchTimeLimitMs(qint64 ms)
{
    seams().timeLimitMs = ms;
}

qint64 fetchTimeLimitMs(qint64 maxBytes)
{
    if (seams().timeLimitMs > 0)
        return seams().timeLimitMs;
    constexpr qint64 kBaseMs = 120 * 1000;
    constexpr qint64 kSlowestBytesPerSecond = 16 * 1024;
    return kBaseMs + std::max<qint64>(maxBytes, 0) / kSlowestBytesPerSecond * 1000;
}

Fetch::Fetch(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, [this] { settle(Result::TimedOut, tr("the server did not answer in time")); });
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        settle(Result::TimedOut,
            tr("the server sent too slowly: the download was stopped after %1 s").arg(QString::number(m_limit.interval() / 1000.0, 'g', 4)));
    });
}

Fetch::~Fetch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QByteArray Fetch::sha256() const
{
    return m_hash.result();
}

void Fetch::start(const QUrl &url, qint64 maxBytes, QIODevice *sink)
{
    m_sink = sink;
    m_maxBytes = maxBytes;
    m_received = 0;
    m_body.clear();
    m_hash.reset();
    m_result = Result::Running;
    m_errorText.clear();
    if (!isSecureAddress(url)) {
        // Reported from the event loop, as every other ending is.
        QTimer::singleShot(
            0, this, [this, url] { settle(Result::Failed, tr("%1 is not a secure (HTTPS) address").arg(url.toDisplayString())); });
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setRawHeader("Cache-Control", "no-cache");
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!seams().extraCaCertificates.isEmpty())
        tls.addCaCertificates(seams().extraCaCertificates);
    request.setSslConfiguration(tls);

    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl &target) {
        if (isSecureAddress(target))
            emit m_reply->redirectAllowed();
        else
            settle(Result::Failed, tr("the server sent the download to %1, which is not a secure address").arg(target.toDisplayString()));
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // An error page is never taken as the file; it ends with the reply.
        if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400)
            return;
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes)
            settle(Result::TooLarge, tr("the file is larger than expected"));
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &Fetch::takeData);
    connect(m_reply, &QNetworkReply::finished, this, &Fetch::onFinished);
    m_idle.start(fetchTimeoutMs());
    m_limit.start(int(std::min<qint64>(fetchTimeLimitMs(maxBytes), std::numeric_limits<int>::max())));
}

void Fetch::cancel()
{
    settle(Result::Cancelled, tr("the download was cancelled"));
}

void Fetch::takeData()
{
    if (m_result != Result::Running || !m_reply)
        return;
    m_idle.start(fetchTimeoutMs()); // the timeout counts from the last byte
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty() || m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400)
        return;
    if (m_received + data.size() > m_maxBytes) {
        settle(Result::TooLarge, tr("the file is larger than expected"));
        return;
    }
    if (m_sink) {
        if (m_sink->write(data) != data.size()) {
            settle(Result::Failed, tr("the file could not be written: %1").arg(m_sink->errorString()));
            return;
        }
    } else {
        m_body.append(data);
    }
    m_hash.addData(data);
    m_received += data.size();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    emit progress(m_received, length.isValid() ? length.toLongLong() : -1);
}

void Fetch::onFinished()
{
    if (m_result != Result::Running || !m_reply)
        return;
    takeData();
    if (m_result != Result::Running)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299)) {
        settle(Result::Failed, statusText(m_reply));
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (m_reply->error() == QNetworkReply::RemoteHostClosedError && length.isValid() && m_received < length.toLongLong()) {
        settle(Result::Failed, tr("the connection closed after %1 of %2 bytes").arg(m_received).arg(length.toLongLong()));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        settle(Result::Failed, m_reply->errorString());
        return;
    }
    settle(Result::Done, QString());
}

void Fetch::settle(Result result, const QString &errorText)
{
    if (m_result != Result::Running)
        return; // one ending only
    m_result = result;
    m_errorText = errorText;
    m_idle.stop();
    m_limit.stop();
    if (m_reply) {
        // Often called from inside the reply's own signals: it hears nothing
        // more from us at once, and is stopped once those signals are done.
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        QTimer::singleShot(0, reply, [reply] {
            reply->abort();
            reply->deleteLater();
        });
    }
    emit finished();
}

} // namespace tv::update
