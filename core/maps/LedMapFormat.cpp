#include "LedMapFormat.h"

#include <QStringList>

namespace lumora {

namespace {

struct FormatInfo {
    LedMapFormat format;
    const char *name;
    const char *title;
    const char *fileName; // %1 is the document name
    bool importable;
};

const FormatInfo formats[] = {
    {LedMapFormat::Wled, "wled", "WLED ledmap.json", "ledmap.json", true},
    {LedMapFormat::WledGaps, "wled-gaps", "WLED 2d-gaps.json", "2d-gaps.json", false},
    {LedMapFormat::Pixelblaze, "pixelblaze", "Pixelblaze map", "%1-pixelblaze.json", true},
    {LedMapFormat::FastLed, "fastled", "FastLED header", "%1-leds.h", false},
    {LedMapFormat::ScreenMap, "screenmap", "FastLED ScreenMap", "%1-screenmap.json", false},
    {LedMapFormat::XModel, "xmodel", "xLights custom model", "%1.xmodel", true},
    {LedMapFormat::Csv, "csv", "CSV (index,x,y,u,v)", "%1.csv", true},
};

const FormatInfo &info(LedMapFormat format)
{
    for (const FormatInfo &f : formats)
        if (f.format == format)
            return f;
    return formats[0];
}

} // namespace

QList<LedMapFormat> ledMapFormats()
{
    QList<LedMapFormat> all;
    for (const FormatInfo &f : formats)
        all.append(f.format);
    return all;
}

QString formatName(LedMapFormat format)
{
    return info(format).name;
}

std::optional<LedMapFormat> formatNamed(const QString &name)
{
    for (const FormatInfo &f : formats)
        if (name == QLatin1String(f.name))
            return f.format;
    return std::nullopt;
}

QString formatNames(bool importableOnly)
{
    QStringList names;
    for (const FormatInfo &f : formats)
        if (f.importable || !importableOnly)
            names.append(f.name);
    return names.join(", ");
}

QString formatTitle(LedMapFormat format)
{
    return info(format).title;
}

QString suggestedFileName(LedMapFormat format, const QString &documentName)
{
    const QString pattern = info(format).fileName;
    return pattern.contains("%1") ? pattern.arg(documentName.isEmpty() ? "leds" : documentName) : pattern;
}

bool canImport(LedMapFormat format)
{
    return info(format).importable;
}

} // namespace lumora
