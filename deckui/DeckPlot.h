#pragma once

#include <QPointF>
#include <QString>
#include <QVector>
#include <QWidget>

namespace tv::deckui {

// A measured curve on labelled axes: the weighted speed deviation over
// time, or the response over a logarithmic frequency axis. Its size follows
// the font, so it reads the same at any desktop font size and dpi.
class DeckPlot : public QWidget
{
    Q_OBJECT
public:
    explicit DeckPlot(const QString &title, bool logFrequency, QWidget *parent = nullptr);

    // yMin..yMax is shown at least; the curve widens it where it runs past.
    void setCurve(QVector<QPointF> points, double yMin, double yMax);
    void clear();
    const QVector<QPointF> &curve() const { return m_points; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    bool m_log;
    QVector<QPointF> m_points;
    double m_yMin = -1.0;
    double m_yMax = 1.0;
};

} // namespace tv::deckui
