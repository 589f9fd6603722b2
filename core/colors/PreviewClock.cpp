#include "PreviewClock.h"

#include <QDateTime>

namespace lumora {

double PreviewClock::time() const
{
    return m_fixed ? *m_fixed : now();
}

double PreviewClock::now()
{
    static const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return (QDateTime::currentMSecsSinceEpoch() - reference) / 1000.0 * 30;
}

} // namespace lumora
