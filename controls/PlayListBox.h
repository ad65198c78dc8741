#pragma once

#include <QListWidget>

namespace tv::controls {

// A playlist: one Song entry per line, several lines selectable, and files
// dropped on it from the file list or any program reported as local paths.
// Drops that carry no files do nothing.
class PlayListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit PlayListBox(QWidget *parent = nullptr);

signals:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace tv::controls
