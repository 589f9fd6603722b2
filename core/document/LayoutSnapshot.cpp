#include "LayoutSnapshot.h"

#include "DocumentModel.h"

namespace lumora {

LayoutSnapshot LayoutSnapshot::fromModel(const Model &model)
{
    // The one set-up path, the same the editor opens a document with.
    DocumentModel document;
    document.load(model);
    return document.snapshot();
}

LayoutSnapshot LayoutSnapshot::detached() const
{
    LayoutSnapshot copy = *this;
    copy.animationEditor = std::make_shared<AnimationEditor>();
    for (const TrackPtr &track : animationEditor->tracks()) {
        auto trackCopy = std::make_shared<AnimationTrack>();
        for (const FramePtr &frame : track->frames)
            trackCopy->frames.append(std::make_shared<AnimationFrame>(*frame));
        copy.animationEditor->tracks().append(trackCopy);
    }
    copy.animationEditor->setSelectedTrack(animationEditor->selectedTrack());
    copy.animationEditor->setSelectedFrame(animationEditor->selectedFrame());
    return copy;
}

QList<QPointF> LayoutSnapshot::points() const
{
    std::optional<GridTransform> inverse;
    if (grid)
        inverse = GridTransform(*grid).inverted();
    QList<QPointF> result;
    result.reserve(leds.size());
    for (const QPointF &led : leds)
        result.append(inverse ? inverse->map(led) : QPointF(0, 0));
    return result;
}

QRectF LayoutSnapshot::boundingBox() const
{
    // With no LEDs the box starts (and stays) at the origin handle's layout position.
    const QPointF origin = grid ? grid->origin : QPointF(0, 0);
    double minU = origin.x(), maxU = origin.x(), minV = origin.y(), maxV = origin.y();
    const QList<QPointF> gridPoints = points();
    for (qsizetype i = 0; i < gridPoints.size(); ++i) {
        const QPointF p = gridPoints[i];
        if (i == 0) {
            minU = maxU = p.x();
            minV = maxV = p.y();
            continue;
        }
        if (p.x() < minU) minU = p.x();
        else if (p.x() > maxU) maxU = p.x();
        if (p.y() < minV) minV = p.y();
        else if (p.y() > maxV) maxV = p.y();
    }
    return QRectF(minU, minV, maxU - minU + 1, maxV - minV + 1);
}

} // namespace lumora
