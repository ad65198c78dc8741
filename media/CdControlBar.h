#pragma once

#include <QWidget>

namespace tv::media {

class CdAudioDevice;

// The CD device as a window shows it: its own row of transport buttons.
// Owns its device. focusReceived() tells the window that the row took the
// keyboard focus (the workspaces pass it on at once).
class CdControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit CdControlBar(QWidget *parent = nullptr);

    CdAudioDevice *device() const { return m_device; }

signals:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    CdAudioDevice *m_device;
};

} // namespace tv::media
