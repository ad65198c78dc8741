#pragma once

#include <QComboBox>

namespace tv::controls {

// The drives: every mounted volume of a real file system (its root is the
// volume's mount point, "/" for the root file system) and every audio CD,
// shown as the folder of its track files. The drive's root is the item data.
class DriveListBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // Re-reads the drives, keeping the current one where it still exists.
    void refreshDrives();
    void addDrive(const QString &label, const QString &root);
    QString drive() const { return currentData().toString(); }
    // Makes the drive whose root is root the current one (false when absent).
    bool setDrive(const QString &root);
    // The root of the drive that holds path (the longest matching root).
    QString driveOf(const QString &path) const;
};

} // namespace tv::controls
