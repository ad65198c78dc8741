#include "FileListBox.h"

#include "FileName.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace tv::controls {


FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

void FileListBox::setPath(const QString &folder)
{
    m_path = folder;
    refresh();
}

bool FileListBox::setPattern(const QString &pattern, QString &error)
{
    // An empty element (as a trailing ";" leaves) matches nothing and is
    // passed over; a pattern with no element at all, or one naming a folder,
    // is refused.
    const QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    bool any = false;
    for (const QString &p : parts) {
        if (p.contains(QLatin1Char('/'))) {
            any = false;
            break;
        }
        any = any || !p.trimmed().isEmpty();
    }
    if (!any) {
        error = QStringLiteral("Invalid property value: \"%1\" is not a file pattern.").arg(pattern);
        return false;
    }
    m_pattern = pattern;
    refresh();
    return true;
}

void FileListBox::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;
    addItems(matchingFiles(m_path, m_pattern));
}

QStringList FileListBox::matchingFiles(const QString &folder, const QString &pattern)
{
    QList<QRegularExpression> filters;
    for (const QString &p : pattern.split(QLatin1Char(';'))) {
        if (!p.trimmed().isEmpty())
            filters << QRegularExpression::fromWildcard(p.trimmed(), Qt::CaseInsensitive);
    }
    // Listed by the names' bytes (see FileName.h): a name that is not UTF-8
    // is listed, and opened later, as the file system holds it.
    QStringList names;
    for (const tv::core::FolderEntry &e : tv::core::folderEntries(folder)) {
        if (!e.isFile || ::access(e.path.constData(), R_OK) != 0)
            continue;
        // Patterns are matched on valid text (a lone escape would fail every match).
        const QString text = tv::media::readableFileName(e.name);
        const bool matches = std::any_of(filters.cbegin(), filters.cend(), [&text](const QRegularExpression &f) { return f.match(text).hasMatch(); });
        if (matches)
            names << e.name;
    }
    return names;
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

QString FileListBox::fullPath(const QString &name) const
{
    return m_path.endsWith(QLatin1Char('/')) ? m_path + name : m_path + QLatin1Char('/') + name;
}

QStringList FileListBox::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *FileListBox::mimeData(const QList<QListWidgetItem *> &items) const
{
    QList<QUrl> urls;
    for (const QListWidgetItem *item : items)
        urls << tv::media::urlOfLocalFile(fullPath(item->text()));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

} // namespace tv::controls
