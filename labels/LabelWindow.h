#pragma once

#include "CardPicture.h"
#include "LabelProfile.h"

#include <QDialog>
#include <QList>
#include <QHash>
#include <QPointer>
#include <atomic>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QTextEdit;
class QThread;

namespace tv::labels {

class LabelFrame;

// A label window, one class for both labels: the cassette case insert
// frmTapeLabel and the MiniDisc label frmMiniDiscLabel. What differs comes
// from its LabelProfile. The window is the card at its printed size; it reads
// the opening workspace's playlists directly, row by row, and nothing of it
// (edits, title, font, colours) outlives it.
// Printing lives in LabelWindow_Print.cpp.
class LabelWindow : public QDialog
{
    Q_OBJECT
public:
    // The printer, paper and file chosen last are kept for every label
    // window of the program's run; this forgets them (a new run).
    static void forgetPrinterChoice();
    // playlists: the workspace's lists, Tape Side A then B, or the MiniDisc's.
    LabelWindow(const LabelProfile &profile, const QList<QListWidget *> &playlists, QWidget *parent = nullptr);
    ~LabelWindow() override;

    const LabelProfile &profile() const { return m_profile; }

    // A MiniDisc recorded in LP2 or LP4 says so on its label; empty for SP.
    void setRecordingMode(const QString &mode);
    // Song lines read "Artist – Title" from the files' tags (off at first);
    // the tags are read on a thread of their own and the lines follow.
    void setTitlesFromTags(bool on);
    bool titlesFromTags() const { return m_titlesFromTags; }
    // Tags asked for and not read yet.
    bool readingTags() const { return !m_tagReader.isNull(); }

    void subInsertSongTitles();
    void chkSongTime_Click();
    void cmdPrint_Click();
    void cmdPrintSetup_Click();
    void cmdFont_Click();
    void cmdBackground_Click();
    void cmdExit_Click();

    // What the window shows, as the printer draws it.
    CardPicture cardPicture() const;
    // The title field's text as the label keeps it (lines end with CR LF).
    QString titleText() const;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSongLines();
    void buildTitle();
    void buildAppName();
    void buildHiddenControls();
    void Form_Load();
    void Form_Activate();
    QRect pixels(const QRect &twips) const;
    QPrinter *printer();
    void setPrintControlsVisible(bool visible);
    void showSongLineMenu(QLineEdit *line, const QPoint &globalAt);
    void readMissingTags();
    QString entryAt(int line) const;

    const LabelProfile &m_profile;
    QList<QPointer<QListWidget>> m_playlists;
    LabelFrame *m_Frame1 = nullptr;
    QList<QLineEdit *> m_txtTitle;
    QLineEdit *m_txtTapeTitleLine = nullptr; // the cassette's one-line title
    QTextEdit *m_txtTapeTitleStrip = nullptr; // the MiniDisc's vertical strip
    QLabel *m_lblAppName = nullptr;
    QCheckBox *m_chkSongTime = nullptr;
    QPushButton *m_cmdPrint = nullptr;
    QPushButton *m_cmdPrintSetup = nullptr;
    QPushButton *m_cmdFont = nullptr;
    QPushButton *m_cmdBackground = nullptr;
    QPushButton *m_cmdExit = nullptr;
    QList<QWidget *> m_printControls; // hidden while printing, in this order
    std::unique_ptr<QPrinter> m_printer;
    bool m_activated = false;
    QString m_recordingMode;
    bool m_titlesFromTags = false;
    QHash<QString, QString> m_tagLines; // path -> its tags' line (empty: none)
    QPointer<QThread> m_tagReader; // deletes itself when done
    std::shared_ptr<std::atomic<bool>> m_stopReading = std::make_shared<std::atomic<bool>>(false);
};

} // namespace tv::labels
