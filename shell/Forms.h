#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace tv::shell {

// Every window of the program exists at most once, is made on first use and
// is reached by its name ("frmMenu", "MP3DragDrop", ...). Areas register how
// to make their windows; closing a window with WA_DeleteOnClose ends it, and
// the next use makes a fresh one.
namespace Forms {

using Factory = std::function<QWidget *()>;

void registerForm(const QString &name, Factory factory);
// The window, made now if it does not exist (null for an unknown name).
QWidget *get(const QString &name);
// The window if it exists, without making it.
QWidget *find(const QString &name);
// Deletes every window still alive; the program does this as it ends.
void destroyAll();
template <typename T> T *get(const QString &name) { return qobject_cast<T *>(get(name)); }
template <typename T> T *find(const QString &name) { return qobject_cast<T *>(find(name)); }

} // namespace Forms

} // namespace tv::shell
