#pragma once

#include "FormScale.h"
#include "PuzzleRules.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace tv::puzzle {

// The game's one window: rules, clues, the question, five houses with their
// 25 drop-down lists and pictures, and the menu bar with the seconds counter.
class FrmPrincipal : public QMainWindow
{
    Q_OBJECT
public:
    struct Contacts
    {
        QString authorLine;
        QString first;
        QString second;
    };

    explicit FrmPrincipal(const Contacts &contacts, QWidget *parent = nullptr);

    QComboBox *list(Attribute a, int house) const { return m_lists[a][house - 1]; }
    // The window's twips: font-relative, chosen when the window is made.
    const tv::controls::FormScale &formScale() const { return m_scale; }
    QFrame *picture(int house) const { return m_pictures[house - 1]; }

public slots:
    void Timer1_Timer();
    void VerificaTeste();
    void MnuImportante_Click();
    void MnuSobre_Click();
    void MnuMandar_Click();
    void MnuSair_Click();
    void CmbCor_Click(int house);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The game's fonts at the sizes of its layout, made smaller where the
    // window had to shrink to fit the screen.
    QFont font(double points, bool bold, bool italic = false) const;
    void chooseScale();
    double neededScale() const;
    void buildClient();
    QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, const QRect &twips) const;
    QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top, int width = 0, int height = 0) const;
    QWidget *buildInformation(QWidget *parent);
    QWidget *buildClues(QWidget *parent);
    QWidget *buildQuestion(QWidget *parent);
    QWidget *buildHouses(QWidget *parent);
    void buildHouse(QWidget *frame, int house);
    void buildMenu();
    void fitMenuSpacer();
    Answer answer() const;

    Contacts m_contacts;
    tv::controls::FormScale m_scale;
    double m_fontFactor = 1.0;
    QComboBox *m_lists[kAttributes][kHouses] = {};
    QFrame *m_pictures[kHouses] = {};
    QAction *m_tempo = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace tv::puzzle
