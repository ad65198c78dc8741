#pragma once

#include <QPushButton>

namespace tv::labels {

// A push button whose caption wraps onto a second line, as the label's small
// buttons need ("Printer" over "Setup"), with its access key underlined.
class LabelButton : public QPushButton
{
    Q_OBJECT
public:
    LabelButton(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tv::labels
