#pragma once

#include "MapExport.h"
#include "SourceMap.h"

namespace lumora {

/// An xLights custom model (.xmodel): one <custommodel> element whose CustomModel attribute
/// is the cell lattice row by row from the top, 1-based node numbers, "," between cells,
/// ";" between rows and empty cells empty.
MapExport writeXLightsModel(const LayoutSnapshot &layout, const QString &name, qint64 maxCells);
/// Reads CustomModel (layers separated by "|" are laid over each other) or
/// CustomModelCompressed ("node,row,col[,layer];…"). A node in several cells is placed at
/// their centre.
SourceMap readXLightsModel(const QByteArray &data);

} // namespace lumora
