#include "NextLedMarker.h"

#include "editor/View.h"

#include <QFontMetricsF>
#include <QPainter>

namespace lumora {

std::optional<qsizetype> NextLedMarker::place() const
{
    const DocumentModel *model = m_view.model();
    if (!editingMode(m_view.mode())->marksNextLed || !model->isMarked())
        return std::nullopt;
    const QList<NodePtr> &list = model->leds();
    for (qsizetype k = 0; k < list.size(); ++k)
        if (list[k]->isMarked())
            return k;
    return std::nullopt;
}

std::optional<QPointF> NextLedMarker::marker() const
{
    const auto place = this->place();
    if (!place)
        return std::nullopt;
    // The middle of the line's segment into the first marked LED (for LED 0, its tail).
    const QPolygonF line = m_view.layoutPainter().orderLinePoints();
    return (line[*place] + line[*place + 1]) / 2;
}

QString NextLedMarker::text() const
{
    const auto place = this->place();
    return place ? View::tr("next LED: before LED %1").arg(*place) : QString();
}

void NextLedMarker::paint(QPainter &painter) const
{
    const auto marker = this->marker();
    if (!marker)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = m_view.layoutTransform().map(*marker);
    const QColor ink(255, 200, 40);
    // A plus in a diamond, dark-edged so that it shows on any picture.
    QPolygonF diamond;
    diamond << c + QPointF(0, -8) << c + QPointF(8, 0) << c + QPointF(0, 8) << c + QPointF(-8, 0);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 2));
    painter.setBrush(ink);
    painter.drawPolygon(diamond);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
    painter.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));

    const QString text = this->text();
    const QFontMetricsF metrics(painter.font());
    QRectF box = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
    box.moveTopLeft(c + QPointF(12, -box.height() - 6));
    // Kept inside the widget, to the left of the marker when it is near the right edge.
    if (box.right() > m_view.width())
        box.moveRight(c.x() - 12);
    if (box.top() < 0)
        box.moveTop(c.y() + 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 170));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(ink);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

} // namespace lumora
