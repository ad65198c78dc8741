#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace tv::update {

// Where updates come from. The build sets all three; tests set their own.
struct UpdateSite
{
    QUrl folder; // the update folder, ending in a slash; empty: no check is ever made
    QString webSite; // where a user can download a new version by hand
    QByteArray publicKey; // Ed25519, 32 bytes, that signs the updater; empty: no update is installed
};

// The site the program asks: the build's, unless a test has set another.
UpdateSite updateSite();
void setUpdateSite(const UpdateSite &site);
void resetUpdateSite();

// The site as the build was configured (its key given as 64 hex digits).
UpdateSite builtInUpdateSite();

// An address the program may fetch from: HTTPS, or plain HTTP to the
// loopback address only (nothing on the way can change what it reads).
bool isSecureAddress(const QUrl &url);

// The files in the update folder.
inline const QString kVersionFileName = QStringLiteral("version.dat");
inline const QString kUpdaterFileName = QStringLiteral("TapeVantrelUpdate");
inline const QString kSignatureFileName = QStringLiteral("TapeVantrelUpdate.sig");

} // namespace tv::update
