#include "Module1.h"

#include "CdControlBar.h"
#include "FileListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Settings.h"
#include "TimeText.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"

#include <QLabel>

namespace tv::shell::Module1 {

namespace {
QString &patternVariable()
{
    static QString pattern;
    return pattern;
}
} // namespace

QString fnFormatTime(qint64 seconds)
{
    return tv::core::fnFormatTime(seconds);
}

QString currentPattern()
{
    return patternVariable();
}

void subLoadSupportedFileTypes(PlayerForm &form)
{
    const QString stored = getSetting(QStringLiteral("FileType"), QStringLiteral("Ext"));
    const QString pattern = stored.isEmpty() ? kDefaultPattern : stored;
    QString error;
    if (!form.File1()->setPattern(pattern, error)) {
        msgBox(form.formWidget(), QStringLiteral("Error loading supported file types! \r\n380\r\n") + error, Msg::OkOnly, kTitle);
        return;
    }
    patternVariable() = pattern;
}

std::optional<double> fnCdTrackLength(PlayerForm &form, const QString &fileName)
{
    tv::media::CdAudioDevice &device = *form.MCDtime();
    const int track = tv::media::CdTrackFolder::trackNumberOf(fileName);
    const auto failed = [&](const QString &message) -> std::optional<double> {
        msgBox(form.formWidget(), message, Msg::OkOnly, kTitle);
        return std::nullopt;
    };
    device.setFileName(fileName);
    if (!device.command(QStringLiteral("Open")))
        return failed(device.errorMessage());
    if (!device.setTimeFormat(tv::media::CdAudioDevice::Tmsf))
        return failed(device.errorMessage());
    if (track == 0)
        return failed(QStringLiteral("The CD track file \"%1\" has no track number in its name.").arg(fileName));
    device.setTo(quint32(track));
    if (!device.command(QStringLiteral("Seek")) || !device.command(QStringLiteral("Play")))
        return failed(device.errorMessage());
    if (!device.setTimeFormat(tv::media::CdAudioDevice::Milliseconds))
        return failed(device.errorMessage());
    device.setTrack(track);
    const double seconds = double(device.trackLength()) / 1000.0;
    if (!device.command(QStringLiteral("Stop")) || !device.command(QStringLiteral("Close")))
        return failed(device.errorMessage());
    return seconds;
}

void subStopPlayers(PlayerForm &form, const QString &which)
{
    const QString mode = which.toLower();
    if (mode == QLatin1String("all")) {
        tv::media::MediaPlayer *player = form.MPlayer()->player();
        if (player->playState() == tv::media::MediaPlayer::Playing || player->playState() == tv::media::MediaPlayer::Paused)
            player->stop();
    }
    if (mode == QLatin1String("all") || mode == QLatin1String("mcdplayer")) {
        tv::media::CdAudioDevice *cd = form.MCD()->device();
        (void)cd->command(QStringLiteral("Stop"));
        (void)cd->command(QStringLiteral("Close"));
        if (!form.MCD()->isHidden()) {
            form.Label1()->clear();
            form.MCD()->hide();
        }
    }
    form.MPlayer()->show();
}

} // namespace tv::shell::Module1
