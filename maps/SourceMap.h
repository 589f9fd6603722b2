#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

namespace lumora {

/// What one map reader found, in LED order and in the source's own units, before it is
/// fitted into the layout space. A non-empty error means nothing is imported.
struct SourceMap {
    enum class Units {
        Layout,     // layout units: kept where they lie when they fit the layout space
        Cells,      // integer columns and rows: fitted, one cell one grid step
        Normalised, // 0..1 or any other scale: fitted
    };

    QList<QPointF> points;
    Units units = Units::Layout;
    bool yDown = false;
    QStringList warnings;
    QString error;

    static SourceMap failed(const QString &error);
};

/// One LED as a file numbers it, with where it was found ("line 4", "map element 12").
struct IndexedPoint {
    qint64 index;
    QPointF point;
    QString where;
};

/// Puts the LEDs in the order of their numbers into map.points. Two LEDs with one number
/// are an error naming both places; numbers missing between 0 and the highest are closed up
/// and reported as a warning. Returns false on error.
bool orderByIndex(QList<IndexedPoint> points, SourceMap &map);

/// The line (1-based) of a byte offset, for messages about JSON and XML input.
int lineAt(const QByteArray &data, qsizetype offset);

} // namespace lumora
