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

// Loads the message window, sets its caption and message and shows it
// modally. An answerer installed for message boxes answers it instead (its
// style then has Msg::MessageWindow set).
void showMessageWindow(QWidget *parent, const QString &caption, const QString &message);

} // namespace tv::shell
