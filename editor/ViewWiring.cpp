// Reading the wiring: which LED numbers show, and the disc size that follows the density.
#include "View.h"

#include "document/LedSpacing.h"

#include <algorithm>

namespace lumora {

namespace {
/// Labels at least this far apart (pixels) stay readable.
constexpr double labelSpacing = 24;
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
    m_layoutPainter.forgetSprites();
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

} // namespace lumora
