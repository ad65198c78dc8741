#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace tv::puzzle {

// Every message box of the game goes through here, with the arguments the
// game gives it. A test installs an answerer that records each box instead of
// showing it, so no test waits on a modal box.
struct Message
{
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
};
using MessageAnswerer = std::function<void(const Message &)>;

void showMessage(QWidget *parent, const Message &message);
void setMessageAnswerer(MessageAnswerer answerer); // an empty one restores real boxes

} // namespace tv::puzzle
