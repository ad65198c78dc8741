#pragma once

#include "VersionFile.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>

namespace tv::update {

class Fetch;
class ProgramReplacement;

// The update exchange without a window, on the event loop of its thread.
// check() fetches version.dat from the update folder into the user's cache
// folder and decides whether it offers an update; download() fetches the
// updater and its detached signature, verifies both against version.dat
// and the build's key, and only then replaces the program file in one
// rename. Nothing in here waits for the network.
class UpdateSession : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Installed, // the program file is the new version
        NoKey, // the build has no key: nothing was fetched
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
    const VersionFile &versionFile() const { return m_versionFile; }

    // Only after check() offered an update.
    void download();
    void cancel();
    bool isDownloading() const;

    // version.dat as last fetched, in the user's cache folder.
    static QString versionFilePath();

signals:
    void checked(bool offered);
    void downloadProgress(qint64 received, qint64 total);
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

    VersionFile m_versionFile;
    FetchPtr m_fetch;
    std::unique_ptr<ProgramReplacement> m_replacement;
    QByteArray m_signature;
    QByteArray m_publicKey;
    QThread *m_installer = nullptr;
    bool m_cancelled = false;
};

// The largest updater the program takes in (version.dat names its size).
inline constexpr qint64 kMaxUpdaterBytes = 512LL * 1024 * 1024;

} // namespace tv::update
