#include "PreviewMotion.h"

#include "patterns/framework/ColorPattern.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>

namespace lumora {

PreviewMotion::PreviewMotion(const ColorPattern &pattern, double T)
{
    m_scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    m_sin = std::sin(angle);
    m_cos = std::cos(angle);
    m_time = pattern.speed * T;
}

Position PreviewMotion::at(QPointF g, qint64 index) const
{
    Position position;
    position.time = m_time;
    const double X = g.x() * m_scale, Y = g.y() * m_scale;
    position.x = m_cos * X - m_sin * Y;
    position.y = m_sin * X + m_cos * Y;
    position.index = index;
    return position;
}

double PreviewMotion::now()
{
    static const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return (QDateTime::currentMSecsSinceEpoch() - reference) / 1000.0 * 30;
}

} // namespace lumora
