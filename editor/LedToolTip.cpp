#include "LedToolTip.h"

#include "editor/View.h"

#include <QLineF>

namespace lumora {

QString ledToolTip(const View &view, QPointF point)
{
    const NodePtr node = view.nodeAtPoint(point);
    if (!node) {
        // The green triangle, a few pixels around it included.
        const QPolygonF marker = view.layoutPainter().startMarker(view.layoutTransform());
        const QPointF at = view.layoutTransform().map(point);
        if (!marker.isEmpty() && (marker.containsPoint(at, Qt::OddEvenFill)
                                  || QLineF(at, marker.boundingRect().center()).length() < 10))
            return View::tr("Start of the LED order: the data line comes in here, at LED 0");
        return {};
    }
    const qsizetype index = view.model()->leds().indexOf(node);
    const QPointF p = node->position();
    QString text = View::tr("LED %1\nLayout %2, %3").arg(index).arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
    const auto grid = view.model()->transform();
    if (const auto inverse = grid ? grid->inverted() : std::nullopt) {
        const QPointF g = inverse->map(p);
        text += View::tr("\nGrid %1, %2").arg(g.x(), 0, 'f', 2).arg(g.y(), 0, 'f', 2);
    } else {
        text += View::tr("\nNo complete grid");
    }
    return text;
}

} // namespace lumora
