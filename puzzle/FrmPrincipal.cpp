#include "FrmPrincipal.h"

#include "Twips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace tv::puzzle {

namespace {

QFont gameFont(double points, bool bold, bool italic = false)
{
    // Tahoma where installed; otherwise a sans-serif of similar width.
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, QRect twipsGeometry)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(gameFont(9.75, true, true));
    box->setGeometry(twipsRect(parent, twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    return box;
}

// A label at a twips position; never shorter than its font needs, so that
// nothing is clipped at any dpi. Where a wider fallback font would carry the
// text out of its frame, the font steps down until the text fits.
QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top, int width = 0, int height = 0)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    const int room = parent->width() - twips(parent, left) - twips(parent, 60);
    double points = 8.25;
    l->setFont(gameFont(points, true));
    while (points > 6.5 && l->fontMetrics().horizontalAdvance(text) > room) {
        points -= 0.25;
        l->setFont(gameFont(points, true));
    }
    l->adjustSize();
    const int w = width > 0 ? std::max(twips(parent, width), l->width()) : l->width();
    const int h = std::max(height > 0 ? twips(parent, height) : 0, l->fontMetrics().height());
    l->setGeometry(twips(parent, left), twips(parent, top), w, h);
    return l;
}

} // namespace

FrmPrincipal::FrmPrincipal(const Contacts &contacts, QWidget *parent) : QMainWindow(parent), m_contacts(contacts)
{
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(QStringLiteral("Teste de Quorvane"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *client = new QWidget(this);
    client->setFixedSize(twips(this, 11880), twips(this, 8025));
    setCentralWidget(client);

    auto *title = new QLabel(QStringLiteral("O Teste de Quorvane"), client);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(gameFont(12, true, true));
    title->adjustSize();
    const QRect given = twipsRect(client, 4800, 0, 2370, 285);
    const int width = std::max(given.width(), title->width());
    title->setGeometry(given.center().x() - width / 2, 0, width, std::max(given.height(), title->height()));
    title->setAlignment(Qt::AlignCenter);

    buildInformation(client);
    buildClues(client);
    buildQuestion(client);
    buildHouses(client);
    buildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &FrmPrincipal::Timer1_Timer);
    m_timer->start();
}

QWidget *FrmPrincipal::buildInformation(QWidget *parent)
{
    QGroupBox *box = frame(parent, "Frame1", QStringLiteral("Informações"), {120, 360, 5895, 2655});
    // The rules wrap within the frame, one under the other.
    int top = twips(box, 300);
    const int left = twips(box, 240);
    const int width = box->width() - left - twips(box, 120);
    const QStringList texts = rules();
    for (int i = 0; i < texts.size(); ++i) {
        auto *l = new QLabel(texts.at(i), box);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 2));
        l->setFont(gameFont(8.25, true));
        l->setWordWrap(true);
        const int height = l->heightForWidth(width);
        l->setGeometry(left, top, width, height);
        top += height + twips(box, 120);
    }
    return box;
}

QWidget *FrmPrincipal::buildClues(QWidget *parent)
{
    QGroupBox *box = frame(parent, "Frame2", QStringLiteral("Algumas dicas"), {120, 3120, 5895, 4095});
    const QStringList texts = clues();
    for (int n = 1; n <= texts.size(); ++n) {
        const int top = 360 + 240 * (n - 1);
        auto *check = new QCheckBox(box);
        check->setObjectName(QStringLiteral("Check%1").arg(n));
        check->setGeometry(twipsRect(box, 240, top, 255, 195));
        check->setMinimumSize(check->sizeHint());
        check->resize(check->minimumSize());
        label(box, QStringLiteral("Label%1").arg(n + 5), texts.at(n - 1), 600, top, 5895 - 600 - 120, 195);
    }
    return box;
}

QWidget *FrmPrincipal::buildQuestion(QWidget *parent)
{
    QGroupBox *box = frame(parent, "Frame3", QStringLiteral("A questão é:"), {120, 7320, 5895, 615});
    label(box, QStringLiteral("Label21"), QStringLiteral("Qual dos homens tem um peixe como animal de estimação?"), 240, 240);
    return box;
}

QWidget *FrmPrincipal::buildHouses(QWidget *parent)
{
    QGroupBox *box = frame(parent, "Frame4", QStringLiteral("Casas"), {120 + 6000, 360, 5655, 7575});
    for (int house = 1; house <= kHouses; ++house)
        buildHouse(box, house);
    static constexpr int kLineTops[] = {1680, 3120, 4560, 6000};
    for (int i = 0; i < 4; ++i) {
        auto *line = new QFrame(box);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(2);
        line->setGeometry(twips(box, 120), twips(box, kLineTops[i]), twips(box, 5520 - 120), 2);
    }
    return box;
}

