#include "MapExport.h"

#include "CsvMap.h"
#include "FastLedHeader.h"
#include "FastLedScreenMap.h"
#include "PixelblazeMap.h"
#include "WledMap.h"
#include "XLightsModel.h"

#include "document/SaveFile.h"

namespace lumora {

MapExport exportLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name)
{
    switch (format) {
    case LedMapFormat::Wled: return writeWledMap(layout, name);
    case LedMapFormat::WledGaps: return writeWledGaps(layout);
    case LedMapFormat::Pixelblaze: return writePixelblazeMap(layout);
    case LedMapFormat::FastLed: return writeFastLedHeader(layout, name);
    case LedMapFormat::ScreenMap: return writeScreenMap(layout, name);
    case LedMapFormat::XModel: return writeXLightsModel(layout, name);
    case LedMapFormat::Csv: return writeCsvMap(layout);
    }
    return {};
}

bool saveLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name,
                const QString &fileName, MapExport *result, QString *error)
{
    MapExport map = exportLedMap(format, layout, name);
    const bool saved = saveFile(fileName, map.bytes, error);
    if (result)
        *result = std::move(map);
    return saved;
}

} // namespace lumora
