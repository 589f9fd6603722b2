#include "LedMapImport.h"

#include "CellLattice.h"
#include "CsvMap.h"
#include "PixelblazeMap.h"
#include "SourceMap.h"
#include "WledMap.h"
#include "XLightsModel.h"

#include "common/FileChecks.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace lumora {

namespace {

const QRectF layoutSpace(0, 0, 1024, 768);
// Fitted LEDs keep this far from the edges of the layout space, so none sits on the border.
constexpr double fitMargin = 32;
// Numbers beyond this are closed up rather than filled in, so a stray number cannot make
// millions of LEDs.
constexpr qint64 largestFill = 1 << 20;
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

QString numberRange(qint64 first, qint64 last)
{
    return first == last ? QString("LED %1").arg(first) : QString("LEDs %1–%2").arg(first).arg(last);
}

QPointF clampedToLayout(QPointF p)
{
    return QPointF(std::clamp(p.x(), layoutSpace.left(), layoutSpace.right()),
                   std::clamp(p.y(), layoutSpace.top(), layoutSpace.bottom()));
}

/// One line per run of numbers the map skips.
QStringList skippedRuns(const QList<qint64> &numbers)
{
    QStringList runs;
    if (!numbers.isEmpty() && numbers[0] > 0)
        runs.append(QString("%1, before LED %2").arg(numberRange(0, numbers[0] - 1)).arg(numbers[0]));
    for (qsizetype j = 1; j < numbers.size(); ++j)
        if (numbers[j] > numbers[j - 1] + 1)
            runs.append(QString("%1, between LEDs %2 and %3")
                            .arg(numberRange(numbers[j - 1] + 1, numbers[j] - 1)).arg(numbers[j - 1]).arg(numbers[j]));
    return runs;
}

/// The map's points with the LEDs it skips filled in, in LED order; `filled` gets their
/// numbers.
QList<QPointF> withSkippedLeds(const QList<QPointF> &points, const QList<qint64> &numbers, QList<qsizetype> &filled)
{
    QList<QPointF> all;
    all.reserve(numbers.last() + 1);
    if (numbers[0] > 0) {
        // Before the first placed LED the wire goes on with the step of the first two.
        const QPointF step = numbers.size() > 1 ? (points[1] - points[0]) / double(numbers[1] - numbers[0]) : QPointF();
        for (qint64 m = 0; m < numbers[0]; ++m) {
            all.append(points[0] - step * double(numbers[0] - m));
            filled.append(m);
        }
    }
    for (qsizetype j = 0; j < numbers.size(); ++j) {
        if (j > 0 && numbers[j] > numbers[j - 1] + 1) {
            const qint64 from = numbers[j - 1], to = numbers[j];
            for (qint64 m = from + 1; m < to; ++m) {
                all.append(points[j - 1] + (points[j] - points[j - 1]) * (double(m - from) / double(to - from)));
                filled.append(m);
            }
        }
        all.append(points[j]);
    }
    return all;
}

QString closingNote(const QStringList &runs, qsizetype missing)
{
    return QString("the LED numbers skip %1 (%2 missing in all); the LEDs after a gap move up to close it")
        .arg(runs.mid(0, 5).join("; ") + (runs.size() > 5 ? "; …" : "")).arg(missing);
}

} // namespace

void LedMapImport::closeGaps()
{
    if (filled.isEmpty())
        return;
    QList<QPointF> kept;
    kept.reserve(leds.size() - filled.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < leds.size(); ++i) {
        if (next < filled.size() && filled[next] == i) {
            ++next;
            continue;
        }
        kept.append(leds[i]);
    }
    leds = kept;
    gapNote = closingNote(filledRuns, filled.size());
    filled.clear();
    filledRuns.clear();
}

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
    // Only the LEDs the map places decide the fit, so filling leaves them where they were.
    QList<QPointF> all = points;
    const bool skips = !source.numbers.isEmpty() && source.numbers.last() + 1 > source.numbers.size();
    if (skips) {
        result.filledRuns = skippedRuns(source.numbers);
        if (source.numbers.last() < largestFill) {
            all = withSkippedLeds(points, source.numbers, result.filled);
        } else {
            result.gapNote = closingNote(result.filledRuns, source.numbers.last() + 1 - source.numbers.size())
                + QString("; numbers up to %1 are too many to fill in").arg(source.numbers.last());
            result.filledRuns.clear();
        }
    }

    if (source.units == SourceMap::Units::Layout && keptAsTheyAre(points)) {
        result.leds = all;
    } else {
        const Fit fit = fitFor(points);
        for (const QPointF &p : all)
            result.leds.append(fit.map(p));
        if (source.units == SourceMap::Units::Cells) {
            const QRectF box = pointSpread(points);
            result.grid = GridHandles{fit.map(box.topLeft()), fit.map(box.topLeft() + QPointF(1, 0)),
                                      fit.map(box.topLeft() + QPointF(0, 1))};
        } else if (source.units == SourceMap::Units::Layout) {
            result.warnings.append("the positions do not fill the layout space as they are; they were fitted into it");
        }
    }

    for (qsizetype i : result.filled)
        result.leds[i] = clampedToLayout(result.leds[i]);
    if (!result.filled.isEmpty())
        result.gapNote = QString("the map does not place %1 of its LEDs; %2 filled in on the wiring between their "
                                 "neighbours, to be checked: %3")
                             .arg(result.filled.size())
                             .arg(result.filled.size() == 1 ? "it was" : "they were")
                             .arg(result.filledRuns.mid(0, 5).join("; ") + (result.filledRuns.size() > 5 ? "; …" : ""));

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
