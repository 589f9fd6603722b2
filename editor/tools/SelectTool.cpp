#include "SelectTool.h"

#include "editor/View.h"

#include <QPainter>
#include <QPainterPath>

namespace lumora {

void SelectTool::mouseDown(QPointF p)
{
    if (selectNode(p))
        return;
    deselectNode();
    m_rubberband = std::make_shared<RectangleNode>();
    m_rubberband->setPosition(p);
    m_rubberband->setRectangle(QRectF());
    m_view.update();
}

void SelectTool::mouseDragged(QPointF p)
{
    if (!m_rubberband)
        return LedDragTool::mouseDragged(p);
    const QPointF r = m_rubberband->position();
    m_rubberband->setRectangle(QRectF(0, 0, p.x() - r.x(), p.y() - r.y()));
    m_view.update();
}

void SelectTool::mouseUp(QPointF p, Qt::KeyboardModifiers modifiers)
{
    DocumentModel *model = m_view.model();
    if (m_rubberband) {
        const QRectF r = m_rubberband->rectangle().translated(m_rubberband->position()).normalized();
        const bool option = isOptionDown(modifiers);
        const bool shift = modifiers & Qt::ShiftModifier;
        // One change of the marking, one flat record, however many LEDs it spans.
        QList<bool> marking = model->marking();
        const QList<NodePtr> &list = model->leds();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QPointF q = list[i]->position();
            const bool inside = q.x() >= r.left() && q.x() < r.right() && q.y() >= r.top() && q.y() < r.bottom();
            if (inside)
                marking[i] = option ? !marking[i] : true;
            else if (!option && !shift)
                marking[i] = false;
        }
        model->changeMarking(marking);
        m_rubberband.reset();
        m_view.update();
    } else if (m_selectedNode && !moved()) {
        if (m_selectedNode->isMarked())
            model->unmarkLed(m_selectedNode);
        else
            model->markLed(m_selectedNode);
    }
    LedDragTool::mouseUp(p, modifiers);
}

void SelectTool::paintOverlay(QPainter &painter)
{
    if (!m_rubberband)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    painter.setTransform(m_view.layoutTransform(), true);
    painter.translate(m_rubberband->position());
    const QColor band = m_view.palette().color(QPalette::Highlight);
    QColor inside = band;
    inside.setAlphaF(0.1);
    painter.setPen(QPen(band, 1));
    painter.setBrush(QBrush(inside));
    QPainterPath path;
    path.addRect(m_rubberband->rectangle());
    painter.drawPath(path);
    painter.restore();
}

} // namespace lumora
