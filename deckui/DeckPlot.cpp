#include "DeckPlot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tv::deckui {

namespace {

// The frequency axis's marks: octaves a decade apart are named.
constexpr double kFrequencyMarks[] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};

QString markText(double hz)
{
    return hz >= 1000.0 ? QStringLiteral("%1k").arg(hz / 1000.0) : QString::number(hz);
}

// A step of 1, 2 or 5 times a power of ten giving about `wanted` marks.
double niceStep(double span, int wanted)
{
    const double raw = span / std::max(1, wanted);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10.0 * power;
}

} // namespace

DeckPlot::DeckPlot(const QString &title, bool logFrequency, QWidget *parent)
    : QWidget(parent), m_title(title), m_log(logFrequency)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DeckPlot::setCurve(QVector<QPointF> points, double yMin, double yMax)
{
    m_points = std::move(points);
    m_yMin = yMin;
    m_yMax = yMax;
    for (const QPointF &p : m_points) {
        m_yMin = std::min(m_yMin, p.y());
        m_yMax = std::max(m_yMax, p.y());
    }
    update();
}

void DeckPlot::clear()
{
    m_points.clear();
    update();
}

QSize DeckPlot::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(QLatin1Char('0')) * 60, fm.height() * 12};
}

QSize DeckPlot::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(QLatin1Char('0')) * 36, fm.height() * 8};
}

void DeckPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    const QRect area = rect().adjusted(fm.horizontalAdvance(QStringLiteral("\u2212000.0")) + fm.height() / 2, fm.height() * 3 / 2,
                                       -fm.horizontalAdvance(QStringLiteral("00")), -fm.height() * 3 / 2);
    p.setPen(palette().text().color());
    p.drawText(QRect(0, 0, width(), fm.height() * 3 / 2), Qt::AlignCenter, m_title);
    if (area.width() < 10 || area.height() < 10)
        return;

    double xMin = m_log ? 20.0 : 0.0;
    double xMax = m_log ? 20000.0 : 1.0;
    if (!m_log && !m_points.isEmpty()) {
        xMin = m_points.front().x();
        xMax = std::max(xMin + 1e-9, m_points.back().x());
    }
    const auto xAt = [&](double x) {
        const double along = m_log ? std::log(x / xMin) / std::log(xMax / xMin) : (x - xMin) / (xMax - xMin);
        return area.left() + along * area.width();
    };
    const auto yAt = [&](double y) { return area.bottom() - (y - m_yMin) / (m_yMax - m_yMin) * area.height(); };

    // The grid and its marks.
    QColor grid = palette().mid().color();
    p.setPen(QPen(grid, 0));
    const double yStep = niceStep(m_yMax - m_yMin, 5);
    for (double y = std::ceil(m_yMin / yStep) * yStep; y <= m_yMax + 1e-9; y += yStep) {
        const double at = yAt(y);
        p.setPen(QPen(grid, 0));
        p.drawLine(QPointF(area.left(), at), QPointF(area.right(), at));
        p.setPen(palette().text().color());
        const QString text = QString::number(std::abs(y) < yStep / 1000 ? 0.0 : y, 'g', 4).replace(QLatin1Char('-'), QChar(0x2212));
        p.drawText(QRectF(0, at - fm.height(), area.left() - fm.height() / 4.0, 2.0 * fm.height()), Qt::AlignRight | Qt::AlignVCenter, text);
    }
    QVector<std::pair<double, QString>> xMarks;
    if (m_log) {
        for (double hz : kFrequencyMarks)
            xMarks.push_back({hz, markText(hz)});
    } else if (!m_points.isEmpty()) {
        const double xStep = niceStep(xMax - xMin, 8);
        for (double x = std::ceil(xMin / xStep) * xStep; x <= xMax + 1e-9; x += xStep)
            xMarks.push_back({x, QString::number(x, 'g', 4)});
    }
    for (const auto &[x, text] : xMarks) {
        const double at = xAt(x);
        p.setPen(QPen(grid, 0));
        p.drawLine(QPointF(at, area.top()), QPointF(at, area.bottom()));
        p.setPen(palette().text().color());
        p.drawText(QRectF(at - 40.0 * fm.height(), area.bottom(), 80.0 * fm.height(), fm.height() * 1.4), Qt::AlignHCenter | Qt::AlignVCenter, text);
    }
    p.setPen(QPen(palette().text().color(), 0));
    p.drawRect(area);

    if (m_points.size() < 2)
        return;
    QPainterPath path;
    path.moveTo(xAt(m_points.front().x()), yAt(m_points.front().y()));
    for (qsizetype i = 1; i < m_points.size(); ++i)
        path.lineTo(xAt(m_points[i].x()), yAt(m_points[i].y()));
    p.setClipRect(area);
    p.setPen(QPen(palette().highlight().color(), std::max(1.0, fm.height() / 9.0)));
    p.drawPath(path);
}

} // namespace tv::deckui
