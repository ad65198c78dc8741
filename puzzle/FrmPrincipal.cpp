#include "FrmPrincipal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace tv::puzzle {

namespace {

constexpr int kClientWidth = 11880; // twips
constexpr int kClientHeight = 8025;

// Tahoma where installed; otherwise a sans-serif of similar width.
QFont gameFont(double points, bool bold, bool italic = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The top of what a frame holds: never above the frame's caption.
int belowCaption(const QWidget *parent, int top)
{
    const auto *box = qobject_cast<const QGroupBox *>(parent);
    return box ? std::max(top, box->contentsRect().top()) : top;
}

} // namespace

FrmPrincipal::FrmPrincipal(const Contacts &contacts, QWidget *parent) : QMainWindow(parent), m_contacts(contacts)
{
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(QStringLiteral("Teste de Quorvane"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildMenu();
    chooseScale();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &FrmPrincipal::Timer1_Timer);
    m_timer->start();
}

QFont FrmPrincipal::font(double points, bool bold, bool italic) const
{
    return gameFont(points * m_fontFactor, bold, italic);
}

void FrmPrincipal::chooseScale()
{
    // Twips as large as the label font asks, larger where a text would not
    // fit its place in the layout (a fallback font wider than Tahoma), and
    // the whole window smaller, fonts included, where the screen is too small.
    const QSize room = tv::controls::roomOnScreen(screen());
    for (int attempt = 0; attempt < 8; ++attempt) {
        m_scale = tv::controls::FormScale::forFont(font(8.25, true), logicalDpiY());
        for (int round = 0; round < 4; ++round) {
            buildClient();
            const double need = neededScale();
            if (need <= 1.0)
                break;
            m_scale = tv::controls::FormScale(m_scale.pixelsPerTwip() * need * 1.002);
        }
        const double fit = tv::controls::largestFitting({kClientWidth, kClientHeight}, {0, menuBar()->sizeHint().height()}, room);
        if (m_scale.pixelsPerTwip() <= fit)
            break;
        m_fontFactor *= fit / m_scale.pixelsPerTwip() * 0.99;
        menuBar()->setFont(font(8.25, false));
    }
}

double FrmPrincipal::neededScale() const
{
    double need = 1.0;
    for (const QLabel *l : centralWidget()->findChildren<QLabel *>()) {
        const QFontMetrics fm = l->fontMetrics();
        if (!l->wordWrap())
            need = std::max(need, double(fm.horizontalAdvance(l->text()) + 1) / l->width());
        // Inside its frame, below as well as beside.
        if (const QWidget *parent = l->parentWidget(); parent != centralWidget())
            need = std::max(need, double(l->geometry().bottom() + 3) / parent->height());
    }
    // Each clue has a row of 240 twips.
    need = std::max(need, double(centralWidget()->findChild<QLabel *>(QStringLiteral("Label6"))->fontMetrics().height()) / m_scale.px(240));
    for (const QComboBox *list : centralWidget()->findChildren<QComboBox *>()) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        const int chrome = list->width() - field.width() + 4;
        for (int i = 1; i < list->count(); ++i) // entry 0 is a row of dashes
            need = std::max(need, double(list->fontMetrics().horizontalAdvance(list->itemText(i)) + chrome) / list->width());
    }
    return need;
}

void FrmPrincipal::buildClient()
{
    // Made afresh at each scale tried; the lists keep no choice until shown.
    delete centralWidget();
    auto *client = new QWidget(this);
    client->setFixedSize(m_scale.size(kClientWidth, kClientHeight));
    setCentralWidget(client);

    auto *title = new QLabel(QStringLiteral("O Teste de Quorvane"), client);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(font(12, true, true));
    title->setAlignment(Qt::AlignCenter);
    const QRect given = m_scale.rect(4800, 0, 2370, 285);
    title->setGeometry(given.x(), 0, given.width(), std::max(given.height(), title->fontMetrics().height()));

    buildInformation(client);
    buildClues(client);
    buildQuestion(client);
    buildHouses(client);
}

QGroupBox *FrmPrincipal::frame(QWidget *parent, const char *name, const QString &caption, const QRect &twips) const
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(font(9.75, true, true));
    box->setGeometry(m_scale.rect(twips));
    box->ensurePolished(); // its caption's room is known from here on
    return box;
}

