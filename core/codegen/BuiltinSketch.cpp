#include "BuiltinSketch.h"

#include "patterns/catalogue/PortableCatalogue.h"
#include "patterns/framework/ColorPattern.h"

#include <cstdio>

namespace lumora {

namespace {

std::string floatLiteral(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s + "f";
}

std::string text(std::string_view v)
{
    return std::string(v);
}

std::string code(const ColorPattern &pattern, const PortablePattern &portable)
{
    const bool terms = !portable.termsFunction.empty();
    std::string out = "// " + pattern.name() + ", a built-in pattern of Lumora, computed in float.\n";
    out += "#include \"FloatMath.h\"\n";
    for (const PortableHeader &h : portableHeadersFor(portable.name))
        out += "#include \"" + text(h.name) + "\"\n";
    out += R"(
typedef lumora::portable::FloatMath lm_Math;

// Pattern space and what the pattern works out once per frame, for every LED of the frame.
static lumora::portable::PatternSpace<float> lm_space;
)";
    if (terms)
        out += "static lumora::portable::" + text(portable.termsType) + "<float> lm_terms;\n";
    out += R"(
static void lm_patternSetup() {}

static void lm_patternBeforeRender(float deltaMs)
{
    (void)deltaMs;
    // Animation time T counts seconds of the sketch's clock, so frames 200 ms apart are the
    // rows of the editor's pattern export (T = 0.2 per row). Split to keep the milliseconds
    // exact in float for longer.
    const float T = (float)(lm_nowMs / 1000UL) + (float)(lm_nowMs % 1000UL) * 0.001f;
    lm_space = lumora::portable::patternSpace<float, lm_Math>()";
    out += floatLiteral(pattern.s0) + ", " + floatLiteral(pattern.s1) + ", " + floatLiteral(pattern.r1) + ", "
         + floatLiteral(pattern.speed) + ", T);\n";
    if (terms)
        out += "    lm_terms = lumora::portable::" + text(portable.termsFunction)
             + "<float, lm_Math>(lm_space.time);\n";
    out += R"(}

// Limited to 0..1 as the editor's exports limit colours; NaN becomes 0.
static inline float lm_unit(float v) { return v > 1.0f ? 1.0f : (v > 0.0f ? v : 0.0f); }

static void lm_patternPixel(uint16_t i, float x, float y, float *rgb)
{
    const lumora::portable::Position<float> p = lumora::portable::positionIn(lm_space, x, y, (long long)i);
    const lumora::portable::Color<float> c = lumora::portable::)";
    out += text(portable.colorFunction) + "<float, lm_Math>(p" + (terms ? ", lm_terms" : "") + ");\n";
    out += R"(    rgb[0] = lm_unit(c.r);
    rgb[1] = lm_unit(c.g);
    rgb[2] = lm_unit(c.b);
}
)";
    return out;
}

} // namespace

std::optional<SketchPattern> BuiltinSketch::make(const ColorPattern &pattern, const QList<QPointF> &gridPoints,
                                                 QString *error)
{
    const std::string name = pattern.name();
    const PortablePattern *portable = portablePattern(name);
    if (!portable) {
        if (error)
            *error = name == "Image"
                ? QString("the pattern Image reads a picture and cannot be computed on a microcontroller")
                : QString("the pattern %1 cannot be written as code").arg(QString::fromStdString(name));
        return std::nullopt;
    }
    SketchPattern sketch;
    sketch.name = name;
    sketch.x.reserve(std::size_t(gridPoints.size()));
    sketch.y.reserve(std::size_t(gridPoints.size()));
    for (const QPointF &p : gridPoints) {
        sketch.x.push_back(float(p.x()));
        sketch.y.push_back(float(p.y()));
    }
    sketch.code = code(pattern, *portable);
    sketch.runtime = {"time"};
    const PortableHeader *math = portableHeader("FloatMath.h");
    if (math)
        sketch.headers.emplace_back(text(math->name), text(math->text));
    for (const PortableHeader &h : portableHeadersFor(name))
        sketch.headers.emplace_back(text(h.name), text(h.text));
    return sketch;
}

} // namespace lumora
