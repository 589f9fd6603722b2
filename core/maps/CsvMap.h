#pragma once

#include "MapExport.h"
#include "SourceMap.h"

namespace lumora {

/// "index,x,y,u,v" and one row per LED: its layout position (y up) and, with a complete grid,
/// its position in grid units (empty otherwise), in the shortest text that reads back exactly.
MapExport writeCsvMap(const LayoutSnapshot &layout);
/// Reads CSV with a header naming its columns: index,x,y (layout units, y up; a z column is
/// dropped with a warning) or index,u,v (camera mappers: any scale, y down). Other columns
/// are ignored, rows may come in any order.
SourceMap readCsvMap(const QByteArray &data);

} // namespace lumora
