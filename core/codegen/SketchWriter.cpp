#include "SketchWriter.h"

#include "SketchRuntime.h"
#include "common/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumora {

namespace {

std::string floatText(float v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", double(v));
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s + "f";
}

std::string table(const char *name, const std::vector<float> &values)
{
    std::string out = std::string("const float ") + name + "[LM_NUM_LEDS] PROGMEM = {";
    for (size_t i = 0; i < values.size(); ++i)
        out += (i % 8 == 0 ? "\n    " : " ") + floatText(values[i]) + ",";
    return out + "\n};\n";
}

std::string number(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

const char *prelude = R"(// Made by Lumora. Everything a sketch needs to compute the pattern's colours; no library.
#pragma once

#include <math.h>
#include <stdint.h>

#if defined(__AVR__)
#include <avr/pgmspace.h>
#define LM_READ_FLOAT(p) pgm_read_float(p)
#define LM_READ_BYTE(p) pgm_read_byte(p)
#else
#ifndef PROGMEM
#define PROGMEM
#endif
#define LM_READ_FLOAT(p) (*(const float *)(p))
#define LM_READ_BYTE(p) (*(const uint8_t *)(p))
#endif
#define LM_UNUSED __attribute__((unused))
)";

std::string mainHeader(const SketchPattern &p)
{
    std::string out = prelude;
    const long pool = std::max(1L, p.poolSize), arrays = std::max(1L, p.arrayCount);
    out += "\n#include \"lumora_leds.h\"\n\n";
    out += "typedef " + std::string(pool < 65535 ? "uint16_t" : "uint32_t") + " lm_index_t;\n";
    out += "#define LM_POOL_SIZE " + std::to_string(pool) + "\n";
    out += "#define LM_ARRAY_COUNT " + std::to_string(arrays) + "\n";
    char start[40];
    std::snprintf(start, sizeof start, "0x%016llXULL", static_cast<unsigned long long>(p.randomStart));
    out += std::string("#define LM_RANDOM_START ") + start + "\n\n";
    out += "#include \"lumora_runtime.h\"\n#include \"lumora_pattern.h\"\n\n";
    out += R"(// Call once before the first frame.
static inline void lumora_setup() { lm_patternSetup(); }

// Computes the next frame, `deltaMs` after the last: three bytes r, g, b per LED in LED order.
static void lumora_frame(uint32_t deltaMs, uint8_t *rgb)
{
    lm_nowMs += deltaMs;
    lm_patternBeforeRender((float)deltaMs);
    for (uint16_t i = 0; i < LM_NUM_LEDS; ++i) {
        float c[3];
        lm_patternPixel(i, LM_READ_FLOAT(&lm_ledX[i]), LM_READ_FLOAT(&lm_ledY[i]), c);
        for (uint8_t k = 0; k < 3; ++k)
            rgb[i * 3 + k] = (uint8_t)(c[k] * 255.0f);
    }
}
)";
    return out;
}

std::string settingsHeader(const SketchSettings &s)
{
    std::string out = "// How the LEDs are driven, from the layout's output settings in Lumora.\n#pragma once\n\n";
    out += "#define LED_COLOR_ORDER " + s.colorOrder.toStdString() + "\n";
    out += "#define LED_BRIGHTNESS " + std::to_string(std::clamp(s.brightness, 0, 100)) + " // %\n";
    out += "#define LED_GAMMA " + number(s.gamma) + "\n";
    out += "#define LED_LIMIT_MA " + std::to_string(long(std::lround(s.limitMilliamps))) + " // 0: no limit\n";
    out += "#define LED_MA_PER_CHANNEL " + number(s.milliampsPerChannel) + "\n";
    out += "#define LED_IDLE_MA " + number(s.idleMilliampsPerLed) + "\n";
    out += "// Byte k sent to an LED carries channel LED_CHANNEL_k (0 red, 1 green, 2 blue).\n";
    for (int k = 0; k < 3; ++k)
        out += "#define LED_CHANNEL_" + std::to_string(k) + " " + std::to_string(s.channels[size_t(k)]) + "\n";
    // Brightness and gamma as one table, as the live output applies them.
    const double g = s.gamma > 0 ? s.gamma : 1;
    out += "// out = 255 * (in / 255)^LED_GAMMA * LED_BRIGHTNESS / 100, rounded.\n";
    out += "static const uint8_t ledLevels[256] PROGMEM = {";
    for (int i = 0; i < 256; ++i) {
        const double v = 255 * std::pow(i / 255.0, g) * std::clamp(s.brightness, 0, 100) / 100.0;
        out += (i % 16 == 0 ? "\n    " : " ") + std::to_string(int(std::lround(v))) + ",";
    }
    return out + "\n};\n";
}

