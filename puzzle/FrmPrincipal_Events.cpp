// What the window does: the clock, the colour picks, the answer check and
// the fixed messages.
#include "FrmPrincipal.h"

#include "PuzzleMessage.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QTimer>

namespace tv::puzzle {

namespace {
const QString kTitle = QStringLiteral("O Teste de Quorvane");
}

void FrmPrincipal::Timer1_Timer()
{
    m_tempo->setText(QString::number(m_tempo->text().toLongLong() + 1));
}

void FrmPrincipal::CmbCor_Click(int house)
{
    const Rgb colour = houseColour(list(Cor, house)->currentIndex());
    if (!colour.valid)
        return;
    QFrame *pic = picture(house);
    QPalette palette = pic->palette();
    palette.setColor(QPalette::Window, colour.buttonFace ? QApplication::palette().color(QPalette::Button)
                                                         : QColor(colour.red, colour.green, colour.blue));
    pic->setPalette(palette);
}

Answer FrmPrincipal::answer() const
{
    Answer a{};
    for (int attribute = Cor; attribute <= Animal; ++attribute) {
        for (int house = 1; house <= kHouses; ++house)
            a[std::size_t(answerIndex(Attribute(attribute), house))] = list(Attribute(attribute), house)->currentIndex();
    }
    return a;
}

void FrmPrincipal::VerificaTeste()
{
    if (!tv::puzzle::VerificaTeste(answer())) {
        showMessage(this, {failureText(), QMessageBox::Critical, kTitle});
        return;
    }
    showMessage(this, {successText(m_tempo->text()), QMessageBox::Information, kTitle});
    m_timer->stop(); // the counter keeps the time of the first correct answer
}

void FrmPrincipal::MnuImportante_Click()
{
    showMessage(this, {introductionText(), QMessageBox::Information, kTitle});
}

void FrmPrincipal::MnuSobre_Click()
{
    showMessage(this, {aboutText(m_contacts.authorLine, m_contacts.first, m_contacts.second), QMessageBox::NoIcon, kTitle});
}

void FrmPrincipal::MnuMandar_Click()
{
    showMessage(this, {invitationText(m_contacts.first, m_contacts.second), QMessageBox::NoIcon, kTitle});
}

void FrmPrincipal::MnuSair_Click()
{
    QApplication::exit(0);
}

} // namespace tv::puzzle
