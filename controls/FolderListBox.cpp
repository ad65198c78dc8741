#include "FolderListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace tv::controls {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

FolderListBox::FolderListBox(QWidget *parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        QString error;
        setPath(item->data(kPathRole).toString(), error);
    });
}

bool FolderListBox::setPath(const QString &folder, QString &error)
{
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir()) {
        error = QStringLiteral("Path not found: %1").arg(folder);
        return false;
    }
    if (!info.isReadable() || !QDir(folder).isReadable()) {
        error = QStringLiteral("Device unavailable: %1 cannot be read").arg(folder);
        return false;
    }
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
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
    QStringList chain;
    for (QDir d(m_path);; ) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &p : chain) {
        const QString name = depth == 0 ? p : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, p);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QFileInfoList subfolders = QDir(m_path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : subfolders) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub.fileName(), this);
        item->setData(kPathRole, sub.absoluteFilePath());
    }
}

} // namespace tv::controls