const char *inoText = R"(// %1 on %2 LEDs, made by Lumora. Open it in the Arduino IDE (or arduino-cli).
// With FastLED installed it drives a WS2812B strip on DATA_PIN; without it, fill in show().
#include "lumora.h"
#include "lumora_settings.h"

#define DATA_PIN 6

#if !defined(LUMORA_NO_FASTLED) && defined(__has_include)
#if __has_include(<FastLED.h>)
#define LUMORA_FASTLED 1
#endif
#endif

#ifdef LUMORA_FASTLED
#include <FastLED.h>
CRGB leds[LM_NUM_LEDS];
#else
// The frame in the order the LEDs want their bytes.
uint8_t leds[LM_NUM_LEDS * 3];

// Sends the bytes to the LEDs: fill this in for your LEDs and board.
static void show(const uint8_t *bytes, uint16_t count)
{
    (void)bytes;
    (void)count;
}

// Brightness and gamma, the current limit and the colour order, as Lumora's live output
// applies them.
static void prepare(uint8_t *rgb)
{
    float milliamps = 0;
    for (uint16_t i = 0; i < LM_NUM_LEDS * 3; ++i) {
        rgb[i] = LM_READ_BYTE(&ledLevels[rgb[i]]);
        milliamps += rgb[i] * (LED_MA_PER_CHANNEL / 255.0f);
    }
    milliamps += LM_NUM_LEDS * LED_IDLE_MA;
    if (LED_LIMIT_MA > 0 && milliamps > LED_LIMIT_MA) {
        float scale = (LED_LIMIT_MA - LM_NUM_LEDS * LED_IDLE_MA) / (milliamps - LM_NUM_LEDS * LED_IDLE_MA);
        if (scale < 0)
            scale = 0;
        for (uint16_t i = 0; i < LM_NUM_LEDS * 3; ++i)
            rgb[i] = (uint8_t)(rgb[i] * scale);
    }
    for (uint16_t i = 0; i < LM_NUM_LEDS; ++i) {
        uint8_t c[3] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
        rgb[i * 3] = c[LED_CHANNEL_0];
        rgb[i * 3 + 1] = c[LED_CHANNEL_1];
        rgb[i * 3 + 2] = c[LED_CHANNEL_2];
    }
}
#endif

static unsigned long lastMs;

void setup()
{
    lumora_setup();
#ifdef LUMORA_FASTLED
    FastLED.addLeds<WS2812B, DATA_PIN, LED_COLOR_ORDER>(leds, LM_NUM_LEDS);
    if (LED_LIMIT_MA > 0)
        FastLED.setMaxPowerInVoltsAndMilliamps(5, LED_LIMIT_MA);
#endif
    lastMs = millis();
}

void loop()
{
    unsigned long now = millis();
    lumora_frame(now - lastMs, (uint8_t *)leds);
    lastMs = now;
#ifdef LUMORA_FASTLED
    // Brightness and gamma in one table; FastLED then keeps to the current limit.
    uint8_t *bytes = (uint8_t *)leds;
    for (uint16_t i = 0; i < LM_NUM_LEDS * 3; ++i)
        bytes[i] = LM_READ_BYTE(&ledLevels[bytes[i]]);
    FastLED.show();
#else
    prepare(leds);
    show(leds, sizeof leds);
#endif
}
)";

