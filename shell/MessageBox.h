#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv::shell {

// Message boxes as the windows ask for them: a text, one number made of a
// button set and an icon, and a title (an empty title gives the program's).
namespace Msg {
enum : int {
    OkOnly = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    MessageWindow = 0x10000, // the program's own message window, not a message box
};
enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
} // namespace Msg

inline const QString kApplicationTitle = QStringLiteral("Cassette/MiniDisc Vantrel");

struct MsgBoxCall
{
    QString text;
    int style = Msg::OkOnly;
    QString title;
};

// Shows the box modally and returns the button pressed. Texts break lines
// with CR LF (or a lone CR or LF); the box shows each as one line break.
int msgBox(QWidget *parent, const QString &text, int style = Msg::OkOnly, const QString &title = QString());

// Tests answer boxes instead of showing them: the answerer sees each call
// (with the title already defaulted) and returns the button to press.
using MsgBoxAnswerer = std::function<int(const MsgBoxCall &)>;
void setMsgBoxAnswerer(MsgBoxAnswerer answerer);
bool hasMsgBoxAnswerer();

} // namespace tv::shell
