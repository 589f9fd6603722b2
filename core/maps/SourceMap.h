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
    /// Each point's LED number as the file gives it, ascending and without repeats; empty
    /// for maps whose LEDs are numbered by their place in the file. Numbers the file skips
    /// are LEDs it does not place.
    QList<qint64> numbers;
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

/// Puts the LEDs in the order of their numbers into map.points and the numbers into
/// map.numbers. A number named again keeps its first place and is reported as a warning
/// (WLED reads such maps); a negative number is an error. Returns false on error.
bool orderByIndex(QList<IndexedPoint> points, SourceMap &map);

/// The line (1-based) of a byte offset, for messages about JSON and XML input.
int lineAt(const QByteArray &data, qsizetype offset);

} // namespace lumora
