#pragma once

#include <QDialog>

class QLabel;

namespace tv::shell {

// A plain modal message window: the caller sets its title and its one-line
// message, then shows it modally; OK closes it.
class frmMsgBox : public QDialog
{
    Q_OBJECT
public:
    explicit frmMsgBox(QWidget *parent = nullptr);
    QLabel *lblMsgBox() const { return m_lblMsgBox; }

private:
    QLabel *m_lblMsgBox;
};

} // namespace tv::shell
