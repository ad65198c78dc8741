#include "HelpWindow.h"

#include "Forms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tv::shell {

frmHelp::frmHelp(const QString &path, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("The Tape Vantrel Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);

    const auto toolButton = [this](const char *name, QStyle::StandardPixmap icon, const QString &text) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setText(text);
        b->setToolTip(text);
        b->setAccessibleName(text);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        return b;
    };
    QToolButton *back = toolButton("cmdBack", QStyle::SP_ArrowBack, QStringLiteral("Back"));
    QToolButton *forward = toolButton("cmdForward", QStyle::SP_ArrowForward, QStringLiteral("Forward"));
    QToolButton *home = toolButton("cmdHome", QStyle::SP_DirHomeIcon, QStringLiteral("Contents"));
    back->setEnabled(false);
    forward->setEnabled(false);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search the guide"));
    m_search->setAccessibleName(QStringLiteral("Search the guide"));
    m_search->setClearButtonEnabled(true);
    auto *find = new QPushButton(QStringLiteral("&Find"), this);
    find->setObjectName(QStringLiteral("cmdFind"));
    auto *notFound = new QLabel(this);
    notFound->setObjectName(QStringLiteral("lblNotFound"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtGuide"));
    // Links to the web go to a browser, should one be found after all;
    // those inside the guide are followed here.
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl::fromLocalFile(path));

    connect(back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    const auto search = [this, notFound] {
        const bool found = m_search->text().isEmpty() || findNext(m_search->text());
        notFound->setText(found ? QString() : QStringLiteral("Not found"));
    };
    connect(m_search, &QLineEdit::returnPressed, this, search);
    connect(find, &QPushButton::clicked, this, search);
    auto *focusSearch = new QShortcut(QKeySequence::Find, this);
    connect(focusSearch, &QShortcut::activated, m_search, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    auto *goBack = new QShortcut(QKeySequence::Back, this);
    connect(goBack, &QShortcut::activated, m_browser, &QTextBrowser::backward);

    auto *bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(home);
    bar->addSpacing(fontMetrics().averageCharWidth() * 2);
    bar->addWidget(m_search, 1);
    bar->addWidget(find);
    bar->addWidget(notFound);
    auto *column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(m_browser, 1);

    // About 80 characters wide and 40 lines high, within the screen.
    const QFontMetrics fm = m_browser->fontMetrics();
    QSize wanted(fm.averageCharWidth() * 80, fm.lineSpacing() * 40);
    if (const QScreen *s = screen())
        wanted = wanted.boundedTo(s->availableGeometry().size() * 9 / 10);
    resize(wanted);
    m_search->setFocus();
}

bool frmHelp::findNext(const QString &text)
{
    if (m_browser->find(text))
        return true;
    // From the top again, once.
    QTextCursor top = m_browser->textCursor();
    top.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(top);
    return m_browser->find(text);
}

frmHelp *frmHelp::showGuide(const QString &path)
{
    // One window of its own, not owned by the window that asked for it
    // (an About box that closes would take it along).
    static bool registered = false;
    if (!registered) {
        Forms::registerForm(QStringLiteral("frmHelp"), [path] { return new frmHelp(path); });
        registered = true;
    }
    auto *shown = Forms::get<frmHelp>(QStringLiteral("frmHelp"));
    // Asked for from a modal window (the About box), it must be modal too to
    // take input; from any other window it stays beside it.
    const Qt::WindowModality modality = QApplication::activeModalWidget() && QApplication::activeModalWidget() != shown
                                            ? Qt::ApplicationModal
                                            : Qt::NonModal;
    if (shown->windowModality() != modality) {
        shown->hide();
        shown->setWindowModality(modality);
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

} // namespace tv::shell