const char *hostMain = R"(// Runs the pattern on this computer: writes N frames (default 10) as a binary PPM to
// stdout, frame i after i calls of the pattern's beforeRender(200), one row per frame.
//   c++ -O2 -o pattern host_main.cpp && ./pattern 20 > frames.ppm
#include "lumora.h"

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    int frames = argc > 1 ? atoi(argv[1]) : 10;
    static uint8_t rgb[LM_NUM_LEDS * 3];
    printf("P6\n%d %d\n255\n", LM_NUM_LEDS, frames);
    lumora_setup();
    for (int f = 0; f < frames; ++f) {
        lumora_frame(f == 0 ? 0 : 200, rgb);
        fwrite(rgb, 1, sizeof rgb, stdout);
    }
    return ferror(stdout) ? 1 : 0;
}
)";

} // namespace

std::optional<SketchTarget> sketchTargetFromName(const QString &name)
{
    const QString n = name.toLower();
    if (n == "avr")
        return SketchTarget::Avr;
    if (n == "esp32")
        return SketchTarget::Esp32;
    if (n == "rp2040")
        return SketchTarget::Rp2040;
    if (n == "arm")
        return SketchTarget::Arm;
    if (n == "host")
        return SketchTarget::Host;
    return std::nullopt;
}

QString sketchTargetName(SketchTarget target)
{
    switch (target) {
    case SketchTarget::Avr: return "avr";
    case SketchTarget::Esp32: return "esp32";
    case SketchTarget::Rp2040: return "rp2040";
    case SketchTarget::Arm: return "arm";
    case SketchTarget::Host: return "host";
    }
    return {};
}

QList<QPair<QString, QByteArray>> SketchWriter::files(const SketchPattern &pattern, const SketchSettings &settings,
                                                     SketchTarget target, const QString &sketchName)
{
    QList<QPair<QString, QByteArray>> out;
    const QString ino = QString::fromUtf8(inoText).arg(QString::fromStdString(pattern.name)).arg(pattern.x.size());
    out.append({sketchName + ".ino", ino.toUtf8()});
    out.append({"lumora.h", QByteArray::fromStdString(mainHeader(pattern))});
    out.append({"lumora_settings.h", QByteArray::fromStdString(settingsHeader(settings))});
    std::string leds = "// The LEDs in LED order, in the coordinates the pattern reads.\n#pragma once\n\n";
    leds += "#define LM_NUM_LEDS " + std::to_string(pattern.x.size()) + "\n";
    leds += table("lm_ledX", pattern.x) + table("lm_ledY", pattern.y);
    out.append({"lumora_leds.h", QByteArray::fromStdString(leds)});
    std::set<std::string> runtime = pattern.runtime;
    runtime.insert({"base", "colour", "time"});
    out.append({"lumora_runtime.h",
                QByteArray::fromStdString("// The functions the pattern uses, for float.\n#pragma once\n\n"
                                          + SketchRuntime::text(runtime))});
    out.append({"lumora_pattern.h",
                QByteArray::fromStdString("// " + pattern.name + ", translated by Lumora.\n#pragma once\n\n" + pattern.code)});
    for (const auto &[name, text] : pattern.headers)
        out.append({QString::fromStdString(name), QByteArray::fromStdString(text)});
    if (target == SketchTarget::Host)
        out.append({"host_main.cpp", QByteArray(hostMain)});
    return out;
}

bool SketchWriter::write(const QString &folder, const QList<QPair<QString, QByteArray>> &files, QString *error)
{
    const bool existed = QDir(folder).exists();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QString("cannot make the folder %1").arg(folder);
        return false;
    }
    // A sketch half written does not build: on a failure the files this call added go again.
    QStringList added;
    for (const auto &[name, bytes] : files) {
        const QString path = QDir(folder).filePath(name);
        const bool isNew = !QFileInfo::exists(path);
        if (!saveFile(path, bytes, error)) {
            for (const QString &a : added)
                QFile::remove(a);
            if (!existed)
                QDir().rmdir(folder);
            return false;
        }
        if (isNew)
            added.append(path);
    }
    return true;
}

} // namespace lumora
