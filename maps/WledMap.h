#pragma once

#include "MapExport.h"
#include "SourceMap.h"

namespace lumora {

/// WLED's ledmap.json: {"n":…,"width":W,"height":H,"map":[…]} with map[y·W + x] the LED in
/// that cell (origin top-left) and -1 where there is none. WLED finds the text "map":[ and
/// reads integers with atoi up to "]", so the array is written on one line, right after it.
MapExport writeWledMap(const LayoutSnapshot &layout, const QString &name);
/// WLED's 2d-gaps.json: a bare array of W·H entries, 1 where an LED is, -1 where none.
MapExport writeWledGaps(const LayoutSnapshot &layout);
/// Reads a ledmap.json back into cells (y down); a map without a width is one row.
SourceMap readWledMap(const QByteArray &data);

} // namespace lumora
