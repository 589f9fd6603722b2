#pragma once

#include "GridTransform.h"
#include "Model.h"
#include "pictures/Picture.h"
#include "pictures/PictureCache.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QUrl>

#include <memory>
#include <optional>

namespace lumora {

/// Everything the writer and the exports read from a live layout, handed over at once:
/// the LEDs in LED order, the grid when complete, the image strip's URLs, the animation
/// model and the current background picture.
struct LayoutSnapshot {
    QList<QPointF> leds;
    std::optional<GridHandles> grid;
    QList<QUrl> images;
    std::shared_ptr<AnimationEditor> animationEditor = std::make_shared<AnimationEditor>();
    PicturePtr background;
    /// The document's pictures, through which exports read theirs; none for a layout read
    /// by the command line (the exporter then makes its own).
    std::shared_ptr<PictureCache> pictures;

    /// The layout as a document model set up from what the reader found reads it: points
    /// become LEDs in file order, the first three grid rows the handles (fewer rows leave
    /// the grid incomplete), the filenames the image list, and the animation model is
    /// taken over.
    static LayoutSnapshot fromModel(const Model &model);

    /// A copy whose animation model is its own, for work on another thread while the user
    /// goes on editing (pictures are shared; they are safe to read from any thread).
    LayoutSnapshot detached() const;

    /// Each LED in grid units, LED order; (0, 0) for all without an invertible grid.
    QList<QPointF> points() const;
    /// The LEDs' bounding box in grid units (width and height one more than the spread).
    QRectF boundingBox() const;
};

} // namespace lumora
