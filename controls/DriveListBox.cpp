#include "DriveListBox.h"

#include "cd/CdDisc.h"
#include "cd/CdTrackFolder.h"

#include <QSet>
#include <QStorageInfo>

namespace tv::controls {

namespace {

bool isRealFileSystem(const QStorageInfo &volume)
{
    static const QSet<QByteArray> kPseudo = {"proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs",
                                             "pstore", "bpf", "tracefs", "debugfs", "configfs", "fusectl", "mqueue", "hugetlbfs",
                                             "autofs", "binfmt_misc", "efivarfs", "squashfs", "nsfs", "ramfs", "rpc_pipefs", "overlay"};
    if (volume.isRoot())
        return true;
    return volume.isValid() && volume.isReady() && !kPseudo.contains(volume.fileSystemType());
}

} // namespace

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    refreshDrives();
}

void DriveListBox::addDrive(const QString &label, const QString &root)
{
    addItem(label, root);
}

void DriveListBox::refreshDrives()
{
    const QString current = drive();
    const QSignalBlocker quiet(this);
    clear();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!isRealFileSystem(volume))
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.isRoot() ? QStringLiteral("/") : volume.displayName();
        addDrive(name == root ? root : QStringLiteral("%1 (%2)").arg(name, root), root);
    }
    // The root file system is always a drive, even where it is no mount
    // point of its own (a chroot, some containers).
    if (findData(QStringLiteral("/")) < 0)
        insertItem(0, QStringLiteral("/"), QStringLiteral("/"));
    for (const QString &device : tv::media::CdDisc::drives()) {
        QString error;
        const QString folder = tv::media::CdTrackFolder::materialise(device, error);
        if (!folder.isEmpty())
            addDrive(QStringLiteral("Audio CD (%1)").arg(device), folder);
    }
    if (!current.isEmpty())
        setDrive(current);
}

bool DriveListBox::setDrive(const QString &root)
{
    const int index = findData(root);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

QString DriveListBox::driveOf(const QString &path) const
{
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool inside = path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (inside && root.size() > best.size())
            best = root;
    }
    return best;
}

} // namespace tv::controls
