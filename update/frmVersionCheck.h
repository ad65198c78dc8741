#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tv::update {

class UpdateSession;

// "Software Update Checkup": asks the update folder for version.dat when it
// becomes active and stays unseen unless a signed, newer release is offered;
// then "Download Update" installs the verified updater over the program file
// and "Cancel" points to the web site. While it downloads, "Cancel" (or
// closing the window) stops the download and deletes what arrived. Closing
// it by any path stores the "Check For Updates" box under "reg"/"versioncheck".
class frmVersionCheck : public QWidget
{
    Q_OBJECT
public:
    explicit frmVersionCheck(QWidget *parent = nullptr);
    ~frmVersionCheck() override;

    // Runs the check, or closes at once when the user switched it off.
    void Form_Activate();
    void VersionCheck();
    void cmdDownload_Click();
    void cmdCancel_Click();
    void Form_Unload();

    QLabel *lblUpdateStatus() const { return m_lblUpdateStatus; }
    QPushButton *cmdDownload() const { return m_cmdDownload; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    QCheckBox *chkCheckForUpdates() const { return m_chkCheckForUpdates; }
    QString strUpdateURL() const { return m_strUpdateURL; }
    QString strExeName() const { return m_strExeName; }
    QString strVersion() const { return m_strVersion; }
    // The status text as the window keeps it, lines joined by CR LF.
    QString statusText() const { return m_statusText; }
    // How much the design's twips are enlarged so that the UI font's texts fit (at least 1).
    double layoutScale() const { return m_layoutScale; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void checked(bool offered);
    void downloaded(int outcome, const QString &detail);
    void setStatus(const QString &text);
    void showCentredOnOwner();
    void layOut(const QString &offer);
    int scaled(int twipsValue) const;

    QLabel *m_lblUpdateStatus;
    QPushButton *m_cmdDownload;
    QPushButton *m_cmdCancel;
    QCheckBox *m_chkCheckForUpdates;
    UpdateSession *m_session;
    QString m_strUpdateURL;
    QString m_strExeName;
    QString m_strVersion;
    QString m_statusText;
    double m_layoutScale = 1.0;
    bool m_unloaded = false;
};

// Makes frmVersionCheck known to the window registry.
void registerVersionCheckForm();
// The check once per start of the program: old leftovers of cut-short
// downloads are deleted; then nothing more when the build names no update
// folder, otherwise the window runs its check in the background.
void startVersionCheck();

} // namespace tv::update
