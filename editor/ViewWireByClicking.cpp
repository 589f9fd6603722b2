// Wiring by clicking and nudging the marked LEDs with the arrow keys.
#include "View.h"

#include "document/UndoManager.h"

#include <QKeyEvent>

#include <algorithm>

namespace lumora {

void View::startWiring(qsizetype first)
{
    cancelDrawingStrip();
    m_wiringFirst = std::clamp<qsizetype>(first, 0, std::max<qsizetype>(0, ledCount() - 1));
    m_wiringNext = m_wiringFirst;
    m_wired.clear();
    setCursor(Qt::CrossCursor);
    emit wiringChanged();
}

void View::stopWiring()
{
    if (!isWiring())
        return;
    m_wiringFirst = m_wiringNext = -1;
    m_wired.clear();
    unsetCursor();
    emit wiringChanged();
}

bool View::wiringPress(QPointF point)
{
    if (!isWiring())
        return false;
    const NodePtr led = nodeAtPoint(point);
    // A second click on the same LED (a double click, a slip) must not scramble the run.
    if (!led || m_wired.contains(led) || m_wiringNext >= ledCount())
        return true;
    m_model->wire(led, m_wiringNext, m_wiringFirst);
    m_wired.append(led);
    ++m_wiringNext;
    emit wiringChanged();
    if (m_wiringNext >= ledCount())
        stopWiring();
    return true;
}

bool View::wiringKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isWiring()) {
        stopWiring();
        return true;
    }
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = 1; break; // the layout's y points up
    case Qt::Key_Down: dy = -1; break;
    default: return false;
    }
    if (!m_model->isMarked() || m_pressed)
        return false;
    m_model->nudge(m_model->nudgeStep(dx, dy, event->modifiers() & Qt::ShiftModifier));
    return true;
}

} // namespace lumora
