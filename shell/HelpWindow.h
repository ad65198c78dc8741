#pragma once

#include <QDialog>

class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace tv::shell {

// The guide in a window of the program's own, for a machine where no
// browser can be started: the installed HTML file with its links, Back,
// Forward and Home, and a search of the text.
class frmHelp : public QDialog
{
    Q_OBJECT
public:
    explicit frmHelp(const QString &path, QWidget *parent = nullptr);

    // Shows the one help window, made on first use, in front.
    static frmHelp *showGuide(const QString &path);

    QTextBrowser *browser() const { return m_browser; }
    // Selects the next place, after the current one, where text occurs
    // (from the top once the end is reached); false when there is none.
    bool findNext(const QString &text);

private:
    QTextBrowser *m_browser;
    QLineEdit *m_search;
};

} // namespace tv::shell
