#pragma once

#include <QListWidget>

namespace tv::controls {

// A folder list: the folders from the root down to the current one, then the
// current folder's subfolders, indented like a tree. Double-clicking a folder
// opens it. pathChanged() follows every change of the current folder.
class FolderListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // False (and the folder unchanged) when folder cannot be opened; error
    // then holds the reason.
    bool setPath(const QString &folder, QString &error);
    void refresh();

signals:
    void pathChanged();

private:
    QString m_path;
};

} // namespace tv::controls
