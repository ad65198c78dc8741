#pragma once

#include "CardPicture.h"

#include <QWidget>
#include <functional>

namespace tv::labels {

// Frame1: the container that fills the label window and carries the
// background colour (its palette's Window colour), the side headings and
// the fold lines. It paints them from the same card picture the printer
// draws; the text boxes on it are its child controls. A label window has no
// title bar, so dragging the frame moves the window.
class LabelFrame : public QWidget
{
    Q_OBJECT
public:
    using PictureSource = std::function<CardPicture()>;
    LabelFrame(PictureSource source, QWidget *parent);

    QColor backgroundColour() const;
    void setBackgroundColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    PictureSource m_source;
};

} // namespace tv::labels
