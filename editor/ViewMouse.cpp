// Modes and tools: the mouse and keys forwarded to the current tool, hit testing, modifier
// keys and trackpad gestures.
#include "View.h"

#include "editor/LedToolTip.h"

#include <QGestureEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPinchGesture>
#include <QToolTip>

namespace lumora {

bool View::setMode(const QString &identifier)
{
    const EditingMode *mode = editingMode(identifier);
    if (!mode)
        return false;
    if (mode->colors == ModeColors::Pattern && m_model->gridState() != 3) {
        const char *missing[] = {QT_TR_NOOP("no grid yet"), QT_TR_NOOP("the grid has only its origin"),
                                 QT_TR_NOOP("the grid's y handle is missing")};
        emit statusMessage(tr("Preview needs a complete grid, and %1: place origin, x and y handles in Edit Grid, "
                              "or choose Layout ▸ Fit Grid to LEDs.")
                               .arg(tr(missing[m_model->gridState()])));
        emit previewRefused();
        return false;
    }
    emit toolbarItemSelected(identifier);
    const ModeColors was = m_mode->colors;
    m_mode = mode;
    updateModeTool();
    // The editing modes show the marking, never the colours a preview left behind; only
    // Colors gives the rings colours of their own.
    if (was != ModeColors::Marking && mode->colors == ModeColors::Marking)
        clearPreviewColors(true);
    else if (was == ModeColors::Picture && mode->colors != ModeColors::Picture)
        clearPreviewColors(false);
    QWidget::update();
    if (mode->grid == EditingMode::Grid::Hide)
        hideGrid();
    else if (mode->grid == EditingMode::Grid::Show)
        showGrid();
    if (mode->colors == ModeColors::Pattern)
        updateBitmap();
    if (mode->colors == ModeColors::Picture && (!m_model->background() || (!backgroundPending() && !m_model->bitmap())))
        emit statusMessage(tr("Colors shows the colours of the background picture under the LEDs, and there is "
                              "no picture: drop one on the layout or choose one under Pictures."));
    return true;
}

void View::updateModeTool()
{
    // A press under way stays with the tool that took it.
    if (m_toolMode == m_mode || m_pressed)
        return;
    m_modeTool = m_mode->makeTool(*this);
    m_toolMode = m_mode;
}

void View::startTool(std::unique_ptr<Tool> tool)
{
    std::unique_ptr<Tool> previous = std::move(m_override);
    m_override = std::move(tool);
    if (previous) {
        previous->cancel();
        m_retired = std::move(previous);
    }
    if (const auto shape = m_override->cursor())
        setCursor(*shape);
    m_override->begin();
}

void View::endTool()
{
    if (!m_override)
        return;
    // The tool may be the caller: it lives on until the next one ends.
    m_retired = std::move(m_override);
    unsetCursor();
    QWidget::update();
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

void View::mousePressEvent(QMouseEvent *event)
{
    if (m_panning.press(event))
        return;
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    Tool *current = tool();
    if (current->holdsPresses())
        m_pressed = true;
    current->press(pointFromEvent(event->position()), event);
}

void View::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning.move(event))
        return;
    tool()->move(pointFromEvent(event->position()), event, m_pressed && (event->buttons() & Qt::LeftButton));
}

void View::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning.release(event))
        return;
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const bool pressed = std::exchange(m_pressed, false);
    if (!tool()->release(pointFromEvent(event->position()), event, pressed))
        QWidget::mouseReleaseEvent(event);
    updateModeTool();
}

void View::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!tool()->doubleClick(pointFromEvent(event->position()), event))
        QWidget::mouseDoubleClickEvent(event);
}

void View::flagsChanged(std::optional<Qt::KeyboardModifiers> modifiers)
{
    emit optionImagesChanged(modifiers && isOptionDown(*modifiers));
}

namespace {

/// Arrow keys move the marked LEDs, unless a press is under way; whether the key was used.
bool nudge(DocumentModel *model, QKeyEvent *event, bool pressed)
{
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = 1; break; // the layout's y points up
    case Qt::Key_Down: dy = -1; break;
    default: return false;
    }
    if (!model->isMarked() || pressed)
        return false;
    model->nudge(model->nudgeStep(dx, dy, event->modifiers() & Qt::ShiftModifier));
    return true;
}

} // namespace

void View::keyPressEvent(QKeyEvent *event)
{
    flagsChanged(event->modifiers());
    if (m_panning.key(event, true) || tool()->key(event) || nudge(m_model, event, m_pressed))
        return;
    QWidget::keyPressEvent(event);
}

void View::keyReleaseEvent(QKeyEvent *event)
{
    flagsChanged(event->modifiers());
    if (m_panning.key(event, false))
        return;
    QWidget::keyReleaseEvent(event);
}

bool View::event(QEvent *event)
{
    // A tool's keys come before the window's shortcuts (Backspace would delete LEDs).
    if (event->type() == QEvent::ShortcutOverride && tool()->wantsKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = ledToolTip(*this, pointFromEvent(help->pos()));
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
            m_gesture.restart();
            return true;
        // Both readings arrive as steps and are summed over the whole gesture.
        case Qt::RotateNativeGesture:
            m_gesture.rotateBy(gesture->value());
            return true;
        case Qt::ZoomNativeGesture:
            m_gesture.magnifyBy(gesture->value());
            return true;
        case Qt::SmartZoomNativeGesture:
            m_transforms.scaleToFit();
            return true;
        case Qt::EndNativeGesture:
            m_transforms.gestureEnded(m_gesture.finish());
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
                m_gesture.setTotals(pinch->totalRotationAngle(), pinch->totalScaleFactor() - 1);
            } else if (pinch->state() == Qt::GestureFinished) {
                m_transforms.gestureEnded(m_gesture.finish());
            } else if (pinch->state() == Qt::GestureCanceled) {
                m_gesture.restart();
            }
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace lumora
