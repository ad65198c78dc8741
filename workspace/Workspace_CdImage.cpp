// CD images in the drive browser: a .cue, .toc or .nrg file of the file list
// opens as the folder of its tracks (Track01.cda ...), as an audio CD in a
// drive appears, so that everything done with a CD's tracks works on it.
#include "Workspace.h"

#include "FileListBox.h"
#include "FolderListBox.h"
#include "MessageBox.h"
#include "cd/CdTrackFolder.h"

#include <QFileInfo>
#include <QGuiApplication>

namespace tv::workspace {

bool Workspace::isCdImageName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("cue") || suffix == QLatin1String("toc") || suffix == QLatin1String("nrg");
}

bool Workspace::File1_OpenCdImage()
{
    const QString name = m_File1->fileName();
    if (name.isEmpty() || !isCdImageName(name))
        return false;
    subOpenCdImage(m_File1->fullPath(name));
    return true;
}

bool Workspace::subOpenCdImage(const QString &imagePath)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const QString folder = tv::media::CdTrackFolder::materialise(imagePath, error);
    QGuiApplication::restoreOverrideCursor();
    // A broken image leaves the browser where it was; nothing is added.
    if (folder.isEmpty() || !m_Dir1->setPath(folder, error)) {
        tv::shell::msgBox(this, error, tv::shell::Msg::Exclamation, m_profile.messageTitle);
        return false;
    }
    return true;
}

} // namespace tv::workspace
