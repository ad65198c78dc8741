#include "LabelFonts.h"

namespace tv::labels {

QFont labelFont(const LabelFontDesign &design)
{
    QFont font;
    if (design.face == LabelFace::MsSerif) {
        font.setFamilies({ QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("Times New Roman"),
            QStringLiteral("DejaVu Serif") });
        font.setStyleHint(QFont::Serif);
    } else {
        font.setFamilies(
            { QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans") });
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(design.points);
    font.setWeight(design.bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace tv::labels
