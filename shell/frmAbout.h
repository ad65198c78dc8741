#pragma once

#include <QDialog>

namespace tv::shell {

// The About box: title, version, a short guide, the system-information
// program and the help.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    static QString descriptionText();
    // Known system-information programs, looked for on the PATH in this order.
    static const QStringList &systemInfoPrograms();

    void StartSysInfo();
    void cmdHelp_Click();
};

} // namespace tv::shell
