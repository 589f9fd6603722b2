// The sketch built for this computer against the editor's own pattern export: float against
// double, every byte within 2 for at least 99 % of the bytes.

#include "SketchTestSupport.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace lumora;
using namespace lumora::test;

namespace {

constexpr int frames = 25;

// The editor's pattern export of `frames` frames.
QByteArray editorFrames(const QByteArray &source, const QList<QPointF> &leds)
{
    QStringList errors;
    const std::optional<UserPattern> pattern = UserPattern::compile(source, "pattern.js", errors);
    EXPECT_TRUE(pattern);
    QByteArray out;
    renderUserPatternAnimation([&](const char *d, qsizetype n) { out.append(d, n); return true; }, leds, *pattern,
                               frames);
    return out;
}

// The host sketch's frames (its PPM without the header).
QByteArray sketchFrames(const QByteArray &source, const QList<QPointF> &leds, const QString &folder)
{
    if (!writeSketch(source, "pattern.js", leds, SketchTarget::Host, folder))
        return {};
    const QString dir = folder + "/sketch";
    return hostFrames(dir, leds.size(), frames);
}

} // namespace

TEST(SketchAgreement, EverySampleThatTranslatesAgreesWithTheExport)
{
    const QList<QPointF> leds = heartLeds();
    ASSERT_EQ(leds.size(), 48);
    QDirIterator it(QString(LUMORA_TEST_DATA) + "/pattern-samples", {"*.js"});
    int translated = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        const QByteArray source = readAll(file);
        QStringList errors;
        if (!ScriptTranslator::translate(source, file, leds, errors)) {
            // Patterns that call functions held in values are refused, naming the place.
            ASSERT_FALSE(errors.isEmpty());
            EXPECT_TRUE(errors[0].contains(QRegularExpression(":\\d+:\\d+: .*function"))) << errors[0].toStdString();
            continue;
        }
        ++translated;
        QTemporaryDir dir;
        const double share = agreement(sketchFrames(source, leds, dir.path()), editorFrames(source, leds));
        EXPECT_GE(share, 0.99) << file.toStdString();
    }
    EXPECT_GE(translated, 14);
}

// The language's own rules where C++ would differ: && and || give an operand, `var`s start
// at 0 on every call, arrays come from the pool, callbacks run in place, bit operators
// work on 16.16 fixed point, ++ on elements, comparisons give 1 or 0.
TEST(SketchAgreement, LanguageRulesSurviveTranslation)
{
    const QByteArray source = R"(
var a = array(4), b = [3, 1, 2], total = 0, calls = 0
function counted() { var n; n += 1; calls++; return n }
function byValue(x, y) { return y - x }
a.mutate((v, i) => i * 0.25)
b.sortBy(byValue)
total = b.reduce((acc, v) => acc + v, 0)
export function beforeRender(delta) { a[calls % 4]++; a[1] += delta / 1000 }
export function render2D(index, x, y) {
  var pick = (x > 0.5 && 0.75) || (y > 0.5 && 0.25) || 0.125
  var bits = ((index * 3.5) & 7) | (1 << 2) ^ (index >> 1)
  var kept = counted()
  hsv(pick + bits / 16 + kept, (a[index % 4] % 1) + b[0] / 10, total / 6 * (x < y) + 0.2)
}
)";
    const QList<QPointF> leds = heartLeds();
    QTemporaryDir dir;
    EXPECT_GE(agreement(sketchFrames(source, leds, dir.path()), editorFrames(source, leds)), 0.99);
}
