#include "PuzzleMessage.h"

namespace tv::puzzle {

namespace {
MessageAnswerer &answerer()
{
    static MessageAnswerer instance;
    return instance;
}
} // namespace

void setMessageAnswerer(MessageAnswerer a)
{
    answerer() = std::move(a);
}

void showMessage(QWidget *parent, const Message &message)
{
    if (answerer()) {
        answerer()(message);
        return;
    }
    // The texts break their lines with a lone carriage return; a box shows
    // that as the line break it is meant to be.
    QString shown = message.text;
    shown.replace(QChar(13), QChar(10));
    QMessageBox box(message.icon, message.title, shown, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tv::puzzle
