#include "WledPanelWiring.h"

#include <cstdlib>

namespace lumora {

QList<WledPanelWiring> WledPanelWiring::all()
{
    QList<WledPanelWiring> wirings;
    for (bool bottom : {false, true})
        for (bool right : {false, true})
            for (bool vertical : {false, true})
                for (bool serpentine : {false, true})
                    wirings.append({bottom, right, vertical, serpentine});
    return wirings;
}

QList<int> WledPanelWiring::order(int width, int height) const
{
    // The loop of WLED's setUpMatrix (wled00/FX_2Dfcn.cpp) for one panel: h cells along a
    // run, v runs; y counts runs, x cells along the run, mirrored by the start corner and,
    // when serpentine, on every odd run.
    const int h = vertical ? height : width;
    const int v = vertical ? width : height;
    QList<int> cells;
    cells.reserve(qsizetype(width) * height);
    for (int j = 0; j < v; ++j) {
        for (int i = 0; i < h; ++i) {
            const int y = (vertical ? rightStart : bottomStart) ? v - j - 1 : j;
            int x = (vertical ? bottomStart : rightStart) ? h - i - 1 : i;
            x = serpentine && j % 2 ? h - x - 1 : x;
            cells.append((vertical ? x : y) * width + (vertical ? y : x));
        }
    }
    return cells;
}

QString WledPanelWiring::name() const
{
    return QString("%1-%2, %3, %4")
        .arg(bottomStart ? "bottom" : "top", rightStart ? "right" : "left", vertical ? "vertical" : "horizontal",
             serpentine ? "serpentine" : "not serpentine");
}

WiringMatch findWledWiring(const QList<int> &owners, int width, int height, qsizetype ledCount)
{
    WiringMatch match;
    int longest = -1;
    int closestMiss = 0;
    for (const WledPanelWiring &wiring : WledPanelWiring::all()) {
        int next = 0, wrongCell = -1, found = -1;
        for (int cell : wiring.order(width, height)) {
            const int led = owners.value(cell, -1);
            if (led < 0)
                continue;
            if (led != next) {
                wrongCell = cell;
                found = led;
                break;
            }
            ++next;
        }
        if (wrongCell < 0 && next == ledCount) {
            match.wiring = wiring;
            return match;
        }
        // Of wirings that follow the order equally far, the one whose wrong LED is nearest
        // the expected one is the likelier set-up.
        const int miss = wrongCell < 0 ? 0 : std::abs(found - next);
        if (next > longest || (next == longest && miss < closestMiss)) {
            closestMiss = miss;
            longest = next;
            match.closest = wiring;
            match.expected = next;
            match.outOfOrder = wrongCell < 0 ? next : found;
            match.cell = wrongCell;
        }
    }
    return match;
}

} // namespace lumora
