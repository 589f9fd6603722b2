#include "DocumentWriter.h"

#include "common/SaveFile.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace lumora {

namespace {

QByteArray pointRow(QPointF p)
{
    return formatFixed(p.x()) + ',' + formatFixed(p.y()) + ",\n";
}

QByteArray table(const char *header, qsizetype count, const QByteArray &rows, bool leadingBlankLine)
{
    QByteArray text = leadingBlankLine ? "\n" : "";
    return text + header + '[' + QByteArray::number(count) + "] =\n{\n" + rows + "};\n";
}

QByteArray writePoints(const LayoutSnapshot &layout)
{
    QByteArray rows;
    for (const QPointF &led : layout.leds)
        rows += pointRow(led);
    if (layout.leds.isEmpty())
        return {};
    return table("Point points", layout.leds.size(), rows, false);
}

QByteArray writeGrid(const LayoutSnapshot &layout)
{
    if (!layout.grid)
        return {};
    const QByteArray rows = pointRow(layout.grid->origin) + pointRow(layout.grid->xDirection)
        + pointRow(layout.grid->yDirection);
    return table("Point grid", 3, rows, true);
}

QByteArray writeFilenames(const LayoutSnapshot &layout)
{
    if (layout.images.isEmpty())
        return {};
    QByteArray rows;
    for (const QUrl &url : layout.images)
        rows += '"' + urlText(url) + "\",\n";
    return table("String filenames", layout.images.size(), rows, true);
}

/// Whether the tracks table writes this frame: only frames with a selection.
bool written(const AnimationFrame &frame)
{
    return !frame.selection.isEmpty();
}

QByteArray writeAnimation(const LayoutSnapshot &layout)
{
    const qsizetype ledCount = layout.leds.size();
    QByteArray tables;
    qsizetype trackCount = 0;
    for (const TrackPtr &track : layout.animationEditor->tracks()) {
        QByteArray trackText;
        for (const FramePtr &frame : track->frames) {
            if (!written(*frame))
                continue;
            QByteArray values;
            // At most ledCount values, and always the first.
            for (qsizetype i = 0; i < frame->selection.size(); ++i) {
                values += frame->selection[i] ? "1," : "0,";
                if (i + 1 >= ledCount)
                    break;
            }
            trackText += "{\n" + values + "\n},\n";
        }
        if (!trackText.isEmpty()) {
            tables += "{\n" + trackText + "},\n";
            ++trackCount;
        }
    }
    if (trackCount == 0)
        return {};
    return "\n/*\nTrack tracks[" + QByteArray::number(trackCount) + "] =\n{\n" + tables + "};\n*/\n";
}

QByteArray writeAnimationFilenames(const LayoutSnapshot &layout)
{
    // Names go only to the frames and tracks that the tracks table wrote: the reader pairs
    // names with the frames it read, so a name for a left-out frame would shift every later
    // name onto the wrong frame.
    QByteArray tables;
    qsizetype trackCount = 0;
    for (const TrackPtr &track : layout.animationEditor->tracks()) {
        QByteArray rows;
        bool any = false;
        for (const FramePtr &frame : track->frames) {
            if (!written(*frame))
                continue;
            rows += '"' + urlText(frame->url) + "\",\n";
            any = true;
        }
        if (any) {
            tables += "{\n" + rows + "},\n";
            ++trackCount;
        }
    }
    if (trackCount == 0)
        return {};
    return "\n/*\nTrackFilenames trackFilenames[" + QByteArray::number(trackCount) + "] =\n{\n" + tables
        + "};\n*/\n";
}

QByteArray writePositions(const LayoutSnapshot &layout)
{
    if (!layout.grid)
        return {};
    // A grid with parallel axes has no inverse; its LEDs are stored at (0, 0) rather than
    // as garbage, as they are for the patterns.
    const QList<QPointF> gridPoints = layout.points();
    QByteArray rows;
    for (const QPointF &g : gridPoints)
        rows += QByteArray::number(roundHalfAway(2 * g.x())) + ','
            + QByteArray::number(roundHalfAway(2 * g.y())) + ",\n";
    return table("Point positions", gridPoints.size(), rows, true);
}

} // namespace

QByteArray formatFixed(double value)
{
    // "inf" and "nan" would read back as 0. The reader never makes them; should an edit,
    // the nearest value the format holds is written: the largest double for an infinity
    // (read back exactly), 0 for a NaN, which has no nearest value.
    if (std::isnan(value))
        value = 0;
    else if (std::isinf(value))
        value = std::copysign(std::numeric_limits<double>::max(), value);
    char buffer[512];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc())
        return "0.000000";
    return QByteArray(buffer, end - buffer);
}

QByteArray urlText(const QUrl &url)
{
    if (url.isEmpty() || !url.isValid())
        return {};
    QByteArray text = url.toEncoded(QUrl::FullyEncoded);
    text.replace(',', "%2C");
    text.replace('"', "%22");
    return text;
}

QByteArray writeDocument(const LayoutSnapshot &layout)
{
    return writePoints(layout) + writeGrid(layout) + writeFilenames(layout) + writeAnimation(layout)
        + writeAnimationFilenames(layout) + writePositions(layout);
}

bool writeDocumentFile(const LayoutSnapshot &layout, const QString &fileName, QString *error)
{
    return saveFile(fileName, writeDocument(layout), error);
}

} // namespace lumora
