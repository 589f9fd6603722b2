// Reading the wiring on screen: the start marker and direction arrows along the LED order
// line, and the LED numbers.
#include "LayoutPainter.h"

#include "editor/View.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace lumora {

namespace {
constexpr double digitHeight = 11;

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(1, 0);
}
} // namespace

void LayoutPainter::paintWiring(QPainter &painter, const QTransform &toDevice, const DragLayers *drag, const QRectF *within)
{
    const QList<NodePtr> &list = m_view.leds();
    if (list.isEmpty())
        return;
    const double radius = m_view.ledSize() / 2 * toDevice.m11();
    const QRectF screen(0, 0, painter.device()->width(), painter.device()->height());

    // A small amber arrowhead in the middle of each segment long enough on screen to hold
    // one clear of the discs.
    QPainterPath arrows;
    const double size = 5;
    auto addArrow = [&](qsizetype i) {
        const QPointF previous = toDevice.map(m_view.displayPosition(*list[i - 1]));
        const QPointF next = toDevice.map(m_view.displayPosition(*list[i]));
        const QPointF middle = (previous + next) / 2;
        const QPointF along = next - previous;
        if (std::hypot(along.x(), along.y()) > 2 * radius + 4 * size && screen.contains(middle)) {
            const QPointF u = unit(along), n(-u.y(), u.x());
            const QPointF tip = middle + u * size;
            arrows.addPolygon(QPolygonF{tip, tip - u * 2 * size + n * size, tip - u * 2 * size - n * size, tip});
        }
    };
    // One path for all of them, as arrows that overlap cancel out where they do.
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (drag && drag->touches(i - 1, i))
            continue;
        if (within) {
            const QPointF a = list[i - 1]->position(), b = list[i]->position();
            if (std::max(a.x(), b.x()) < within->left() || std::min(a.x(), b.x()) > within->right() ||
                std::max(a.y(), b.y()) < within->top() || std::min(a.y(), b.y()) > within->bottom())
                continue;
        }
        addArrow(i);
    }
    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 30, 30), 1));
    painter.setBrush(QColor(255, 190, 40));
    painter.drawPath(arrows);

    // The start: a green triangle before LED 0, pointing the way the order runs.
    if (!drag || !drag->touches(0, 1)) {
        painter.setPen(QPen(Qt::black, 1.5));
        painter.setBrush(QColor(40, 220, 90));
        painter.drawPolygon(startMarker(toDevice));
    }
    painter.restore();
}

const QPixmap &LayoutPainter::digitSprite(int digit)
{
    if (m_digits.isEmpty()) {
        // White digits with a dark outline read on any background; drawn once and then
        // blitted, so thousands of labels cost little.
        const qreal ratio = m_view.devicePixelRatioF();
        QFont font;
        font.setPixelSize(int(digitHeight));
        font.setBold(true);
        const QFontMetricsF metrics(font);
        for (int i = 0; i < 10; ++i) {
            const QString text = QString::number(i);
            const QSizeF box(metrics.horizontalAdvance(text) + 2, digitHeight + 3);
            QImage image((box * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath path;
            path.addText(QPointF(1, metrics.ascent() + 1), font, text);
            p.strokePath(path, QPen(QColor(0, 0, 0, 220), 2.5));
            p.fillPath(path, Qt::white);
            p.end();
            m_digits.append(QPixmap::fromImage(image));
        }
    }
    return m_digits[digit];
}

void LayoutPainter::paintNumbers(QPainter &painter, const QTransform &toDevice, double discRadius)
{
    const int step = m_view.numberStep();
    const QRectF screen = QRectF(0, 0, painter.device()->width(), painter.device()->height()).adjusted(-40, -20, 0, 20);
    const QList<NodePtr> &list = m_view.leds();
    const qreal ratio = m_view.devicePixelRatioF();
    // Up and to the right of the disc, clear of the ring.
    const QPointF offset(discRadius * 0.7 + 1, -discRadius * 0.7 - digitHeight - 1);
    char digits[24];
    for (qsizetype i = 0; i < list.size(); i += step) {
        QPointF at = toDevice.map(m_view.displayPosition(*list[i])) + offset;
        if (!screen.contains(at))
            continue;
        int count = 0;
        for (qsizetype v = i; count == 0 || v > 0; v /= 10)
            digits[count++] = char(v % 10);
        at = QPointF(std::round(at.x()), std::round(at.y()));
        while (count > 0) {
            const QPixmap &sprite = digitSprite(digits[--count]);
            painter.drawPixmap(at, sprite);
            at.rx() += sprite.width() / ratio - 2;
        }
    }
}

QPolygonF LayoutPainter::startMarker(const QTransform &toDevice) const
{
    const QList<NodePtr> &list = m_view.leds();
    if (list.isEmpty())
        return {};
    const double radius = m_view.ledSize() / 2 * toDevice.m11();
    const QPointF start = toDevice.map(m_view.displayPosition(*list.first()));
    const QPointF u = list.size() > 1 ? unit(toDevice.map(m_view.displayPosition(*list[1])) - start) : QPointF(1, 0);
    const QPointF n(-u.y(), u.x());
    const QPointF base = start - u * (radius + 18);
    return QPolygonF{base + u * 15, base + n * 8, base - n * 8};
}

} // namespace lumora
