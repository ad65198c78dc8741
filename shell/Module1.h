#pragma once

#include "PlayerForm.h"

#include <QString>
#include <optional>

// The shared procedures that every window of the recording program leans on.
namespace tv::shell::Module1 {

inline const QString kTitle = QStringLiteral("The Tape Vantrel");
// Used when the setting "TapeVantrel" / "FileType" / "Ext" is absent or empty:
// the classic sound files, then every further format the player decodes
// (FLAC, Ogg Vorbis, Opus, M4A/AAC, WMA), so that no playable file seems
// missing, and the CD images (.cue, .toc, .nrg) that open as track folders;
// CD track files stay last.
inline const QString kDefaultPattern = QStringLiteral(
    "*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;*.midi;*.mid;*.rmi;*.mp3;*.m3u;"
    "*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aac;*.wma;*.cue;*.toc;*.nrg;*cda");

QString fnFormatTime(qint64 seconds);

// Applies the stored file pattern (or the default one) to the form's File1.
void subLoadSupportedFileTypes(PlayerForm &form);
// The pattern last applied by subLoadSupportedFileTypes.
QString currentPattern();

// The length of a CD track file in seconds, measured through the form's
// MCDtime; nothing after a failure, which it has already reported.
std::optional<double> fnCdTrackLength(PlayerForm &form, const QString &fileName);

// which, in any letter case: "all" stops the media player and the CD player,
// "mcdplayer" the CD player alone; every call ends by showing MPlayer.
void subStopPlayers(PlayerForm &form, const QString &which);

} // namespace tv::shell::Module1
