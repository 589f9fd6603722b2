#pragma once

#include "editor/TrackpadGesture.h"

#include <QPointF>
#include <QRectF>

#include <functional>

namespace lumora {

class DocumentModel;
class View;

/// Whole-layout transforms: mirror, quarter turns, fitting into the layout space and snapping
/// to the grid, on the marked LEDs or, with none marked, on all. Each moves its nodes as one
/// undoable change of the model, so one undo step (one flat record) reverts it; none is
/// named. The view shows the moves gliding.
class LayoutTransforms {
public:
    explicit LayoutTransforms(View &view) : m_view(view) {}

    /// The LEDs' (or only the marked LEDs') extent with the grid's origin, 1 × 1 rectangles
    /// joined; the origin alone without LEDs.
    static QRectF bounds(const DocumentModel &model, bool markedOnly);
    static QPointF center(const DocumentModel &model, bool markedOnly);
    /// The lengths of the grid's two axes added: the margin a fit leaves.
    static double boundsOffset(const DocumentModel &model);

    void mirrorX();
    void mirrorY();
    /// The toolbar's turn: clockwise, or counter-clockwise while Option is held.
    void rotate();
    void rotateLeft();
    /// A quarter turn clockwise whatever keys are held (the menu command).
    void rotateClockwise();
    /// The toolbar's fit: to the layout space, or to half of it while Option is held.
    void scale();
    void scale2();
    /// Fits to the layout space whatever keys are held (the menu command).
    void scaleToFit();
    void scaleFactor(double factor);
    void snapToGrid();
    /// Fit Grid to LEDs: a complete grid over the LEDs, one undo step "move grid".
    void fitGrid();
    /// Ends a trackpad gesture: turn by the sign of the rotation (negative: clockwise),
    /// fit by the sign of the magnification.
    void rotateGestureEnded(double lastRotation);
    void magnifyGestureEnded(double lastMagnification);
    /// What a whole pinch decided.
    void gestureEnded(TrackpadGesture::Gesture gesture);

private:
    void transformLeds(const std::function<QPointF(QPointF, QPointF)> &map);

    View &m_view;
};

} // namespace lumora
