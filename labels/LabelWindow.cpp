#include "LabelWindow.h"

#include "CommonDialogs.h"
#include "LabelButton.h"
#include "LabelFonts.h"
#include "LabelFrame.h"
#include "PaperTwips.h"
#include "SongLines.h"
#include "tags/TagTitles.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QTextEdit>
#include <QThread>

namespace tv::labels {

namespace {

// A box's colours on its own palette; invalid colours keep the system's.
void setBoxColours(QWidget *w, const BoxColours &colours)
{
    QPalette p = w->palette();
    if (colours.background.isValid())
        p.setColor(QPalette::Base, colours.background);
    if (colours.text.isValid())
        p.setColor(QPalette::Text, colours.text);
    w->setPalette(p);
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

CardBox boxOf(const QWidget *w, const QRect &twips, const QPoint &frameOffset, const QString &text)
{
    CardBox box;
    box.twips = QRectF(twips.translated(frameOffset));
    box.text = text;
    box.font = w->font();
    box.background = w->palette().color(QPalette::Base);
    box.foreground = w->palette().color(QPalette::Text);
    return box;
}

} // namespace

LabelWindow::LabelWindow(const LabelProfile &profile, const QList<QListWidget *> &playlists, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_profile(profile)
{
    for (QListWidget *list : playlists)
        m_playlists.append(list);
    setObjectName(profile.windowName);
    setModal(true);
    setFixedSize(pixels(QRect(QPoint(0, 0), profile.clientTwips)).size());

    m_Frame1 = new LabelFrame([this] { return cardPicture(); }, this);
    m_Frame1->setGeometry(pixels(profile.frameTwips));
    QPalette framePalette = m_Frame1->palette();
    framePalette.setColor(QPalette::Window, profile.frameBackground);
    framePalette.setColor(QPalette::WindowText, profile.captionColour);
    m_Frame1->setPalette(framePalette);

    buildSongLines();
    buildTitle();
    buildAppName();
    buildHiddenControls();
    Form_Load();
}

LabelWindow::~LabelWindow()
{
    // The reader stops after the file it is reading; it owns copies only.
    if (m_tagReader) {
        m_stopReading->store(true);
        disconnect(m_tagReader, nullptr, this, nullptr);
        m_tagReader->wait();
    }
}

QRect LabelWindow::pixels(const QRect &twips) const
{
    return pixelRect(twips, logicalDpiX());
}

void LabelWindow::buildSongLines()
{
    const int margin = pixelEdge(int(kBoxMarginTwips), logicalDpiX());
    for (int i = 0; i < m_profile.songLineCount(); ++i) {
        auto *line = new QLineEdit(m_Frame1);
        line->setObjectName(QStringLiteral("txtTitle_%1").arg(i));
        line->setGeometry(pixels(m_profile.songLines[i]));
        line->setFrame(false);
        // A line edit keeps 2 pixels of its own on each side.
        line->setTextMargins(qMax(0, margin - 2), 0, qMax(0, margin - 2), 0);
        line->setFont(labelFont(m_profile.songFont));
        setBoxColours(line, m_profile.songColours);
        line->setText(i == 0 ? QString() : QStringLiteral(" "));
        line->installEventFilter(this); // its menu gains "Titles from Tags"
        m_txtTitle.append(line);
    }
}

void LabelWindow::buildTitle()
{
    const BoxLayout &design = m_profile.title;
    QWidget *title = nullptr;
    if (m_profile.titleIsStrip) {
        m_txtTapeTitleStrip = new QTextEdit(m_Frame1);
        m_txtTapeTitleStrip->setAcceptRichText(false);
        m_txtTapeTitleStrip->setFrameShape(QFrame::NoFrame);
        m_txtTapeTitleStrip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_txtTapeTitleStrip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_txtTapeTitleStrip->setLineWrapMode(QTextEdit::WidgetWidth);
        m_txtTapeTitleStrip->setWordWrapMode(QTextOption::WrapAnywhere);
        m_txtTapeTitleStrip->document()->setDocumentMargin(twipsToDevice(kBoxMarginTwips, logicalDpiX()));
        QTextOption centred = m_txtTapeTitleStrip->document()->defaultTextOption();
        centred.setAlignment(Qt::AlignHCenter);
        centred.setWrapMode(QTextOption::WrapAnywhere);
        m_txtTapeTitleStrip->document()->setDefaultTextOption(centred);
        m_txtTapeTitleStrip->installEventFilter(this);
        title = m_txtTapeTitleStrip;
    } else {
        m_txtTapeTitleLine = new QLineEdit(m_Frame1);
        m_txtTapeTitleLine->setFrame(false);
        m_txtTapeTitleLine->setAlignment(Qt::AlignCenter);
        title = m_txtTapeTitleLine;
    }
    title->setObjectName(QStringLiteral("txtTapeTitle"));
    title->setGeometry(pixels(design.twips));
    title->setFont(labelFont(design.font));
    setBoxColours(title, design.colours);
    if (m_txtTapeTitleStrip) {
        QString text = m_profile.titleText;
        m_txtTapeTitleStrip->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else {
        m_txtTapeTitleLine->setText(m_profile.titleText);
    }
}

void LabelWindow::buildAppName()
{
    m_lblAppName = new QLabel(m_Frame1);
    m_lblAppName->setObjectName(QStringLiteral("lblAppName"));
    m_lblAppName->setGeometry(pixels(m_profile.appName.twips));
    m_lblAppName->setAlignment(Qt::AlignCenter);
    m_lblAppName->setFont(labelFont(m_profile.appName.font));
    m_lblAppName->setAutoFillBackground(true);
    m_lblAppName->setBackgroundRole(QPalette::Base);
    m_lblAppName->setForegroundRole(QPalette::Text);
    setBoxColours(m_lblAppName, m_profile.appName.colours);
}

void LabelWindow::buildHiddenControls()
{
    const QFont font = labelFont(m_profile.controlFont);
    for (const ControlLayout &design : m_profile.hiddenControls) {
        QWidget *control = nullptr;
        if (design.name == QLatin1String("chkSongTime")) {
            m_chkSongTime = new QCheckBox(design.caption, m_Frame1);
            // Its own background, as the buttons have, not the label's.
            m_chkSongTime->setPalette(QApplication::palette(m_chkSongTime));
            m_chkSongTime->setAutoFillBackground(true);
            connect(m_chkSongTime, &QCheckBox::toggled, this, &LabelWindow::chkSongTime_Click);
            control = m_chkSongTime;
        } else {
            auto *button = new LabelButton(design.caption, m_Frame1);
            button->setAutoDefault(false);
            control = button;
            QPushButton *&slot = design.name == QLatin1String("cmdPrint") ? m_cmdPrint
                : design.name == QLatin1String("cmdPrintSetup")           ? m_cmdPrintSetup
                : design.name == QLatin1String("cmdFont")                 ? m_cmdFont
                : design.name == QLatin1String("cmdBackground")           ? m_cmdBackground
                                                                          : m_cmdExit;
            slot = button;
        }
        control->setObjectName(design.name);
        control->setGeometry(pixels(design.twips));
        control->setFont(font);
        control->setToolTip(design.toolTip);
        m_printControls.append(control);
    }
    connect(m_cmdPrint, &QPushButton::clicked, this, &LabelWindow::cmdPrint_Click);
    connect(m_cmdPrintSetup, &QPushButton::clicked, this, &LabelWindow::cmdPrintSetup_Click);
    connect(m_cmdFont, &QPushButton::clicked, this, &LabelWindow::cmdFont_Click);
    connect(m_cmdBackground, &QPushButton::clicked, this, &LabelWindow::cmdBackground_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &LabelWindow::cmdExit_Click);
}

void LabelWindow::Form_Load()
{
    subInsertSongTitles();
    m_lblAppName->setText(m_profile.appNameText);
}

void LabelWindow::Form_Activate()
{
    if (m_txtTapeTitleLine)
        m_txtTapeTitleLine->setFocus();
    else
        m_txtTapeTitleStrip->setFocus();
}

bool LabelWindow::event(QEvent *event)
{
    // The title takes the focus when the window first becomes active; the
    // dialogs it opens later give the focus back where it was.
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        Form_Activate();
    }
    return QDialog::event(event);
}

bool LabelWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The MiniDisc title strip takes typed letters in capitals.
    if (watched == m_txtTapeTitleStrip && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().size() == 1) {
            const QChar typed = key->text().at(0);
            const QChar upper(upperCaseTitleKey(typed.unicode()));
            if (upper != typed) {
                QKeyEvent capital(QEvent::KeyPress, key->key(), key->modifiers(), QString(upper), key->isAutoRepeat(), key->count());
                QCoreApplication::sendEvent(watched, &capital);
                return true;
            }
        }
    }
    // The menu opens where the event says: a frameless window placed by the
    // window manager may not know its own place on the screen.
    if (event->type() == QEvent::ContextMenu) {
        if (auto *line = qobject_cast<QLineEdit *>(watched); line && m_txtTitle.contains(line)) {
            showSongLineMenu(line, static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString LabelWindow::entryAt(int line) const
{
    const LineSource source = lineSource(line, m_profile.linesPerList);
    // A missing list or a row past its end gives an empty line.
    if (source.list < m_playlists.size() && m_playlists[source.list]) {
        if (const QListWidgetItem *item = m_playlists[source.list]->item(source.row))
            return item->text();
    }
    return {};
}

void LabelWindow::subInsertSongTitles()
{
    const bool withTime = m_chkSongTime->isChecked();
    for (int i = 0; i < m_txtTitle.size(); ++i) {
        const QString entry = entryAt(i);
        const QString tagLine = m_titlesFromTags ? m_tagLines.value(songPathOf(entry)) : QString();
        m_txtTitle[i]->setText(songLineText(entry, withTime, tagLine));
        m_txtTitle[i]->setCursorPosition(0);
    }
}

void LabelWindow::setRecordingMode(const QString &mode)
{
    m_recordingMode = mode;
    m_lblAppName->setText(mode.isEmpty() ? m_profile.appNameText : m_profile.appNameText + QStringLiteral(" \u2013 ") + mode);
}

void LabelWindow::showSongLineMenu(QLineEdit *line, const QPoint &globalAt)
{
    std::unique_ptr<QMenu> menu(line->createStandardContextMenu());
    menu->addSeparator();
    QAction *tags = menu->addAction(QStringLiteral("Titles from Tags"));
    tags->setObjectName(QStringLiteral("actTitlesFromTags"));
    tags->setCheckable(true);
    tags->setChecked(m_titlesFromTags);
    if (menu->exec(globalAt) == tags)
        setTitlesFromTags(!m_titlesFromTags);
}

void LabelWindow::setTitlesFromTags(bool on)
{
    m_titlesFromTags = on;
    if (on)
        readMissingTags();
    // Lines whose tags are known follow at once; the others when read. A
    // line the user typed over is written again, as the time check box does.
    subInsertSongTitles();
}

void LabelWindow::readMissingTags()
{
    if (m_tagReader)
        return; // the lines follow when it is done, and it is asked again then
    QStringList paths;
    for (int i = 0; i < m_txtTitle.size(); ++i) {
        const QString entry = entryAt(i);
        const QString path = songPathOf(entry);
        if (!entry.isEmpty() && !m_tagLines.contains(path) && !paths.contains(path))
            paths.append(path);
    }
    if (paths.isEmpty())
        return;
    auto read = std::make_shared<QHash<QString, QString>>();
    const std::shared_ptr<std::atomic<bool>> stop = m_stopReading;
    m_tagReader = QThread::create([paths, read, stop] {
        for (const QString &path : paths) {
            if (stop->load())
                return;
            read->insert(path, tv::media::cachedTitleLine(path));
        }
    });
    connect(m_tagReader, &QThread::finished, this, [this, read] {
        m_tagReader = nullptr;
        m_tagLines.insert(*read);
        if (m_titlesFromTags)
            subInsertSongTitles();
    });
    connect(m_tagReader, &QThread::finished, m_tagReader, &QObject::deleteLater);
    m_tagReader->start(QThread::LowPriority);
}

void LabelWindow::chkSongTime_Click()
{
    subInsertSongTitles();
}

void LabelWindow::cmdFont_Click()
{
    using tv::shell::FontChoice;
    QLineEdit *first = m_txtTitle.first();
    const FontChoice preset { first->font(), first->palette().color(QPalette::Text) };
    // A cancelled dialog still holds the preset, which then applies to all.
    const FontChoice chosen = tv::shell::askFont(this, { m_profile.dialogTitle, preset }).value_or(preset);
    const auto styled = [&chosen](QFont font, bool keepSize) {
        font.setFamilies({ chosen.font.family() });
        if (!keepSize && chosen.font.pointSizeF() > 0)
            font.setPointSizeF(chosen.font.pointSizeF());
        font.setWeight(chosen.font.bold() ? QFont::Bold : QFont::Normal);
        font.setItalic(chosen.font.italic());
        font.setUnderline(false); // underline and strike-through are not offered on the label
        font.setStrikeOut(false);
        return font;
    };
    for (QLineEdit *line : m_txtTitle) {
        line->setFont(styled(line->font(), false));
        setTextColour(line, chosen.color);
    }
    QWidget *title = m_txtTapeTitleLine ? static_cast<QWidget *>(m_txtTapeTitleLine) : m_txtTapeTitleStrip;
    title->setFont(styled(title->font(), true));
    setTextColour(title, chosen.color);
    setTextColour(m_lblAppName, chosen.color);
}

void LabelWindow::cmdBackground_Click()
{
    if (const auto colour = tv::shell::askColor(this, { m_profile.dialogTitle, m_Frame1->backgroundColour() }))
        m_Frame1->setBackgroundColour(*colour);
}

void LabelWindow::cmdExit_Click()
{
    accept();
}

QString LabelWindow::titleText() const
{
    if (m_txtTapeTitleLine)
        return m_txtTapeTitleLine->text();
    return m_txtTapeTitleStrip->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

CardPicture LabelWindow::cardPicture() const
{
    CardPicture card;
    card.sizeTwips = QSizeF(m_profile.clientTwips);
    card.frameTwips = QRectF(m_profile.frameTwips);
    card.background = m_Frame1->backgroundColour();
    card.caption = m_profile.frameCaption;
    card.captionFont = labelFont(m_profile.captionFont);
    card.captionColour = m_Frame1->palette().color(QPalette::WindowText);
    const QPoint offset = m_profile.frameTwips.topLeft();
    for (const QLine &fold : m_profile.folds)
        card.folds.append(QLineF(fold.translated(offset)));
    for (int i = 0; i < m_txtTitle.size(); ++i)
        card.boxes.append(boxOf(m_txtTitle[i], m_profile.songLines[i], offset, m_txtTitle[i]->text()));
    const QWidget *title = m_txtTapeTitleLine ? static_cast<const QWidget *>(m_txtTapeTitleLine) : m_txtTapeTitleStrip;
    CardBox titleBox = boxOf(title, m_profile.title.twips, offset, titleText());
    titleBox.alignment = Qt::AlignHCenter;
    titleBox.multiLine = m_profile.titleIsStrip;
    card.boxes.append(titleBox);
    CardBox appName = boxOf(m_lblAppName, m_profile.appName.twips, offset, m_lblAppName->text());
    appName.alignment = Qt::AlignHCenter;
    card.boxes.append(appName);
    return card;
}

} // namespace tv::labels
