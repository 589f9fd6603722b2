#pragma once

#include "animation/AnimationEditor.h"

#include <QList>
#include <QPointF>
#include <QUrl>

#include <memory>

namespace lumora {

/// The loading buffer of a document: what the reader found, in file order. The window
/// set-up hands it to the live layout; saving writes the live layout, not this.
struct Model {
    QList<QPointF> points;
    QList<QPointF> grid;
    QList<QUrl> filenames;
    std::shared_ptr<AnimationEditor> animationEditor = std::make_shared<AnimationEditor>();
};

} // namespace lumora
