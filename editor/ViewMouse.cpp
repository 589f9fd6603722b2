// The five modes, the mouse press-drag-release cycle, marking, cursors, modifier keys and
// trackpad gestures.
#include "View.h"

#include "document/UndoManager.h"

#include <QGestureEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPinchGesture>
#include <QToolTip>

namespace lumora {

namespace {

// Where each LED of a dragged group started: the exact positions kept at the press when they
// still match the group, else worked back from the drag's offset.
QList<QPointF> groupStarts(const QList<NodePtr> &group, QList<QPointF> &kept, QPointF offset)
{
    QList<QPointF> starts;
    if (kept.size() == group.size()) {
        starts.swap(kept);
        return starts;
    }
    starts.reserve(group.size());
    for (const NodePtr &node : group)
        starts.append(node->position() - offset);
    return starts;
}

} // namespace

void View::setMode(int mode, const char *identifier)
{
    emit toolbarItemSelected(QString::fromLatin1(identifier));
    const int was = m_mode;
    m_mode = mode;
    // The editing modes show the marking, never the colours a preview left behind; only
    // Colors gives the rings colours of their own.
    if ((was == Preview || was == Colors) && mode != Preview && mode != Colors)
        clearPreviewColors(true);
    else if (was == Colors && mode != Colors)
        clearPreviewColors(false);
    QWidget::update();
}

void View::editNodes()
{
    setMode(EditNodes, "Edit Nodes");
    hideGrid();
}

void View::selectMode()
{
    setMode(Select, "Select");
}

void View::editGrid()
{
    setMode(EditGrid, "Edit Grid");
    showGrid();
}

void View::preview()
{
    if (gridState() != 3) {
        const char *missing[] = {QT_TR_NOOP("no grid yet"), QT_TR_NOOP("the grid has only its origin"),
                                 QT_TR_NOOP("the grid's y handle is missing")};
        emit statusMessage(tr("Preview needs a complete grid, and %1: place origin, x and y handles in Edit Grid, "
                              "or choose Layout ▸ Fit Grid to LEDs.")
                               .arg(tr(missing[gridState()])));
        emit previewRefused();
        return;
    }
    setMode(Preview, "Preview");
    updateBitmap();
}

void View::colorsMode()
{
    setMode(Colors, "Colors");
    if (!image() || (!backgroundPending() && !bitmap()))
        emit statusMessage(tr("Colors shows the colours of the background picture under the LEDs, and there is "
                              "no picture: drop one on the layout or choose one under Pictures."));
}

void View::updateMode()
{
    switch (m_mode) {
    case EditNodes: editNodes(); break;
    case Select: selectMode(); break;
    case EditGrid: editGrid(); break;
    case Preview: preview(); break;
    case Colors: colorsMode(); break;
    default: break;
    }
}

NodePtr View::nodeAtPoint(QPointF point) const
{
    // A press hits the disc as drawn: radius 10 normally, less in dense layouts.
    const double radius = ledSize() / 2;
    const QList<NodePtr> &list = leds();
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const QPointF d = list[i]->position() - point;
        if (d.x() * d.x() + d.y() * d.y() <= radius * radius)
            return list[i];
    }
    return nullptr;
}

bool View::selectNode(QPointF point)
{
    const NodePtr found = nodeAtPoint(point);
    if (found == m_selectedNode) {
        m_selectedPosition = point;
        return false;
    }
    deselectNode();
    if (found)
        selectNode(found, point);
    return true;
}

void View::selectNode(const NodePtr &node, QPointF point)
{
    m_selectedNode = node;
    node->setSelected(true);
    m_selectedPosition = node->position();
    m_selectedOffset = node->position() - point;
    m_groupStarts.clear();
    QWidget::update();
}

void View::deselectNode()
{
    if (!m_selectedNode)
        return;
    m_selectedNode->setSelected(false);
    m_selectedNode.reset();
    QWidget::update();
}

bool View::moved() const
{
    return m_selectedNode && m_selectedNode->position() != m_selectedPosition;
}

void View::moveNode(QPointF point, bool snapped)
{
    QPointF target = point + m_selectedOffset;
    if (snapped)
        target = snap(target);
    placeNode(m_selectedNode, target);
}

void View::moveNode(const NodePtr &node, QPointF point, bool)
{
    // Group moves do not snap.
    placeNode(node, point + m_selectedOffset);
}

void View::placeNode(const NodePtr &node, QPointF position)
{
    // The grab handle of a grid drag is the editor's own; everything else is the model's.
    if (node == m_gridHandle)
        node->setPosition(position);
    else
        m_model->setLedPosition(node, position);
}

void View::removeSelectedNode()
{
    placeNode(m_selectedNode, m_selectedPosition);
    removeNode(m_selectedNode);
    deselectNode();
}

void View::notMoveSelectedNode()
{
    placeNode(m_selectedNode, m_selectedPosition);
    deselectNode();
}

