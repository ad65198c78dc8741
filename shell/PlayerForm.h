#pragma once

class QLabel;
class QWidget;

namespace tv::controls {
class FileListBox;
}
namespace tv::media {
class CdAudioDevice;
class CdControlBar;
class MediaControlBar;
} // namespace tv::media

namespace tv::shell {

// What the shared procedures of Module1 need of a window: its file list, its
// players and the label that names a playing CD track. Both workspaces are
// such windows; the mini player hands over the tape workspace.
class PlayerForm
{
public:
    virtual ~PlayerForm() = default;
    virtual QWidget *formWidget() = 0;
    virtual tv::controls::FileListBox *File1() = 0;
    virtual tv::media::MediaControlBar *MPlayer() = 0;
    virtual tv::media::CdControlBar *MCD() = 0;
    virtual tv::media::CdAudioDevice *MCDtime() = 0;
    virtual QLabel *Label1() = 0;
};

} // namespace tv::shell
