#pragma once

#include "AudioSource.h"
#include "SongLevels.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QAction;

namespace tv::levels {
class LevelsQueue;
}

namespace tv::workspace {

class LevelToneWindow;
class Workspace;

// The level tools of a workspace, at the end of its playlist menu: loudness
// in the entries' tool tips, level matching while recording, the level
// check, the calibration tone and rendering a side to a file. Everything is
// off until the user turns it on.
class WorkspaceLevels : public QObject
{
    Q_OBJECT
public:
    explicit WorkspaceLevels(Workspace &workspace);
    ~WorkspaceLevels() override;

    // The gains of the side's songs for a recording: empty while level
    // matching is off (the songs then play exactly as decoded).
    QList<double> recordingGains(int side);

    void mnuLoudnessToolTips_Click(bool on);
    void mnuLevelMatching_Click(bool on);
    void mnuLevelCheck_Click();
    void mnuCalibrationTone_Click();
    void mnuRenderSide_Click();
    void mnuDeckCheck_Click();
    void mnuVerifySide_Click();
    // Stops the calibration tone or the level check, when one plays.
    void stopLevelTool();
    bool isLevelToolPlaying() const { return m_toolSerial != 0; }

    // Settings (section "Levels"): the tone's level and the matching target.
    static double toneLevelDbfs();
    static std::optional<double> matchingTargetLufs();

private:
    void buildMenu();
    void updateMenu();
    void watchPlaylist(int side);
    void measureInBackground(int side, int first, int last);
    void showLevels(const QString &path, const tv::levels::SongLevels &levels);
    QStringList sidePaths(int side) const;
    int sideOnDisplay() const;
    // The side's songs' levels, measuring those not known yet with a
    // progress window (title, label); nothing when the user cancelled.
    // errors gets a sentence for each song that could not be measured.
    std::optional<QList<std::optional<tv::levels::SongLevels>>> sideLevels(int side, const QString &title, const QString &label,
                                                                           QStringList &errors);
    void playTool(std::function<std::unique_ptr<tv::media::AudioSource>(QString &)> open, const QString &title,
                  const QString &text);
    void onToolEnded(quint64 serial);

    Workspace &m_ws;
    tv::levels::LevelsQueue *m_queue = nullptr;
    LevelToneWindow *m_window = nullptr;
    quint64 m_toolSerial = 0;
    QAction *m_mnuLoudnessToolTips = nullptr;
    QAction *m_mnuLevelMatching = nullptr;
    QAction *m_mnuLevelCheck = nullptr;
    QAction *m_mnuCalibrationTone = nullptr;
    QAction *m_mnuRenderSide = nullptr;
    QAction *m_mnuDeckCheck = nullptr;
    QAction *m_mnuVerifySide = nullptr;
};

} // namespace tv::workspace