QLabel *FrmPrincipal::label(QWidget *parent, const QString &name, const QString &text, int left, int top, int width, int height) const
{
    // A label at a twips position, as wide as given or as the room to its
    // frame's right edge, and never shorter than its font.
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font(8.25, true));
    const int x = m_scale.px(left);
    const int w = width > 0 ? m_scale.px(width) : parent->width() - x - m_scale.px(60);
    const int h = std::max(height > 0 ? m_scale.px(height) : 0, l->fontMetrics().height());
    l->setGeometry(x, belowCaption(parent, m_scale.px(top)), w, h);
    return l;
}

QWidget *FrmPrincipal::buildInformation(QWidget *parent)
{
    QGroupBox *box = frame(parent, "Frame1", QStringLiteral("Informações"), {120, 360, 5895, 2655});
    // The rules wrap within the frame, one under the other.
    int top = belowCaption(box, m_scale.px(300));
    const int left = m_scale.px(240);
    const int width = box->width() - left - m_scale.px(120);
    const QStringList texts = rules();
    for (int i = 0; i < texts.size(); ++i) {
        auto *l = new QLabel(texts.at(i), box);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 2));
        l->setFont(font(8.25, true));
        l->setWordWrap(true);
        const int height = l->heightForWidth(width);
        l->setGeometry(left, top, width, height);
        top += height + m_scale.px(120);
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
        check->setGeometry(m_scale.rect(240, top, 255, 195));
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
        line->setGeometry(m_scale.px(120), m_scale.px(kLineTops[i]), m_scale.px(5520 - 120), 2);
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
    picture->setGeometry(m_scale.rect(120, 720 + dy, 855, 735));
    m_pictures[house - 1] = picture;

    // Door and window: buttons over the picture that do nothing. House 1 has
    // Command1 as its door; the others number their window first.
    const int door = house == 1 ? 1 : 2 * house;
    const int window = house == 1 ? 2 : 2 * house - 1;
    for (auto [number, geometry] : {std::pair{door, QRect(240, 1200, 135, 255)}, std::pair{window, QRect(600, 960, 255, 255)}}) {
        auto *button = new QPushButton(frame);
        button->setObjectName(QStringLiteral("Command%1").arg(number));
        button->setGeometry(m_scale.rect(geometry.x(), geometry.y() + dy, geometry.width(), geometry.height()));
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
        // A heading reaches to the next list's left edge (or the frame's edge).
        const int next = p.attribute == Cor ? 2400 : p.attribute == Nacionalidade ? 4200 : p.attribute == Cigarro ? 2400 : 0;
        QLabel *heading = label(frame, QStringLiteral("lbl%1%2").arg(attributeName(p.attribute)).arg(house), attributeName(p.attribute),
                                p.labelLeft, p.labelTop + dy, next > 0 ? next - p.labelLeft : 0);
        heading->setFont(font(8.25, true));
        auto *list = new QComboBox(frame);
        list->setObjectName(QStringLiteral("Cmb%1%2").arg(attributeName(p.attribute)).arg(house));
        list->setFont(font(8.25, false));
        list->addItems(listEntries(p.attribute, house));
        list->setCurrentIndex(-1);
        list->setGeometry(m_scale.px(p.left), m_scale.px(p.top + dy), m_scale.px(p.width), std::max(m_scale.px(315), list->sizeHint().height()));
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
    bar->setFont(font(8.25, false));
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
    const int margin = m_scale.px(300); // keeps clear of the overflow button
    QFont barFont = bar->font();
    for (double points = barFont.pointSizeF(); points >= 6.0; points -= 0.25) {
        const QRect r = bar->actionGeometry(last);
        if (r.isValid() && !r.isEmpty() && r.right() < bar->width() - margin)
            return;
        barFont.setPointSizeF(points - 0.25);
        bar->setFont(barFont);
    }
}

} // namespace tv::puzzle
