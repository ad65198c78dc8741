#include "frmVersionCheck.h"

#include "Forms.h"
#include "MessageBox.h"
#include "ProgramFile.h"
#include "Settings.h"
#include "Twips.h"
#include "UpdateMessages.h"
#include "UpdateSession.h"
#include "VersionFile.h"
#include "UpdateSite.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace tv::update {

using tv::shell::twips;

namespace {
const QString kSection = QStringLiteral("reg");
const QString kKey = QStringLiteral("versioncheck");
} // namespace

frmVersionCheck::frmVersionCheck(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , // no control box
    m_lblUpdateStatus(new QLabel(this))
    , m_cmdDownload(new QPushButton(QStringLiteral("Download Update"), this))
    , m_cmdCancel(new QPushButton(QStringLiteral("Cancel"), this))
    , m_chkCheckForUpdates(new QCheckBox(QStringLiteral("Check For Updates"), this))
    , m_session(new UpdateSession(this))
{
    setObjectName(QStringLiteral("frmVersionCheck"));
    setWindowTitle(QStringLiteral("Software Update Checkup"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_lblUpdateStatus->setObjectName(QStringLiteral("lblUpdateStatus"));
    m_lblUpdateStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    m_cmdDownload->setEnabled(false);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setEnabled(false);
    // A window that appears on its own never takes a keystroke meant for
    // another: no button is the default, and the focus rests on the window
    // itself until the user moves it to a button.
    for (QPushButton *button : { m_cmdDownload, m_cmdCancel }) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setFocusPolicy(Qt::StrongFocus);
    m_chkCheckForUpdates->setObjectName(QStringLiteral("chkCheckForUpdates"));
    m_chkCheckForUpdates->setChecked(true);
    layOut(offerText(QFileInfo(programFile()).fileName()));

    connect(m_cmdDownload, &QPushButton::clicked, this, &frmVersionCheck::cmdDownload_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmVersionCheck::cmdCancel_Click);
    connect(m_session, &UpdateSession::checked, this, &frmVersionCheck::checked);
    connect(m_session, &UpdateSession::downloadProgress, this,
        [this](qint64 received, qint64 total) { setStatus(downloadProgressText(received, total)); });
    connect(m_session, &UpdateSession::installing, this, [this] { m_cmdCancel->setEnabled(false); });
    connect(m_session, &UpdateSession::downloaded, this,
        [this](UpdateSession::Outcome outcome, const QString &detail) { downloaded(int(outcome), detail); });
}

frmVersionCheck::~frmVersionCheck()
{
    Form_Unload(); // when the program ends with the window open
}

void frmVersionCheck::Form_Activate()
{
    if (tv::shell::getSetting(kSection, kKey) == QLatin1String("0")) {
        // The box shows the stored choice, so closing keeps "0".
        m_chkCheckForUpdates->setChecked(false);
        close();
        return;
    }
    VersionCheck();
}

void frmVersionCheck::VersionCheck()
{
    const UpdateSite site = updateSite();
    m_strUpdateURL = site.folder.toString();
    m_strExeName = QFileInfo(programFile()).fileName();
    m_strVersion = tv::update::strVersion();
    m_cmdDownload->setEnabled(false);
    m_cmdCancel->setEnabled(false);
    setStatus(QString());
    m_session->check(); // answers through checked(); the window stays unseen meanwhile
}

void frmVersionCheck::checked(bool offered)
{
    if (!offered) {
        close(); // nothing to offer, no network, or a bad version.dat: silently
        return;
    }
    layOut(offerText(m_strExeName));
    setStatus(offerText(m_strExeName));
    m_cmdCancel->setEnabled(true);
    m_cmdDownload->setEnabled(true);
    showCentredOnOwner();
}

void frmVersionCheck::cmdDownload_Click()
{
    // While it downloads, the one button left stops it.
    m_cmdDownload->setEnabled(false);
    m_cmdDownload->hide();
    m_cmdCancel->setEnabled(true);
    setStatus(downloadProgressText(0, -1));
    m_session->download(); // answers through downloaded()
}

void frmVersionCheck::downloaded(int outcome, const QString &detail)
{
    const auto how = UpdateSession::Outcome(outcome);
    if (how != UpdateSession::Outcome::Cancelled) {
        const int icon = how == UpdateSession::Outcome::Installed ? 0 : tv::shell::Msg::Exclamation;
        tv::shell::msgBox(this, downloadOutcomeText(how, detail, updateSite().webSite), tv::shell::Msg::OkOnly | icon);
    }
    close();
}

void frmVersionCheck::cmdCancel_Click()
{
    if (m_session->isDownloading()) {
        m_session->cancel(); // the partial file goes; downloaded() closes the window
        return;
    }
    tv::shell::msgBox(this, webSiteText(updateSite().webSite), tv::shell::Msg::OkOnly);
    close();
}

void frmVersionCheck::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_session->disconnect(this); // the window is going: no more answers to show
    // A download stops and its partial file goes; an install under way
    // finishes without the window waiting for it.
    m_session->release();
    tv::shell::saveSetting(kSection, kKey, m_chkCheckForUpdates->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmVersionCheck::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

int frmVersionCheck::scaled(int twipsValue) const
{
    return qRound(twips(this, twipsValue) * m_layoutScale);
}

void frmVersionCheck::layOut(const QString &offer)
{
    // The design's positions, all scaled alike by as much as the widest
    // text of the UI font needs, so that every caption and the offer fit.
    const QFontMetrics metrics = fontMetrics();
    const int buttonPadding = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin) + style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    QString shownOffer = offer;
    shownOffer.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QSize offerSize = metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, shownOffer).size();
    const QSize checkSize = m_chkCheckForUpdates->sizeHint();
    const auto need = [this](int pixels, int twipsValue) { return double(pixels) / twips(this, twipsValue); };
    m_layoutScale = std::max({ 1.0, need(metrics.horizontalAdvance(m_cmdDownload->text()) + buttonPadding, 1515),
        need(metrics.horizontalAdvance(m_cmdCancel->text()) + buttonPadding, 825), need(metrics.height() + buttonPadding, 345),
        need(checkSize.width(), 1845), need(checkSize.height(), 285), need(offerSize.width(), 4185), need(offerSize.height(), 585) });
    const auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(scaled(left), scaled(top), scaled(width), scaled(height));
    };
    setFixedSize(scaled(4395), scaled(1200));
    place(m_lblUpdateStatus, 120, 90, 4185, 585);
    place(m_cmdDownload, 1950, 780, 1515, 345);
    place(m_cmdCancel, 3510, 780, 825, 345);
    place(m_chkCheckForUpdates, 90, 810, 1845, 285);
}

void frmVersionCheck::setStatus(const QString &text)
{
    m_statusText = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lblUpdateStatus->setText(shown);
}

void frmVersionCheck::showCentredOnOwner()
{
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible()) {
        QWidget *menu = tv::shell::Forms::find(QStringLiteral("frmMenu"));
        owner = menu && menu->isVisible() ? menu : QApplication::activeWindow();
    }
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    QPoint centre = owner && owner != this ? owner->frameGeometry().center() : area.center();
    QRect placed(QPoint(), size());
    placed.moveCenter(centre);
    if (area.isValid()) {
        placed.moveLeft(qBound(area.left(), placed.left(), qMax(area.left(), area.right() - placed.width())));
        placed.moveTop(qBound(area.top(), placed.top(), qMax(area.top(), area.bottom() - placed.height())));
    }
    move(placed.topLeft());
    // Shown beside what the user is doing, not in front of the keyboard:
    // a window the user is typing in keeps the focus.
    QPointer<QWidget> typingIn = QApplication::activeWindow();
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocus();
    show();
    raise();
    if (typingIn && typingIn != this) {
        QTimer::singleShot(0, typingIn, [typingIn] {
            if (typingIn && QApplication::activeWindow() != typingIn)
                typingIn->activateWindow(); // a platform that activates every new window anyway
        });
    }
}

void registerVersionCheckForm()
{
    tv::shell::Forms::registerForm(QStringLiteral("frmVersionCheck"), [] { return new frmVersionCheck; });
}

void startVersionCheck()
{
    removeUpdateLeftovers(programFile(), QDateTime::currentDateTime());
    if (updateSite().folder.isEmpty())
        return; // a build without an update folder never asks the network
    if (auto *window = tv::shell::Forms::get<frmVersionCheck>(QStringLiteral("frmVersionCheck")))
        window->Form_Activate();
}

} // namespace tv::update
