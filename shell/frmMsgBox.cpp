#include "frmMsgBox.h"

#include "MessageBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tv::shell {

frmMsgBox::frmMsgBox(QWidget *parent) : QDialog(parent), m_lblMsgBox(new QLabel(this))
{
    setObjectName(QStringLiteral("frmMsgBox"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    m_lblMsgBox->setObjectName(QStringLiteral("lblMsgBox"));
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout;
    row->addWidget(image);
    row->addWidget(m_lblMsgBox, 1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(ok, 0, Qt::AlignHCenter);
}

void showMessageWindow(QWidget *parent, const QString &caption, const QString &message)
{
    if (hasMsgBoxAnswerer()) {
        msgBox(parent, message, Msg::MessageWindow, caption);
        return;
    }
    auto *window = new frmMsgBox(parent);
    window->setWindowTitle(caption);
    window->lblMsgBox()->setText(message);
    window->exec();
}

} // namespace tv::shell
