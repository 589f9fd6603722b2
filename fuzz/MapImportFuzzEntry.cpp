#include "MapImportFuzzEntry.h"

#include "maps/LedMapImport.h"

#include <cmath>

namespace lumora {

namespace {

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

bool isInsideLayoutSpace(QPointF point)
{
    return isFinite(point) && point.x() >= 0 && point.x() <= 1024 && point.y() >= 0 && point.y() <= 768;
}

} // namespace

bool importMapFuzzInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return true;
    QList<LedMapFormat> importable;
    for (LedMapFormat format : ledMapFormats())
        if (canImport(format))
            importable.append(format);
    const int choice = data[0] % (importable.size() + 1);
    const std::optional<LedMapFormat> format =
        choice == 0 ? std::nullopt : std::optional<LedMapFormat>(importable[choice - 1]);
    const bool flipY = data[0] & 0x80;
    const LedMapImport result =
        importLedMap(QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)), format, flipY);
    if (!result.ok())
        return true;
    for (QPointF led : result.leds)
        if (!isInsideLayoutSpace(led))
            return false;
    if (result.grid)
        for (QPointF handle : {result.grid->origin, result.grid->xDirection, result.grid->yDirection})
            if (!isFinite(handle))
                return false;
    return true;
}

} // namespace lumora
