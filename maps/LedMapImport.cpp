#include "LedMapImport.h"

#include "CellLattice.h"
#include "CsvMap.h"
#include "PixelblazeMap.h"
#include "SourceMap.h"
#include "WledMap.h"
#include "XLightsModel.h"

#include "document/FileChecks.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace lumora {

namespace {

const QRectF layoutSpace(0, 0, 1024, 768);
// Fitted LEDs keep this far from the edges of the layout space, so none sits on the border.
constexpr double fitMargin = 32;
constexpr qint64 largestMap = qint64(256) << 20;

SourceMap readSource(const QByteArray &data, LedMapFormat format)
{
    switch (format) {
    case LedMapFormat::Csv: return readCsvMap(data);
    case LedMapFormat::Pixelblaze: return readPixelblazeMap(data);
    case LedMapFormat::Wled: return readWledMap(data);
    case LedMapFormat::XModel: return readXLightsModel(data);
    default: return SourceMap::failed(QString("%1 maps cannot be imported; import one of %2")
                                          .arg(formatName(format), formatNames(true)));
    }
}

/// The map from source units to layout coordinates that fits the points, centred.
struct Fit {
    QPointF centre;
    double scale = 1;

    QPointF map(QPointF p) const { return (p - centre) * scale + layoutSpace.center(); }
};

Fit fitFor(const QList<QPointF> &points)
{
    const QRectF box = pointSpread(points);
    Fit fit;
    fit.centre = box.center();
    const double w = box.width(), h = box.height();
    const double sx = w > 0 ? (layoutSpace.width() - 2 * fitMargin) / w : HUGE_VAL;
    const double sy = h > 0 ? (layoutSpace.height() - 2 * fitMargin) / h : HUGE_VAL;
    fit.scale = std::min(sx, sy);
    if (fit.scale == HUGE_VAL)
        fit.scale = 1;
    return fit;
}

/// Layout-unit positions that lie in the layout space are kept, unless they all lie within
/// one unit: such maps are normalised (0..1), not layout units.
bool keptAsTheyAre(const QList<QPointF> &points)
{
    const QRectF box = pointSpread(points);
    const QRectF unit(0, 0, 1, 1);
    const bool normalised = unit.contains(box.topLeft()) && unit.contains(box.bottomRight());
    return layoutSpace.contains(box.topLeft()) && layoutSpace.contains(box.bottomRight()) && !normalised;
}

} // namespace

std::optional<LedMapFormat> detectLedMapFormat(const QByteArray &data)
{
    QByteArray start = data.left(256);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    start = start.trimmed();
    if (start.isEmpty())
        return std::nullopt;
    if (start.startsWith('<'))
        return LedMapFormat::XModel;
    if (start.startsWith('{'))
        return LedMapFormat::Wled;
    if (start.startsWith('[') || start.startsWith("function"))
        return LedMapFormat::Pixelblaze;
    return LedMapFormat::Csv;
}

LedMapImport importLedMap(const QByteArray &data, std::optional<LedMapFormat> format, bool flipY)
{
    LedMapImport result;
    result.format = format ? format : detectLedMapFormat(data);
    if (!result.format) {
        result.error = "the file is empty";
        return result;
    }
    QByteArray text = data;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    SourceMap source = readSource(text, *result.format);
    if (!source.error.isEmpty()) {
        result.error = source.error;
        return result;
    }
    result.warnings = source.warnings;

    const bool flip = source.yDown != flipY;
    QList<QPointF> points = source.points;
    for (QPointF &p : points)
        if (flip)
            p.setY(source.units == SourceMap::Units::Layout ? layoutSpace.height() - p.y() : -p.y());

    if (source.units == SourceMap::Units::Layout && keptAsTheyAre(points)) {
        result.leds = points;
    } else {
        const Fit fit = fitFor(points);
        for (const QPointF &p : points)
            result.leds.append(fit.map(p));
        if (source.units == SourceMap::Units::Cells) {
            const QRectF box = pointSpread(points);
            result.grid = GridHandles{fit.map(box.topLeft()), fit.map(box.topLeft() + QPointF(1, 0)),
                                      fit.map(box.topLeft() + QPointF(0, 1))};
        } else if (source.units == SourceMap::Units::Layout) {
            result.warnings.append("the positions do not fill the layout space as they are; they were fitted into it");
        }
    }

    QSet<QPair<double, double>> seen;
    qsizetype stacked = 0;
    for (const QPointF &led : result.leds)
        if (!seen.contains({led.x(), led.y()}))
            seen.insert({led.x(), led.y()});
        else
            ++stacked;
    if (stacked)
        result.warnings.append(QString("%1 LEDs lie exactly on another LED").arg(stacked));
    return result;
}

LedMapImport importLedMapFile(const QString &fileName, std::optional<LedMapFormat> format, bool flipY)
{
    LedMapImport result;
    // Regular files only, opened without blocking: /dev/zero or a FIFO is refused at once.
    QByteArray bytes;
    if (!readRegularFile(fileName, largestMap, bytes, &result.error))
        return result;
    result = importLedMap(bytes, format, flipY);
    if (!result.ok())
        result.error = QString("%1: %2").arg(fileName, result.error);
    return result;
}

} // namespace lumora
