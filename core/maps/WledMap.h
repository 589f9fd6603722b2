#pragma once

#include "MapExport.h"
#include "SourceMap.h"

namespace lumora {

/// WLED's ledmap.json: {"n":…,"width":W,"height":H,"map":[…]} with map[y·W + x] the LED in
/// that cell (origin top-left) and -1 where there is none. WLED finds the text "map":[ and
/// reads integers with atoi up to "]", so the array is written on one line, right after it.
/// LEDs on the wiring between cells are left out, as the unused numbers they are to WLED.
MapExport writeWledMap(const LayoutSnapshot &layout, const QString &name, qint64 maxCells);
/// WLED's 2d-gaps.json: a bare array of W·H entries, 1 where an LED is, -1 where none.
/// WLED numbers the LEDs along its 2D panel's wiring, skipping the -1 cells, so the export
/// finds the wiring that gives the layout's LED order and names it in a note; when none
/// does, it is an error naming the first LED out of order.
MapExport writeWledGaps(const LayoutSnapshot &layout, qint64 maxCells);
/// Reads a ledmap.json back into cells (y down); a map without a width is one row.
SourceMap readWledMap(const QByteArray &data);

} // namespace lumora
