#include "UpdateSession.h"

#include "Fetch.h"
#include "ProgramFile.h"
#include "Signature.h"
#include "UpdateSite.h"
#include "VersionFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <memory>

namespace tv::update {

UpdateSession::UpdateSession(QObject *parent)
    : QObject(parent)
{
}

UpdateSession::~UpdateSession()
{
    m_fetch.reset(); // before the file it may be writing to
    if (m_installer) {
        m_installer->wait(); // the rename is never left half done
        delete m_installer;
    }
}

void UpdateSession::startFetch(const QString &name, qint64 maxBytes, void (UpdateSession::*done)(), QIODevice *sink)
{
    m_fetch.reset(new Fetch);
    connect(m_fetch.get(), &Fetch::finished, this, done);
    m_fetch->start(updateSite().folder.resolved(QUrl(name)), maxBytes, sink);
}

QString UpdateSession::versionFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/TapeVantrel/") + kVersionFileName;
}

bool UpdateSession::isDownloading() const
{
    return m_replacement != nullptr;
}

void UpdateSession::check()
{
    m_manifest = {};
    m_fault = ManifestFault::Malformed;
    // An earlier version.dat never stands in for this check's answer.
    QFile::remove(versionFilePath());
    const UpdateSite site = updateSite();
    if (site.folder.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { emit checked(false); }, Qt::QueuedConnection);
        return;
    }
    startFetch(kVersionFileName, kMaxVersionFileBytes, &UpdateSession::versionFileFetched);
}

void UpdateSession::versionFileFetched()
{
    const FetchPtr fetch = std::move(m_fetch);
    if (fetch->result() != Fetch::Result::Done) {
        emit checked(false);
        return;
    }
    // Kept where the user's caches go; a cache that cannot be written does
    // not stop the check.
    const QString path = versionFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile stored(path);
    if (stored.open(QIODevice::WriteOnly) && stored.write(fetch->body()) == fetch->body().size())
        stored.commit();
    const ManifestReading reading = readVersionFile(fetch->body(), updateSite().publicKey, runningVersion());
    m_fault = reading.fault;
    m_manifest = reading.manifest;
    emit checked(m_fault == ManifestFault::None);
}

void UpdateSession::download()
{
    if (m_replacement || m_fault != ManifestFault::None)
        return;
    m_cancelled = false;
    // The key that signed the manifest checks the updater too.
    m_publicKey = updateSite().publicKey;
    const QString program = programFile();
    if (!isProgramFolderWritable(program)) {
        const QString folder = QDir::toNativeSeparators(QFileInfo(program).absolutePath());
        QMetaObject::invokeMethod(
            this, [this, folder] { emit downloaded(Outcome::ReadOnlyFolder, folder); }, Qt::QueuedConnection);
        return;
    }
    m_replacement = std::make_unique<ProgramReplacement>(program);
    startFetch(kSignatureFileName, kSignatureBytes, &UpdateSession::signatureFetched);
}

void UpdateSession::signatureFetched()
{
    const FetchPtr fetch = std::move(m_fetch);
    if (fetch->result() == Fetch::Result::Cancelled) {
        finishDownload(Outcome::Cancelled, QString());
        return;
    }
    if (fetch->result() != Fetch::Result::Done || fetch->body().size() != kSignatureBytes) {
        const QString why
            = fetch->result() == Fetch::Result::Done ? tr("%1 is not a signature.").arg(kSignatureFileName) : fetch->errorText();
        finishDownload(Outcome::Failed, tr("%1: %2").arg(kSignatureFileName, why));
        return;
    }
    m_signature = fetch->body();
    if (!m_replacement->open()) {
        finishDownload(Outcome::Failed, m_replacement->errorText());
        return;
    }
    startFetch(kUpdaterFileName, m_manifest.updaterSize, &UpdateSession::updaterFetched, &m_replacement->file());
    connect(m_fetch.get(), &Fetch::progress, this,
        [this](qint64 received, qint64) { emit downloadProgress(received, m_manifest.updaterSize); });
}

void UpdateSession::updaterFetched()
{
    const FetchPtr fetch = std::move(m_fetch);
    switch (fetch->result()) {
    case Fetch::Result::Done:
        break;
    case Fetch::Result::Cancelled:
        finishDownload(Outcome::Cancelled, QString());
        return;
    case Fetch::Result::TooLarge:
        finishDownload(Outcome::NotVerified, tr("The updater is larger than version.dat says (%1 bytes).").arg(m_manifest.updaterSize));
        return;
    default:
        finishDownload(Outcome::Failed, fetch->errorText());
        return;
    }
    if (fetch->received() != m_manifest.updaterSize) {
        finishDownload(Outcome::NotVerified,
            tr("The download was cut short: %1 of %2 bytes arrived.").arg(fetch->received()).arg(m_manifest.updaterSize));
        return;
    }
    if (fetch->sha256() != m_manifest.updaterSha256) {
        finishDownload(Outcome::NotVerified, tr("The updater's SHA-256 is not the one version.dat gives."));
        return;
    }
    installVerified();
}

void UpdateSession::installVerified()
{
    // Reading the whole updater for its signature and writing it to disk take
    // time that grows with its size: a thread of their own does both, so the
    // window keeps answering. Nothing else touches the replacement meanwhile.
    struct Result
    {
        bool written = false;
        bool signedByUs = false;
        bool committed = false;
        QString error;
    };
    auto result = std::make_shared<Result>();
    m_installer = QThread::create([result, replacement = m_replacement.get(), signature = m_signature, key = m_publicKey] {
        QFile &file = replacement->file();
        result->written = file.flush();
        if (!result->written) {
            result->error = file.errorString();
            return;
        }
        uchar *bytes = file.map(0, file.size());
        result->signedByUs = bytes && verifyDetached(reinterpret_cast<const char *>(bytes), file.size(), signature, key);
        if (bytes)
            file.unmap(bytes);
        if (!result->signedByUs)
            return;
        result->committed = replacement->commit();
        if (!result->committed)
            result->error = replacement->errorText();
    });
    connect(m_installer, &QThread::finished, this, [this, result] {
        m_installer->wait();
        delete m_installer;
        m_installer = nullptr;
        if (!result->written)
            finishDownload(Outcome::Failed, result->error);
        else if (!result->signedByUs)
            finishDownload(Outcome::NotVerified, tr("The updater's signature does not match this software's key."));
        else if (!result->committed)
            finishDownload(Outcome::Failed, result->error);
        else
            finishDownload(m_cancelled ? Outcome::Cancelled : Outcome::Installed, QString());
    });
    m_installer->start();
    emit installing();
}

void UpdateSession::cancel()
{
    if (m_installer) {
        // Verified and being put in place: that finishes, unreported.
        m_cancelled = true;
        return;
    }
    if (m_fetch)
        m_fetch->cancel(); // its ending reports Cancelled
    else if (m_replacement)
        finishDownload(Outcome::Cancelled, QString());
}

void UpdateSession::release()
{
    if (!m_installer) {
        cancel();
        return;
    }
    setParent(nullptr);
    connect(this, &UpdateSession::downloaded, this, &QObject::deleteLater);
    // A program that ends meanwhile still lets the rename finish.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_installer)
                m_installer->wait();
        });
}

void UpdateSession::finishDownload(Outcome outcome, const QString &detail)
{
    m_replacement.reset(); // an uncommitted replacement is deleted here
    m_signature.clear();
    emit downloaded(outcome, detail);
}

} // namespace tv::update
