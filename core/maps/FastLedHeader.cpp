#include "FastLedHeader.h"

#include "CellLattice.h"

#include "common/HeaderText.h"

#include <cmath>
#include <numbers>

namespace lumora {

namespace {

// avr-gcc refuses arrays of 32 KiB or more ("size of array is too large").
constexpr qint64 largestAvrArray = 32767;

/// A C initialiser list, sixteen values to a line.
QByteArray valueRows(const QList<qint64> &values)
{
    QByteArray out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        out += (i % 16 == 0) ? "    " : " ";
        out += QByteArray::number(values[i]) + ',';
        if (i % 16 == 15 || i + 1 == values.size())
            out += '\n';
    }
    return out;
}

QByteArray byteArray(const char *name, const QList<qint64> &values)
{
    return QByteArray("const uint8_t ") + name + "[NUM_LEDS] PROGMEM = {\n" + valueRows(values) + "};\n";
}

qint64 toByte(double fraction)
{
    return std::clamp<qint64>(std::lround(fraction * 255), 0, 255);
}

/// The smallest unsigned type holding every value up to `largest`, with its PROGMEM reader.
std::pair<QByteArray, QByteArray> cellType(qint64 largest)
{
    if (largest <= 0xFF)
        return {"uint8_t", "pgm_read_byte"};
    if (largest <= 0xFFFF)
        return {"uint16_t", "pgm_read_word"};
    return {"uint32_t", "pgm_read_dword"};
}

} // namespace

MapExport writeFastLedHeader(const LayoutSnapshot &layout, const QString &name, qint64 maxCells)
{
    const QList<QPointF> &leds = layout.leds;
    const CellLattice lattice = CellLattice::forLayout(leds, layout.grid, maxCells);
    MapExport map;
    map.notes = lattice.notes();
    if (!lattice.fits()) {
        map.error = lattice.tooLarge();
        return map;
    }
    for (const QString &message : lattice.sharingMessages())
        map.lost.append(message + "; only the first is in XYTable");

    const QRectF box = pointSpread(leds);
    const QPointF centre = box.center();
    double farthest = 0;
    for (const QPointF &led : leds)
        farthest = std::max(farthest, std::hypot(led.x() - centre.x(), led.y() - centre.y()));

    QList<qint64> xs, ys, angles, radii;
    for (const QPointF &led : leds) {
        xs.append(box.width() > 0 ? toByte((led.x() - box.left()) / box.width()) : 0);
        ys.append(box.height() > 0 ? toByte((box.bottom() - led.y()) / box.height()) : 0);
        // Angle 0 points right and grows clockwise on screen (y down), a full turn being 256.
        const double angle = std::atan2(centre.y() - led.y(), led.x() - centre.x());
        angles.append(std::lround((angle < 0 ? angle + 2 * std::numbers::pi : angle) / (2 * std::numbers::pi) * 256) % 256);
        radii.append(farthest > 0 ? toByte(std::hypot(led.x() - centre.x(), led.y() - centre.y()) / farthest) : 0);
    }

    // Cells without an LED get the numbers after the last LED, so a sketch can give them
    // spare entries of its leds[] array; XY_OUTSIDE is the number after those.
    QList<qint64> table;
    qint64 next = leds.size();
    for (int owner : lattice.owners())
        table.append(owner >= 0 ? owner : next++);
    const qint64 outside = next;
    const auto [type, reader] = cellType(outside);
    const qint64 tableBytes = table.size() * (type == "uint8_t" ? 1 : type == "uint16_t" ? 2 : 4);
    if (tableBytes > largestAvrArray) {
        const QString cells = QString("%1 × %2").arg(lattice.width()).arg(lattice.height());
        map.error = QString("XYTable would take %1 bytes, more than an AVR holds in one array (32 KiB): %2; "
                            "move them apart or lay a grid over the layout")
                        .arg(tableBytes)
                        .arg(lattice.fromGrid() ? QString("the grid's cells make a %1 table").arg(cells)
                                                : lattice.closestLeds() + " and need a " + cells + " lattice");
        return map;
    }
    // XY() takes the coordinates FastLED's own XY functions do, wider when the table is.
    const QByteArray coordinate = lattice.width() > 255 || lattice.height() > 255 ? "uint16_t" : "uint8_t";
    // Sketches read every array with the pgm_read_* of its type; each gets a fallback of its
    // own, for hosts and boards without <pgmspace.h>.
    QByteArray readers;
    for (const auto &[readerName, readerType] : {std::pair<const char *, const char *>{"pgm_read_byte", "uint8_t"},
                                                 {"pgm_read_word", "uint16_t"},
                                                 {"pgm_read_dword", "uint32_t"}})
        readers += QByteArray("#ifndef ") + readerName + "\n#define " + readerName + "(address) (*(const " + readerType
            + " *)(address))\n#endif\n";

    const QByteArray guard = includeGuard(name.toUtf8() + "_LEDS_H");
    QByteArray commentText = name.toUtf8();
    for (char &c : commentText)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    QByteArray &text = map.bytes;
    text = "// LED map of \"" + commentText + "\" for FastLED, LEDs in LED order.\n"
        "// coordsX, coordsY: position over the layout's bounding box, 0-255, y down.\n"
        "// angles, radii: about the box's centre; angle 0 points right, 64 down; radius 255 is the farthest LED.\n"
        "// XY(x, y): the LED in that cell; cells without one give NUM_LEDS and up, points outside\n"
        "// the table XY_OUTSIDE, so CRGB leds[XY_OUTSIDE + 1] can take any of them.\n"
        "#ifndef " + guard + "\n#define " + guard + "\n\n" + progmemPreamble()
        + readers + "\n"
        "#define NUM_LEDS " + QByteArray::number(leds.size()) + "\n"
        "#define XY_WIDTH " + QByteArray::number(lattice.width()) + "\n"
        "#define XY_HEIGHT " + QByteArray::number(lattice.height()) + "\n"
        "#define XY_OUTSIDE " + QByteArray::number(outside) + "\n\n"
        + byteArray("coordsX", xs) + byteArray("coordsY", ys) + byteArray("angles", angles) + byteArray("radii", radii)
        + "const " + type + " XYTable[XY_WIDTH * XY_HEIGHT] PROGMEM = {\n" + valueRows(table) + "};\n\n"
        "static inline " + type + " XY(" + coordinate + " x, " + coordinate + " y)\n{\n"
        "    if (x >= XY_WIDTH || y >= XY_HEIGHT)\n        return XY_OUTSIDE;\n"
        "    return " + reader + "(&XYTable[(uint32_t)y * XY_WIDTH + x]);\n}\n\n"
        "#endif\n";
    if (leds.size() < 256 && outside > 255)
        map.notes.append(QString("XYTable uses uint16_t: its %1 cells number past 255").arg(table.size()));
    return map;
}

} // namespace lumora
