#pragma once

#include <QString>

namespace tv::shell {

// The few program-wide values: the song delay that both workspaces' delay
// boxes write and the recording reads, and the line break of prompts.
struct Globals
{
    qint32 glngSongDelayMs = 0;
    QString gstrNewLine = QStringLiteral("\r\n");
};

Globals &globals();

} // namespace tv::shell
