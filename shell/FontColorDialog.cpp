#include "FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tv::shell {

FontColorDialog::FontColorDialog(const QFont &font, const QColor &color, QWidget *parent)
    : QDialog(parent)
    , m_initialFont(font)
    , m_color(color)
{
    setObjectName(QStringLiteral("FontColorDialog"));
    // Qt's own font dialog, embedded as a widget without its buttons; a
    // native one cannot be embedded.
    m_fonts = new QFontDialog(font, this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);

    auto *colorLabel = new QLabel(tr("Text &colour:"), this);
    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName(QStringLiteral("textColor"));
    colorLabel->setBuddy(m_colorButton);
    connect(m_colorButton, &QPushButton::clicked, this, &FontColorDialog::chooseColor);
    showColor();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch(1);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_fonts, 1);
    column->addLayout(colorRow);
    column->addWidget(buttons);
}

QFont FontColorDialog::selectedFont() const
{
    QFont font = m_fonts->currentFont();
    // The dialog offers whole sizes: 6.75 points shows as 7. Left at that,
    // the size is the one the dialog opened with.
    const double initial = m_initialFont.pointSizeF();
    if (initial > 0 && font.pointSizeF() == std::round(initial))
        font.setPointSizeF(initial);
    return font;
}

void FontColorDialog::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(m_color, this, windowTitle());
    if (chosen.isValid()) {
        m_color = chosen;
        showColor();
    }
}

void FontColorDialog::showColor()
{
    QPixmap swatch(32, 14);
    swatch.fill(m_color);
    m_colorButton->setIcon(QIcon(swatch));
    m_colorButton->setIconSize(swatch.size());
    m_colorButton->setText(m_color.name());
}

} // namespace tv::shell
