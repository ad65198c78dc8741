#include "LabelButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tv::labels {

LabelButton::LabelButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
}

void LabelButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    const QRect text = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(text, flags, option.palette, isEnabled(), caption, QPalette::ButtonText);
}

} // namespace tv::labels
