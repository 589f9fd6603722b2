// Duplicate markers: a cyan cross on every LED that lies exactly on an earlier LED.
#include "View.h"

#include <QHash>

namespace lumora {

void View::findDuplicates()
{
    // One pass with a hash of the positions seen, so large layouts stay responsive.
    m_duplicates.clear();
    QHash<QPair<double, double>, bool> seen;
    seen.reserve(leds().size());
    for (const NodePtr &node : leds()) {
        const QPointF p = node->position();
        // +0.0 folds −0 onto 0, which compare equal.
        const QPair<double, double> key(p.x() + 0.0, p.y() + 0.0);
        if (seen.contains(key)) {
            auto marker = std::make_shared<Node>();
            marker->setPosition(p);
            m_duplicates.append(marker);
        } else {
            seen.insert(key, true);
        }
    }
}

} // namespace lumora
