#include "MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <cstdio>

namespace tv::shell {

namespace {

MsgBoxAnswerer &answerer()
{
    static MsgBoxAnswerer instance;
    return instance;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case Msg::Critical: return QMessageBox::Critical;
    case Msg::Question: return QMessageBox::Question;
    case Msg::Exclamation: return QMessageBox::Warning;
    case Msg::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

bool hasMsgBoxAnswerer()
{
    return bool(answerer());
}

void setMsgBoxAnswerer(MsgBoxAnswerer a)
{
    answerer() = std::move(a);
}

int msgBox(QWidget *parent, const QString &text, int style, const QString &title)
{
    const MsgBoxCall call{text, style, title.isEmpty() ? kApplicationTitle : title};
    if (answerer())
        return answerer()(call);
    // For tests that run the whole program in a process of its own: the box
    // goes to standard error and is answered with its first button.
    if (qEnvironmentVariableIsSet("TV_MSGBOX_TO_STDERR")) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(call.title), qPrintable(QString(text).replace(QLatin1Char('\r'), QString())));
        return (style & 0x0F) == Msg::YesNo || (style & 0x0F) == Msg::YesNoCancel ? Msg::Yes : Msg::Ok;
    }

    QString shown = text;
    shown.replace(QRegularExpression(QStringLiteral("\r\n|\n\r|\r")), QStringLiteral("\n"));
    QMessageBox box(iconOf(style), call.title, shown, QMessageBox::NoButton, parent);
    switch (style & 0x0F) {
    case Msg::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Msg::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Msg::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel); // closing the box keeps everything as it was
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return Msg::Cancel;
    case QMessageBox::Yes: return Msg::Yes;
    case QMessageBox::No: return Msg::No;
    default: return Msg::Ok;
    }
}

} // namespace tv::shell
