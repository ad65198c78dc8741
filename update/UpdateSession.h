#pragma once

#include "ReleaseManifest.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>

namespace tv::update {

class Fetch;
class ProgramReplacement;

// The update exchange without a window, on the event loop of its thread.
// check() fetches version.dat from the update folder into the user's cache
// folder and offers an update only when its manifest is signed by the
// build's key and names a newer version for this target; download() fetches
// the updater and its detached signature, verifies both against the
// manifest and the key, and only then replaces the program file in one
// rename. Nothing in here waits for the network or the disk.
class UpdateSession : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Installed, // the program file is the new version
        ReadOnlyFolder, // the program cannot change its folder: nothing was fetched
        NotVerified, // fetched but not the signed updater: deleted, program untouched
        Failed, // not fetched or not written: deleted, program untouched
        Cancelled,
    };
    Q_ENUM(Outcome)

    explicit UpdateSession(QObject *parent = nullptr);
    ~UpdateSession() override;

    // Any step that fails ends the check with nothing offered.
    void check();
    // Why the last check offered nothing (None when it offered).
    ManifestFault lastFault() const { return m_fault; }
    const ReleaseManifest &manifest() const { return m_manifest; }

    // Only after check() offered an update.
    void download();
    // Stops a download and deletes what arrived; an install under way
    // (verified, being put in place) finishes.
    void cancel();
    bool isDownloading() const;
    bool isInstalling() const { return m_installer != nullptr; }
    // For a window that goes away: a download stops; an install finishes on
    // its own thread and the session then deletes itself, so the window's
    // thread never waits for the disk.
    void release();

    // version.dat as last fetched, in the user's cache folder.
    static QString versionFilePath();

signals:
    void checked(bool offered);
    void downloadProgress(qint64 received, qint64 total);
    void installing(); // verified: from here on it is put in place, and cannot be stopped
    void downloaded(tv::update::UpdateSession::Outcome outcome, const QString &detail);

private:
    void versionFileFetched();
    void signatureFetched();
    void updaterFetched();
    void installVerified();
    void finishDownload(Outcome outcome, const QString &detail);

    // A fetch ends inside its own signals, so the finished one is deleted later.
    struct DeleteLater
    {
        void operator()(QObject *object) const { object->deleteLater(); }
    };
    using FetchPtr = std::unique_ptr<Fetch, DeleteLater>;
    void startFetch(const QString &name, qint64 maxBytes, void (UpdateSession::*done)(), QIODevice *sink = nullptr);

    ReleaseManifest m_manifest;
    ManifestFault m_fault = ManifestFault::Malformed;
    FetchPtr m_fetch;
    std::unique_ptr<ProgramReplacement> m_replacement;
    QByteArray m_signature;
    QByteArray m_publicKey;
    QThread *m_installer = nullptr;
    bool m_cancelled = false;
};

} // namespace tv::update
