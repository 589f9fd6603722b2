#pragma once

#include "document/UndoManager.h"
#include "editor/View.h"

#include <cmath>

namespace lumora {

/// A layout editor in Preview with LEDs on a square lattice filling the layout space, as a
/// large wall would, and a grid one lattice step wide.
struct PreviewLayout {
    DocumentModel model;
    UndoManager &undo = *model.undoManager();
    View view{&model};

    explicit PreviewLayout(int leds)
    {
        view.resize(1024, 768);
        undo.disableUndoRegistration();
        const int side = int(std::ceil(std::sqrt(double(leds))));
        const double step = 700.0 / side;
        for (int i = 0; i < leds; ++i)
            view.addVertex(QPointF(162 + (i % side) * step, 34 + (i / side) * step));
        view.model()->addOrigin({512, 384});
        view.model()->addX({512 + step, 384});
        view.addY({512, 384 + step});
        view.setMode("Preview");
    }
};

} // namespace lumora