void FrmPrincipal::buildHouse(QWidget *frame, int house)
{
    const int dy = 1440 * (house - 1);
    label(frame, QStringLiteral("lblCasa%1").arg(house), QStringLiteral("%1° Casa").arg(house), 120, 360 + dy, 765, 195);

    auto *picture = new QFrame(frame);
    picture->setObjectName(QStringLiteral("PctCasa%1").arg(house));
    picture->setFrameShape(QFrame::Box);
    picture->setAutoFillBackground(true);
    picture->setGeometry(twipsRect(frame, 120, 720 + dy, 855, 735));
    m_pictures[house - 1] = picture;

    // Door and window: buttons over the picture that do nothing. House 1 has
    // Command1 as its door; the others number their window first.
    const int door = house == 1 ? 1 : 2 * house;
    const int window = house == 1 ? 2 : 2 * house - 1;
    for (auto [number, geometry] : {std::pair{door, QRect(240, 1200, 135, 255)}, std::pair{window, QRect(600, 960, 255, 255)}}) {
        auto *button = new QPushButton(frame);
        button->setObjectName(QStringLiteral("Command%1").arg(number));
        button->setGeometry(twipsRect(frame, geometry.x(), geometry.y() + dy, geometry.width(), geometry.height()));
        button->raise();
    }

    struct Place
    {
        Attribute attribute;
        int labelLeft, labelTop, left, top, width;
    };
    static constexpr Place kPlaces[] = {
        {Cor, 1425, 360, 1080, 600, 1215},
        {Nacionalidade, 2520, 360, 2400, 600, 1695},
        {Bebida, 4455, 360, 4200, 600, 1215},
        {Cigarro, 1305, 960, 1080, 1200, 1215},
        {Animal, 2640, 960, 2400, 1200, 1215},
    };
    for (const Place &p : kPlaces) {
        label(frame, QStringLiteral("lbl%1%2").arg(attributeName(p.attribute)).arg(house), attributeName(p.attribute), p.labelLeft,
              p.labelTop + dy);
        auto *list = new QComboBox(frame);
        list->setObjectName(QStringLiteral("Cmb%1%2").arg(attributeName(p.attribute)).arg(house));
        list->setFont(gameFont(8.25, false));
        list->addItems(listEntries(p.attribute, house));
        list->setCurrentIndex(-1);
        list->setGeometry(twips(frame, p.left), twips(frame, p.top + dy), twips(frame, p.width),
                          std::max(twips(frame, 315), list->sizeHint().height()));
        m_lists[p.attribute][house - 1] = list;
        if (p.attribute == Cor)
            connect(list, &QComboBox::currentIndexChanged, this, [this, house] { CmbCor_Click(house); });
    }
}

void FrmPrincipal::buildMenu()
{
    QMenuBar *bar = menuBar();
    auto add = [bar](const char *name, const QString &caption) {
        QAction *action = bar->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    connect(add("MnuImportante", QStringLiteral("Importante")), &QAction::triggered, this, &FrmPrincipal::MnuImportante_Click);
    connect(add("MnuResponder", QStringLiteral("Responder")), &QAction::triggered, this, &FrmPrincipal::VerificaTeste);
    connect(add("MnuSobre", QStringLiteral("Sobre")), &QAction::triggered, this, &FrmPrincipal::MnuSobre_Click);
    connect(add("MnuMandar", QStringLiteral("Mandar Teste")), &QAction::triggered, this, &FrmPrincipal::MnuMandar_Click);
    connect(add("MnuSair", QStringLiteral("Sair")), &QAction::triggered, this, &FrmPrincipal::MnuSair_Click);
    bar->setFont(gameFont(8.25, false));
    add("MnuEspaco1", QString(98, QLatin1Char(' ')));
    add("MnuTempodecorrido", QStringLiteral("Tempo Decorrido:"));
    m_tempo = add("MnuTempo", QStringLiteral("0"));
    add("MnuSegundos", QStringLiteral("segundos"));
}

void FrmPrincipal::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    fitMenuSpacer(); // the bar has its real fonts and width only now
}

void FrmPrincipal::fitMenuSpacer()
{
    // The 98 blanks push the clock to the right edge. Where the fallback
    // font's blanks are wider than the bar allows, the bar's font steps down
    // until the clock stays on the bar instead of in its overflow menu.
    QMenuBar *bar = menuBar();
    QAction *last = bar->actions().constLast();
    const int margin = twips(this, 300); // keeps clear of the overflow button
    QFont font = bar->font();
    for (double points = font.pointSizeF(); points >= 6.0; points -= 0.25) {
        const QRect r = bar->actionGeometry(last);
        if (r.isValid() && !r.isEmpty() && r.right() < bar->width() - margin)
            return;
        font.setPointSizeF(points - 0.25);
        bar->setFont(font);
    }
}

} // namespace tv::puzzle
