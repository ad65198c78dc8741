#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace tv::shell {

// The platform's font dialog with a text colour beside it: the font dialog
// has no colour of its own, and the labels let the user pick both at once.
// The colour button opens the platform's colour dialog.
class FontColorDialog : public QDialog
{
    Q_OBJECT
public:
    FontColorDialog(const QFont &font, const QColor &color, QWidget *parent = nullptr);

    QFont selectedFont() const;
    QColor selectedColor() const { return m_color; }

private:
    void chooseColor();
    void showColor();

    QFontDialog *m_fonts = nullptr;
    QPushButton *m_colorButton = nullptr;
    QFont m_initialFont;
    QColor m_color;
};

} // namespace tv::shell