std::shared_ptr<RectangleNode> View::addRubberband(QPointF point)
{
    auto band = std::make_shared<RectangleNode>();
    band->setPosition(point);
    band->setRectangle(QRectF());
    return band;
}

void View::mouseDown(QPointF p)
{
    switch (m_mode) {
    case EditNodes:
    case Colors: {
        if (selectNode(p)) {
            setCursor(Qt::OpenHandCursor);
            return;
        }
        const NodePtr node = addVertex(p);
        deselectNode();
        selectNode(node, p);
        return;
    }
    case Select:
        if (selectNode(p))
            return;
        deselectNode();
        m_rubberband = addRubberband(p);
        QWidget::update();
        return;
    case Preview:
        // Presses reach the grid only while its lattice is on display.
        if (gridState() != 3 || !m_gridShown)
            return;
        [[fallthrough]];
    case EditGrid:
        if (gridState() == 3 && selectNode(p))
            return;
        gridPress(p);
        return;
    default:
        return;
    }
}

void View::mouseDragged(QPointF p)
{
    if (m_mode == Select && m_rubberband) {
        const QPointF r = m_rubberband->position();
        m_rubberband->setRectangle(QRectF(0, 0, p.x() - r.x(), p.y() - r.y()));
        QWidget::update();
        return;
    }
    const bool gridShownInPreview = m_mode == Preview && m_gridShown;
    if (m_mode == EditGrid || gridShownInPreview) {
        if (m_selectedNode && m_selectedNode == m_gridHandle)
            gridDrag(p);
        updateBitmap();
    }
    if (!m_selectedNode)
        return;
    if (m_selectedNode->type() == Node::Led && m_selectedNode != m_gridHandle)
        beginDrag();
    if (isInsideLayout(p))
        setCursor(moved() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        setCursor(Qt::ForbiddenCursor);
    const bool snapped = m_mode == EditGrid && m_selectedNode->type() == Node::Led;
    if (m_selectedNode->isMarked()) {
        // The whole marked group follows, as one change of the model.
        const QPointF d = p - m_selectedNode->position();
        const QList<NodePtr> group = m_model->markedLeds();
        // Undo puts each LED back exactly where it was, not at its end less the offset.
        if (m_groupStarts.size() != group.size()) {
            m_groupStarts.clear();
            m_groupStarts.reserve(group.size());
            for (const NodePtr &node : group)
                m_groupStarts.append(node->position());
        }
        QList<QPointF> targets;
        targets.reserve(group.size());
        for (const NodePtr &node : group)
            targets.append(node->position() + d + m_selectedOffset);
        m_model->setLedPositions(group, targets);
    } else {
        moveNode(p, snapped);
    }
    updateEdges(false);
    QWidget::update();
}

void View::mouseUp(QPointF p, Qt::KeyboardModifiers modifiers)
{
    if (m_mode == Select) {
        if (m_rubberband) {
            const QRectF r = m_rubberband->rectangle().translated(m_rubberband->position()).normalized();
            const bool option = isOptionDown(modifiers);
            const bool shift = modifiers & Qt::ShiftModifier;
            // One change of the marking, one flat record, however many LEDs it spans.
            QList<bool> marking = m_model->marking();
            const QList<NodePtr> &list = leds();
            for (qsizetype i = 0; i < list.size(); ++i) {
                const QPointF q = list[i]->position();
                const bool inside = q.x() >= r.left() && q.x() < r.right() && q.y() >= r.top() && q.y() < r.bottom();
                if (inside)
                    marking[i] = option ? !marking[i] : true;
                else if (!option && !shift)
                    marking[i] = false;
            }
            m_model->changeMarking(marking);
            m_rubberband.reset();
            QWidget::update();
        } else if (m_selectedNode && !moved()) {
            toggleMarkNode(m_selectedNode);
        }
    }
    const bool gridShownInPreview = m_mode == Preview && m_gridShown;
    if ((m_mode == EditGrid || gridShownInPreview) && m_gridHandle)
        finishGridDrag();

    if (m_selectedNode) {
        if (isInsideLayout(p)) {
            if (moved()) {
                if (m_selectedNode->isMarked()) {
                    const QList<NodePtr> group = m_model->markedLeds();
                    const QList<QPointF> starts =
                        groupStarts(group, m_groupStarts, m_selectedNode->position() - m_selectedPosition);
                    m_model->registerMoves(group, starts, "move node");
                } else {
                    m_model->registerMoves({m_selectedNode}, {m_selectedPosition}, "move node");
                }
                updateBitmap();
            }
            deselectNode();
        } else {
            if (m_selectedNode->isMarked()) {
                // Dragged out of the layout: the group goes, and undo brings it back where
                // the drag started.
                const QList<NodePtr> group = m_model->markedLeds();
                const QList<QPointF> starts =
                    groupStarts(group, m_groupStarts, m_selectedNode->position() - m_selectedPosition);
                m_model->setLedPositions(group, starts);
                m_model->removeLeds(group);
                deselectNode();
            } else if (m_selectedNode->type() != Node::Led) {
                notMoveSelectedNode();
            } else {
                removeSelectedNode();
            }
            updateEdges(true);
        }
    }
    m_groupStarts.clear();
    mouseMoved(p);
}

void View::mouseMoved(QPointF p)
{
    setCursor(nodeAtPoint(p) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void View::mousePressEvent(QMouseEvent *event)
{
    if (panPress(event))
        return;
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (stripPress(event->position()))
        return;
    if (wiringPress(pointFromEvent(event->position())))
        return;
    endDrag();
    m_pressed = true;
    mouseDown(pointFromEvent(event->position()));
}

void View::mouseMoveEvent(QMouseEvent *event)
{
    if (panMove(event) || stripMove(event->position()))
        return;
    const QPointF p = pointFromEvent(event->position());
    if (m_pressed && (event->buttons() & Qt::LeftButton))
        mouseDragged(p);
    else
        mouseMoved(p);
}

void View::mouseReleaseEvent(QMouseEvent *event)
{
    if (panRelease(event))
        return;
    if (event->button() == Qt::LeftButton && stripRelease(event->position()))
        return;
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    endDrag();
    mouseUp(pointFromEvent(event->position()), event->modifiers());
}

bool View::isOptionDown(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::AltModifier | Qt::ControlModifier);
}

void View::flagsChanged(std::optional<Qt::KeyboardModifiers> modifiers)
{
    emit optionImagesChanged(modifiers && isOptionDown(*modifiers));
}

void View::keyPressEvent(QKeyEvent *event)
{
    flagsChanged(event->modifiers());
    if (panKey(event, true) || stripKey(event) || wiringKey(event))
        return;
    QWidget::keyPressEvent(event);
}

void View::keyReleaseEvent(QKeyEvent *event)
{
    flagsChanged(event->modifiers());
    if (panKey(event, false))
        return;
    QWidget::keyReleaseEvent(event);
}

void View::rotateGestureEnded(double rotation)
{
    if (rotation < 0)
        rotateClockwise();
    else
        rotateLeft();
}

void View::magnifyGestureEnded(double magnification)
{
    scaleFactor(magnification > 0 ? 1 : 0.5);
}

View::Gesture View::decideGesture(double clockwiseDegrees, double magnification)
{
    const double turn = std::abs(clockwiseDegrees) / 15.0;
    const double zoom = std::abs(magnification) / 0.1;
    if (turn < 1 && zoom < 1)
        return Gesture::None;
    if (turn >= zoom)
        return clockwiseDegrees > 0 ? Gesture::RotateClockwise : Gesture::RotateCounterClockwise;
    return magnification > 0 ? Gesture::Fit : Gesture::FitHalf;
}

void View::gestureEnded()
{
    switch (decideGesture(m_gestureRotation, m_gestureMagnification)) {
    case Gesture::RotateClockwise: rotateGestureEnded(-1); break;
    case Gesture::RotateCounterClockwise: rotateGestureEnded(1); break;
    case Gesture::Fit: magnifyGestureEnded(1); break;
    case Gesture::FitHalf: magnifyGestureEnded(-1); break;
    case Gesture::None: break;
    }
    m_gestureRotation = m_gestureMagnification = 0;
}

bool View::event(QEvent *event)
{
    // Draw Strip's keys come before the window's shortcuts (Backspace would delete LEDs).
    if (event->type() == QEvent::ShortcutOverride && isStripKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = ledToolTip(pointFromEvent(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        switch (gesture->gestureType()) {
        case Qt::BeginNativeGesture:
            m_gestureRotation = m_gestureMagnification = 0;
            return true;
        // Both readings arrive as steps and are summed over the whole gesture.
        case Qt::RotateNativeGesture:
            m_gestureRotation += gesture->value();
            return true;
        case Qt::ZoomNativeGesture:
            m_gestureMagnification += gesture->value();
            return true;
        case Qt::SmartZoomNativeGesture:
            scaleToFit();
            return true;
        case Qt::EndNativeGesture:
            gestureEnded();
            return true;
        default:
            break;
        }
    }
    if (event->type() == QEvent::Gesture) {
        auto *gestures = static_cast<QGestureEvent *>(event);
        if (auto *pinch = static_cast<QPinchGesture *>(gestures->gesture(Qt::PinchGesture))) {
            if (pinch->state() == Qt::GestureUpdated || pinch->state() == Qt::GestureStarted) {
                // The pinch reports its totals so far.
                m_gestureRotation = pinch->totalRotationAngle();
                m_gestureMagnification = pinch->totalScaleFactor() - 1;
            } else if (pinch->state() == Qt::GestureFinished) {
                gestureEnded();
            } else if (pinch->state() == Qt::GestureCanceled) {
                m_gestureRotation = m_gestureMagnification = 0;
            }
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace lumora
