#include "CdControlBar.h"

#include "cd/CdAudioDevice.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace tv::media {

CdControlBar::CdControlBar(QWidget *parent) : QWidget(parent), m_device(new CdAudioDevice(this))
{
    setFocusPolicy(Qt::StrongFocus);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    auto add = [this, row](QStyle::StandardPixmap icon, const char *name, const QString &tip, void (CdAudioDevice::*press)()) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(tip);
        connect(button, &QToolButton::clicked, m_device, press);
        connect(button, &QToolButton::pressed, this, &CdControlBar::focusReceived);
        row->addWidget(button);
    };
    add(QStyle::SP_MediaPlay, "cdPlay", tr("Play"), &CdAudioDevice::pressPlayButton);
    add(QStyle::SP_MediaPause, "cdPause", tr("Pause"), &CdAudioDevice::pressPauseButton);
    add(QStyle::SP_MediaStop, "cdStop", tr("Stop"), &CdAudioDevice::pressStopButton);
    row->addStretch(1);
}

void CdControlBar::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    emit focusReceived();
}

} // namespace tv::media
