#include "FileListBox.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

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
    const QStringList parts = pattern.split(QLatin1Char(';'));
    for (const QString &p : parts) {
        if (p.trimmed().isEmpty() || p.contains(QLatin1Char('/'))) {
            error = QStringLiteral("Invalid property value: \"%1\" is not a file pattern.").arg(pattern);
            return false;
        }
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
    QStringList filters;
    for (const QString &p : m_pattern.split(QLatin1Char(';')))
        filters << p.trimmed();
    const QStringList names = QDir(m_path).entryList(filters, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    addItems(names);
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
        urls << QUrl::fromLocalFile(fullPath(item->text()));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

} // namespace tv::controls
