#include "Commands.h"
#include "SampleInput.h"

#include "pictures/ImageBitmap.h"
#include "pictures/Picture.h"
#include "patterns/framework/PatternRegistry.h"

#include <QCommandLineParser>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace lumora::cli {

namespace {

bool parseNumber(const std::string &text, double &value)
{
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseNumber(const std::string &text, long long &value)
{
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseBox(const QString &text, BoundingBox &box)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    double values[4];
    for (int i = 0; i < 4; ++i)
        if (!parseNumber(parts[i].trimmed().toStdString(), values[i]))
            return false;
    box = {values[0], values[1], values[2], values[3]};
    return true;
}

/// Gives the Image pattern the --image picture and the --box bounds; false with the exit
/// status after a message.
bool setUpImagePattern(const QCommandLineParser &parser, const QCommandLineOption &imageOption,
                       const QCommandLineOption &boxOption, int &status)
{
    if (parser.isSet(imageOption)) {
        // The editor's own rules: a regular file (a FIFO is refused, not waited on) within
        // the picture limits.
        const PictureLoad load = loadPicture(parser.value(imageOption));
        if (load.image.isNull()) {
            fail(load.problem);
            status = 1;
            return false;
        }
        if (!load.problem.isEmpty())
            fail(load.problem);
        PixelPattern::setBitmap(std::make_shared<ImageBitmap>(load.image));
    }
    if (parser.isSet(boxOption)) {
        BoundingBox box;
        if (!parseBox(parser.value(boxOption), box)) {
            fail(QString("--box wants four numbers BX,BY,BW,BH, not '%1'").arg(parser.value(boxOption)));
            status = 2;
            return false;
        }
        PixelPattern::setBoundingBox(box);
    }
    return true;
}

/// Reads "NAME T X Y INDEX" into the pattern and position; what is wrong with it, if anything.
QString parseSampleLine(const std::string &line, const ColorPattern *&pattern, Position &position)
{
    const std::vector<std::string> words = splitWords(line);
    long long index = 0;
    if (words.size() != 5)
        return QString("expected 5 fields NAME T X Y INDEX, found %1").arg(words.size());
    if (!(pattern = builtIns().named(words[0])))
        return QString("no pattern named '%1'").arg(QString::fromStdString(words[0]));
    if (!parseNumber(words[1], position.time) || !parseNumber(words[2], position.x)
        || !parseNumber(words[3], position.y) || !parseNumber(words[4], index))
        return "T, X and Y must be numbers and INDEX a whole number";
    position.index = index;
    return {};
}

/// Answers each line of standard input with the built-in pattern's colour; 2 when a line
/// was bad.
int sampleBuiltIns()
{
    bool anyFailed = false;
    std::string line;
    long long lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        const ColorPattern *pattern = nullptr;
        Position position;
        if (const QString problem = parseSampleLine(line, pattern, position); !problem.isEmpty()) {
            reportLine(lineNumber, problem.toStdString());
            std::printf("error\n");
            anyFailed = true;
            continue;
        }
        const Color c = pattern->color(position);
        std::printf("%.17g %.17g %.17g\n", c.r, c.g, c.b);
    }
    return anyFailed ? 2 : 0;
}

} // namespace

int runSample(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads lines \"NAME T X Y INDEX\" from standard input and prints \"R G B\" for each:\n"
        "the raw components of the pattern's colour, nothing clamped. A bad line prints \"error\"\n"
        "and a message on stderr; the exit status is then 2.\n"
        "With --pattern-file the lines are \"T X Y INDEX\" for the pattern in FILE.js: the LEDs\n"
        "are the lines' INDEX at X, Y (as the Pixelblaze map gives them: y down), the pattern\n"
        "runs as the export runs it, and T (a multiple of 0.2) picks the frame T/0.2.");
    QCommandLineOption patternFile("pattern-file", "Sample the pattern written in FILE.js.", "FILE.js");
    parser.addOption(patternFile);
    QCommandLineOption imageOption("image", "Picture the Image pattern samples.", "FILE");
    QCommandLineOption boxOption("box", "Bounding box of the LEDs in grid units.", "BX,BY,BW,BH");
    parser.addOption(imageOption);
    parser.addOption(boxOption);
    if (!parseOptions(parser, arguments))
        return 2;
    int status = 0;
    if (!setUpImagePattern(parser, imageOption, boxOption, status))
        return status;
    if (parser.isSet(patternFile)) {
        const std::optional<UserPattern> pattern = loadPatternFile(parser.value(patternFile), &status);
        return pattern ? samplePatternFile(*pattern) : status;
    }
    return sampleBuiltIns();
}

} // namespace lumora::cli
