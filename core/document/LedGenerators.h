#pragma once

#include "GridTransform.h"

#include <QList>
#include <QPointF>

namespace lumora {

// LED generators: pure functions that return layout positions (y up) in LED order. Bad input
// (a count below 1, a non-finite number, a spacing of 0) gives no LEDs rather than a guess;
// callers say so to the user.

/// The most LEDs one generator call makes, so that a typing slip cannot exhaust memory.
constexpr int maxGeneratedLeds = 100000;

/// `count` LEDs evenly from `from` to `to`, both ends included (one LED sits at `from`).
QList<QPointF> stripPositions(QPointF from, QPointF to, int count);
/// `count` LEDs evenly by length along the polyline through `points`, both ends included.
QList<QPointF> polylineByCount(const QList<QPointF> &points, int count);
/// An LED every `spacing` units of length along the polyline, starting on its first point;
/// the last LED lies at most `spacing` before the end.
QList<QPointF> polylineBySpacing(const QList<QPointF> &points, double spacing);

/// The length of the polyline through `points`.
double polylineLength(const QList<QPointF> &points);

/// How a strip fills its line: a number of LEDs from end to end, or one every so many units.
struct StripPlacement {
    enum By { Count, Spacing };
    By by = Count;
    int count = 30;
    double spacing = 20;
};
/// The strip along the polyline as the placement asks (by count or by spacing).
QList<QPointF> stripAlong(const QList<QPointF> &points, const StripPlacement &placement);

/// N LEDs on a circle or an arc. Angles in degrees, 0 along +x, counterclockwise on the
/// screen (the layout's y points up). A sweep of 360° or more is a closed ring: the LEDs
/// divide it evenly and none sits on the first one. A shorter arc has an LED on both ends.
struct RingLayout {
    int count = 24;
    QPointF center{512, 384};
    double radius = 200;
    double startAngle = 0;
    double sweep = 360;
    bool clockwise = false;
};
QList<QPointF> ringPositions(const RingLayout &layout);

/// A W × H matrix of LEDs. LED 0 sits in the start corner; the wiring runs along rows (or
/// columns), either every row in the same direction (progressive) or turning back at each
/// row end (serpentine).
struct MatrixLayout {
    enum Corner { TopLeft, TopRight, BottomLeft, BottomRight };
    int width = 16;
    int height = 16;
    bool columns = false;
    bool serpentine = false;
    Corner start = TopLeft;
};
/// The cells (column from the left, row from the bottom) in LED order.
QList<QPoint> matrixCells(const MatrixLayout &layout);
/// The matrix centred on `center`, `spacing` units between neighbours.
QList<QPointF> matrixPositions(const MatrixLayout &layout, QPointF center, double spacing);
/// One LED per grid step: the cell (c, r) sits on the grid point `firstCell` + (c, r).
QList<QPointF> matrixOnGrid(const MatrixLayout &layout, const GridTransform &grid, QPointF firstCell);
/// The spacing (at most `preferred`) at which the matrix fits into the layout space with a
/// margin of 32 units on every side.
double fittingMatrixSpacing(int width, int height, double preferred = 40);

} // namespace lumora
