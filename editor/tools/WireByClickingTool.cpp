#include "WireByClickingTool.h"

#include "editor/View.h"

#include <QKeyEvent>

#include <algorithm>

namespace lumora {

WireByClickingTool::WireByClickingTool(View &view, qsizetype first)
    : Tool(view),
      m_first(std::clamp<qsizetype>(first, 0, std::max<qsizetype>(0, view.model()->ledCount() - 1))),
      m_next(m_first)
{
}

void WireByClickingTool::press(QPointF point, QMouseEvent *)
{
    DocumentModel *model = m_view.model();
    const NodePtr led = m_view.nodeAtPoint(point);
    // A second click on the same LED (a double click, a slip) must not scramble the run.
    if (!led || m_wired.contains(led) || m_next >= model->ledCount())
        return;
    model->wire(led, m_next, m_first);
    m_wired.append(led);
    ++m_next;
    emit m_view.wiringChanged();
    if (m_next >= model->ledCount())
        stop();
}

void WireByClickingTool::move(QPointF point, QMouseEvent *, bool)
{
    m_view.setCursor(m_view.nodeAtPoint(point) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

bool WireByClickingTool::key(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    stop();
    return true;
}

void WireByClickingTool::begin()
{
    emit m_view.wiringChanged();
}

void WireByClickingTool::cancel()
{
    emit m_view.wiringChanged();
}

void WireByClickingTool::stop()
{
    View &view = m_view;
    view.endTool();
    emit view.wiringChanged();
}

} // namespace lumora
