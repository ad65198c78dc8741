#pragma once

#include <QWidget>

namespace tv::shell {

// The start menu: the cassette workspace, the MiniDisc workspace or the mini
// player. Closing it ends the program.
class frmMenu : public QWidget
{
    Q_OBJECT
public:
    explicit frmMenu(QWidget *parent = nullptr);

    void cmdTapeVantrel_Click();
    void cmdMiniDiscVantrel_Click();
    void cmdMiniPlayer_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace tv::shell
