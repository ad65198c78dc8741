#pragma once

#include <QWidget>

class QLabel;

namespace tv::workspace {

// The small window shown while a level tool plays (the calibration tone or
// the level check): what plays, and a Stop button. Closing it stops too.
class LevelToneWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LevelToneWindow(QWidget *parent);
    void showText(const QString &title, const QString &text);

signals:
    void stopRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_lblLevelTone = nullptr;
};

} // namespace tv::workspace
