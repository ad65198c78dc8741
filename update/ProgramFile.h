#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace tv::update {

// The program file an update replaces: the running program's own, unless a
// test has set another (tests replace a copy, never themselves).
QString programFile();
void setProgramFile(const QString &path); // empty: the running program's again

// Whether the program may replace its file: the file exists and its folder
// can be written. A folder that nobody may write to (mode without any write
// bit, as a package manager installs) counts as read-only even for the
// administrator, whom the system would let write anyway.
bool isProgramFolderWritable(const QString &programFile);

// Deletes what downloads cut short by a crash left beside the program file
// (its replacements, ".<name>.update-XXXXXX") once they are older than a
// day, so that a download running in another copy of the program is never
// touched. Returns how many were deleted.
int removeUpdateLeftovers(const QString &programFile, const QDateTime &now);

// A new program file written beside the old one and put in its place by one
// rename, so the old file stays whole until the instant it is replaced. A
// replacement that is not committed is deleted.
class ProgramReplacement
{
public:
    explicit ProgramReplacement(const QString &programFile);
    ~ProgramReplacement();
    ProgramReplacement(const ProgramReplacement &) = delete;
    ProgramReplacement &operator=(const ProgramReplacement &) = delete;

    // Makes the temporary file in the program's folder, open for writing.
    bool open();
    QFile &file() { return *m_file; }
    QString temporaryPath() const;
    // Writes it to disk, gives it the program file's permissions (and makes
    // it executable) and renames it over the program file.
    bool commit();
    void discard();
    QString errorText() const { return m_errorText; }

private:
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_errorText;
};

} // namespace tv::update
