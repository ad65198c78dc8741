#include "FolderListBox.h"

#include "FileName.h"
#include "cd/CdTrackFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace tv::controls {

using tv::media::fileNameBytes;
using tv::media::fileNameFromBytes;

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// The subfolders of folder by their names' bytes (see FileName.h), sorted
// by name without regard to case.
QStringList subfolderNames(const QString &folder)
{
    QStringList names;
    for (const tv::core::FolderEntry &e : tv::core::folderEntries(folder)) {
        if (e.isFolder)
            names << e.name;
    }
    return names;
}

} // namespace

FolderListBox::FolderListBox(QWidget *parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QString error;
        setPath(item->data(kPathRole).toString(), error);
    });
}

bool FolderListBox::setPath(const QString &folder, QString &error)
{
    const QString absolute = QDir::isAbsolutePath(folder) ? folder : QDir::currentPath() + QLatin1Char('/') + folder;
    const QByteArray bytes = fileNameBytes(absolute);
    struct stat info = {};
    if (::stat(bytes.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = QStringLiteral("Path not found: %1").arg(folder);
        return false;
    }
    if (::access(bytes.constData(), R_OK | X_OK) != 0) {
        error = QStringLiteral("Device unavailable: %1 cannot be read").arg(folder);
        return false;
    }
    const QString clean = QDir::cleanPath(absolute);
    const bool changed = clean != m_path;
    m_path = clean;
    refresh();
    if (changed)
        emit pathChanged();
    return true;
}

void FolderListBox::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The track folder of a CD image is shown where the user opened it: as
    // the image inside the folder that holds it, so that going up leads back
    // there and not into the cache.
    const QString image = tv::media::CdTrackFolder::imageOf(m_path);
    const QString shown = image.isEmpty() ? m_path : QDir::cleanPath(QFileInfo(image).absoluteFilePath());
    // The folders from the root down, taken from the path's text (absolute
    // and clean), so that no name is converted on the way.
    QStringList chain{QStringLiteral("/")};
    QString walked;
    for (const QString &part : shown.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked += QLatin1Char('/') + part;
        chain << walked;
    }
    int depth = 0;
    for (const QString &p : chain) {
        const QString name = depth == 0 ? p : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, depth == chain.size() - 1 ? m_path : p);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString &sub : subfolderNames(m_path)) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub, this);
        item->setData(kPathRole, m_path.endsWith(QLatin1Char('/')) ? m_path + sub : m_path + QLatin1Char('/') + sub);
    }
}

} // namespace tv::controls
