#pragma once

#include "SketchPattern.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <optional>

namespace lumora {

/// The boards a sketch is written for; `Host` adds a main() that writes frames as PPM.
enum class SketchTarget { Avr, Esp32, Rp2040, Arm, Host };

std::optional<SketchTarget> sketchTargetFromName(const QString &name);
QString sketchTargetName(SketchTarget target);

/// How the LEDs are driven, from the document's output settings, as sketch constants.
struct SketchSettings {
    /// "RGB", "GRB", ... and for each byte sent which of r, g, b (0, 1, 2) it carries.
    QString colorOrder = "RGB";
    std::array<int, 3> channels = {0, 1, 2};
    int brightness = 100;       // %
    double gamma = 1.0;
    double limitMilliamps = 0;  // 0: no limit
    double milliampsPerChannel = 20;
    double idleMilliampsPerLed = 1;
};

/// Writes an Arduino sketch folder for one pattern: `<name>.ino` (FastLED when it is
/// installed, else a plain byte buffer and a show() hook), the LED coordinates as PROGMEM
/// tables, the pattern and the runtime pieces it uses.
class SketchWriter
{
public:
    /// The files of the sketch whose folder is named `sketchName`, by file name.
    static QList<QPair<QString, QByteArray>> files(const SketchPattern &pattern, const SketchSettings &settings,
                                                   SketchTarget target, const QString &sketchName);
    /// Writes the files into `folder` (made when missing), each through SaveFile. False with
    /// a message naming the file on the first failure.
    static bool write(const QString &folder, const QList<QPair<QString, QByteArray>> &files, QString *error);
};

} // namespace lumora
