#pragma once

#include <QListWidget>

namespace tv::controls {

// The files of one folder that match a pattern ("*.wav;*.mp3;*cda": patterns
// separated by semicolons), sorted by name. Several files can be selected
// (Shift and Ctrl); dragging the selected files starts by itself and carries
// them as file URLs, as a file manager's would.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &folder);

    QString pattern() const { return m_pattern; }
    // False (and the pattern unchanged) for a pattern the list cannot use;
    // error then holds the reason.
    bool setPattern(const QString &pattern, QString &error);

    void refresh();
    // The current file's name, empty when there is none.
    QString fileName() const;
    // Folder and name joined with one separator (none added after a root).
    QString fullPath(const QString &name) const;
    // The readable files of folder whose names match pattern, sorted by name
    // without regard to case; names as FileName.h keeps them.
    static QStringList matchingFiles(const QString &folder, const QString &pattern);

protected:
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    QStringList mimeTypes() const override;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace tv::controls
