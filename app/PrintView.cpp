#include "PrintView.h"

#include "editor/View.h"

#include <QPainter>

namespace lumora {

QList<QRectF> PrintView::circles(QSizeF area) const
{
    QList<QRectF> result;
    if (!m_view)
        return result;
    const QRectF r = LayoutTransforms::bounds(*m_view->model(), false);
    const double off = LayoutTransforms::boundsOffset(*m_view->model());
    const double W = area.width(), H = area.height();
    const double k = std::min(W / (r.width() + off), H / (r.height() + off));
    const QPointF c(r.x() + (r.width() - 1) * 0.5, r.y() + (r.height() - 1) * 0.5);
    for (const NodePtr &node : m_view->model()->leds()) {
        const QPointF p = node->position();
        // The layout's y grows upwards, the page's downwards.
        const QPointF centre((p.x() - c.x()) * k + W * 0.5, H - ((p.y() - c.y()) * k + H * 0.5));
        result.append(QRectF(centre.x() - 17, centre.y() - 17, 34, 34));
    }
    return result;
}

void PrintView::draw(QPainter &painter, QSizeF area) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    const QList<QRectF> all = circles(area);
    for (const QRectF &circle : all)
        painter.drawEllipse(circle);
    // The LED numbers when the editor shows them, beside each circle's upper right.
    if (m_view && m_view->areNumbersShown()) {
        QFont font = painter.font();
        font.setPointSizeF(8);
        painter.setFont(font);
        for (qsizetype i = 0; i < all.size(); ++i)
            painter.drawText(QPointF(all[i].right() - 4, all[i].top() + 2), QString::number(i));
    }
    painter.restore();
}

} // namespace lumora
