#pragma once

#include "PuzzleRules.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QFrame;
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
    QWidget *buildInformation(QWidget *parent);
    QWidget *buildClues(QWidget *parent);
    QWidget *buildQuestion(QWidget *parent);
    QWidget *buildHouses(QWidget *parent);
    void buildHouse(QWidget *frame, int house);
    void buildMenu();
    void fitMenuSpacer();
    Answer answer() const;

    Contacts m_contacts;
    QComboBox *m_lists[kAttributes][kHouses] = {};
    QFrame *m_pictures[kHouses] = {};
    QAction *m_tempo = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace tv::puzzle
