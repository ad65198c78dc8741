#include "HttpsServer.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTimer>

namespace tv::test {

// Lives on the server's thread.
class HttpsServerWorker : public QObject
{
public:
    explicit HttpsServerWorker(HttpsServer *owner)
        : m_owner(owner)
    {
    }

    quint16 listen(const QSslConfiguration &tls)
    {
        m_server = new QSslServer(this);
        m_server->setSslConfiguration(tls);
        connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &HttpsServerWorker::accept);
        return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0;
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            readRequest(socket);
        }
    }

    void readRequest(QTcpSocket *socket)
    {
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (socket->property("answered").toBool() || !request.contains("\r\n\r\n"))
            return;
        socket->setProperty("answered", true);
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        const QString path = QString::fromLatin1(words.value(1));
        m_owner->record(path);
        ServedFile file;
        if (!m_owner->lookUp(path, &file))
            file = ServedFile { "not here", 404 };
        if (file.neverAnswer)
            return;
        const QByteArray reason = file.status == 200 ? "OK" : file.status == 404 ? "Not Found" : "Error";
        socket->write("HTTP/1.1 " + QByteArray::number(file.status) + ' ' + reason + "\r\nContent-Length: "
            + QByteArray::number(file.body.size()) + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n");
        const QByteArray body = file.cutAfter >= 0 ? file.body.left(file.cutAfter) : file.body;
        if (file.trickleBytes <= 0) {
            socket->write(body);
            socket->disconnectFromHost(); // after what is written has gone
            return;
        }
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent, piece = file.trickleBytes] {
            socket->write(body.mid(*sent, piece));
            *sent += piece;
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(file.trickleIntervalMs);
    }

    HttpsServer *m_owner;
    QSslServer *m_server = nullptr;
};

HttpsServer::HttpsServer() = default;

HttpsServer::~HttpsServer()
{
    if (m_worker) {
        QMetaObject::invokeMethod(
            m_worker, [this] { delete m_worker; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
}

bool HttpsServer::start(QString *error)
{
    const QString keyPath = m_dir.filePath(QStringLiteral("key.pem"));
    const QString certPath = m_dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
        { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
            QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
            QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), keyPath, QStringLiteral("-out"), certPath });
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl could not make the certificate: ") + QString::fromLocal8Bit(openssl.readAll())
            + openssl.errorString();
        return false;
    }
    QFile keyFile(keyPath), certFile(certPath);
    if (!keyFile.open(QIODevice::ReadOnly) || !certFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the certificate files cannot be read");
        return false;
    }
    const QSslKey key(&keyFile, QSsl::Ec);
    m_certificate = QSslCertificate(&certFile);
    if (key.isNull() || m_certificate.isNull()) {
        *error = QStringLiteral("the key or certificate made by openssl does not load");
        return false;
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(m_certificate);
    tls.setPrivateKey(key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);

    m_worker = new HttpsServerWorker(this);
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_worker, [this, tls] { m_port = m_worker->listen(tls); }, Qt::BlockingQueuedConnection);
    if (m_port == 0) {
        *error = QStringLiteral("the server cannot listen on 127.0.0.1");
        return false;
    }
    return true;
}

QUrl HttpsServer::url() const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(m_port));
}

void HttpsServer::serve(const QString &path, const ServedFile &file)
{
    QMutexLocker lock(&m_mutex);
    m_files.insert(path, file);
}

void HttpsServer::clearFiles()
{
    QMutexLocker lock(&m_mutex);
    m_files.clear();
}

QStringList HttpsServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void HttpsServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

bool HttpsServer::lookUp(const QString &path, ServedFile *file)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_files.constFind(path);
    if (it == m_files.constEnd())
        return false;
    *file = *it;
    return true;
}

void HttpsServer::record(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    m_requests.append(path);
}

} // namespace tv::test
