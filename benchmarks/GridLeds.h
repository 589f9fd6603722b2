#pragma once

#include <QList>
#include <QPointF>

#include <cmath>

namespace lumora {

/// count LEDs on a square lattice in grid units centred on the origin, as a large wall spans it.
inline QList<QPointF> gridLeds(int count)
{
    QList<QPointF> leds;
    const int side = int(std::ceil(std::sqrt(double(count))));
    for (int i = 0; i < count; ++i)
        leds.append(QPointF(i % side - side / 2.0, i / side - side / 2.0));
    return leds;
}

} // namespace lumora
