// Reading the wiring: the start marker and direction arrows along the LED order line, the
// LED numbers and the disc size that follows the density.
#include "View.h"

#include "document/GridFit.h"
#include "document/LedSpacing.h"
#include "document/UndoManager.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
/// Labels at least this far apart (pixels) stay readable.
constexpr double labelSpacing = 24;
constexpr double digitHeight = 11;

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(1, 0);
}
} // namespace

double View::ledSize() const
{
    if (m_ledSizeSetting > 0)
        return m_ledSizeSetting;
    refreshSpacing();
    return m_autoLedSize;
}

void View::refreshSpacing() const
{
    // Recomputed once the LEDs settle, not on every step of a drag.
    if (!m_autoLedSizeStale || m_pressed)
        return;
    const QList<QPointF> positions = m_model->ledPositions();
    const double spacing = typicalSpacing(positions);
    // Down to 2 units, so that a dense matrix zoomed in shows LEDs with space between.
    m_autoLedSize = spacing > 0 ? std::clamp(0.75 * spacing, 2.0, 20.0) : 20.0;
    m_closestSpacing = closestSpacing(positions);
    m_autoLedSizeStale = false;
}

void View::setLedSize(double diameter)
{
    m_ledSizeSetting = std::max(0.0, diameter);
    m_sprites.clear();
    QWidget::update();
}

void View::setNumbersShown(bool shown)
{
    m_numbersShown = shown;
    QWidget::update();
}

int View::numberStep() const
{
    const double pixels = std::max(1e-6, m_toWidget.m11() * std::max(ledSize() / 0.75, 1.0));
    for (int step = 1;; step *= 10) {
        for (int k : {1, 2, 5})
            if (pixels * step * k >= labelSpacing || step * k >= 1000000)
                return step * k;
    }
}

void View::paintWiring(QPainter &painter, const QTransform &toDevice, const DragLayers *drag, const QRectF *within)
{
    const QList<NodePtr> &list = leds();
    if (list.isEmpty())
        return;
    const double radius = ledSize() / 2 * toDevice.m11();
    const QRectF screen(0, 0, painter.device()->width(), painter.device()->height());

    // A small amber arrowhead in the middle of each segment long enough on screen to hold
    // one clear of the discs.
    QPainterPath arrows;
    const double size = 5;
    auto addArrow = [&](qsizetype i) {
        const QPointF previous = toDevice.map(displayPosition(*list[i - 1]));
        const QPointF next = toDevice.map(displayPosition(*list[i]));
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

const QPixmap &View::digitSprite(int digit)
{
    if (m_digits.isEmpty()) {
        // White digits with a dark outline read on any background; drawn once and then
        // blitted, so thousands of labels cost little.
        const qreal ratio = devicePixelRatioF();
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

void View::paintNumbers(QPainter &painter, const QTransform &toDevice, double discRadius)
{
    const int step = numberStep();
    const QRectF screen = QRectF(0, 0, painter.device()->width(), painter.device()->height()).adjusted(-40, -20, 0, 20);
    const QList<NodePtr> &list = leds();
    const qreal ratio = devicePixelRatioF();
    // Up and to the right of the disc, clear of the ring.
    const QPointF offset(discRadius * 0.7 + 1, -discRadius * 0.7 - digitHeight - 1);
    char digits[24];
    for (qsizetype i = 0; i < list.size(); i += step) {
        QPointF at = toDevice.map(displayPosition(*list[i])) + offset;
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

QPolygonF View::startMarker(const QTransform &toDevice) const
{
    const QList<NodePtr> &list = leds();
    if (list.isEmpty())
        return {};
    const double radius = ledSize() / 2 * toDevice.m11();
    const QPointF start = toDevice.map(displayPosition(*list.first()));
    const QPointF u = list.size() > 1 ? unit(toDevice.map(displayPosition(*list[1])) - start) : QPointF(1, 0);
    const QPointF n(-u.y(), u.x());
    const QPointF base = start - u * (radius + 18);
    return QPolygonF{base + u * 15, base + n * 8, base - n * 8};
}

} // namespace lumora
