#include "MapExport.h"

#include "CsvMap.h"
#include "FastLedHeader.h"
#include "FastLedScreenMap.h"
#include "PixelblazeMap.h"
#include "WledMap.h"
#include "XLightsModel.h"

#include "common/SaveFile.h"

namespace lumora {

MapExport exportLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name, qint64 maxCells)
{
    switch (format) {
    case LedMapFormat::Wled: return writeWledMap(layout, name, maxCells);
    case LedMapFormat::WledGaps: return writeWledGaps(layout, maxCells);
    case LedMapFormat::Pixelblaze: return writePixelblazeMap(layout);
    case LedMapFormat::FastLed: return writeFastLedHeader(layout, name, maxCells);
    case LedMapFormat::ScreenMap: return writeScreenMap(layout, name);
    case LedMapFormat::XModel: return writeXLightsModel(layout, name, maxCells);
    case LedMapFormat::Csv: return writeCsvMap(layout);
    }
    return {};
}

bool saveLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name,
                const QString &fileName, MapExport *result, QString *error, qint64 maxCells)
{
    MapExport map = exportLedMap(format, layout, name, maxCells);
    bool saved = false;
    if (!map.ok()) {
        if (error)
            *error = map.error;
    } else {
        saved = saveFile(fileName, map.bytes, error);
    }
    if (result)
        *result = std::move(map);
    return saved;
}

} // namespace lumora
