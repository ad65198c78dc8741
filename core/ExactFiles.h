#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace tv::core {

// Files reached by their names' exact bytes (NameBytes.h). Qt's own file
// classes turn a byte that is not UTF-8 into "?", and so would open, replace
// or delete another file of a name like it; these never do.

// The program's command-line words, each kept byte for byte as a name.
QStringList argumentNames(int argc, char **argv);

// The system's call on the name's bytes; -1 and errno on failure.
int openExact(const QString &name, int flags, unsigned mode = 0666);
// The whole file, refused past maxBytes; false with the reason.
bool readExact(const QString &name, qint64 maxBytes, QByteArray &bytes, QString &error);
// Deletes the file; an empty text, or the system's reason.
QString removeExact(const QString &name);
// Moves the file to the user's trash (the desktop's home trash, with the
// record that lets the desktop put it back) when it lies on the same file
// system; false when it cannot, leaving the file where it was.
bool trashExact(const QString &name);

// A file that replaces target only once it is written whole: the bytes go to
// a new file beside it, renamed over target by commit(). Until then target
// is untouched; a replacement not committed is deleted.
class ReplacingFile
{
public:
    explicit ReplacingFile(const QString &target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    bool open();
    QFile &file() { return m_file; }
    // Flushes, gives it the permissions (the target's when it exists, else
    // a new file's) and renames it over the target.
    bool commit(QFile::Permissions permissions = {});
    void discard();
    QString errorString() const { return m_error; }

private:
    QString m_target;
    QByteArray m_temporary; // the temporary file's path, while there is one
    QFile m_file;
    QString m_error;
};

} // namespace tv::core
