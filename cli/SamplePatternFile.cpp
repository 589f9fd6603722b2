// lumora-cli sample --pattern-file: a pattern the user wrote, sampled LED by LED. Such a
// pattern keeps state from frame to frame, so the lines are read first and the frames are
// rendered in order from one fresh run, as the export renders them.
#include "Commands.h"
#include "SampleInput.h"

#include "script/Instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace lumora::cli {

namespace {
/// Bounds that keep a mistyped line from asking for hours of rendering or gigabytes.
constexpr long long maxLeds = 1'000'000;
constexpr long long maxFrame = 100'000;

struct SampleLine {
    long long frame = -1;
    long long index = 0;
    double x = 0, y = 0;
    std::string problem;
};

SampleLine parseLine(const std::string &line)
{
    SampleLine sample;
    const std::vector<std::string> words = splitWords(line);
    if (words.size() != 4) {
        sample.problem = "expected 4 fields T X Y INDEX, found " + std::to_string(words.size());
        return sample;
    }
    try {
        size_t used[4] = {};
        const double t = std::stod(words[0], &used[0]);
        sample.x = std::stod(words[1], &used[1]);
        sample.y = std::stod(words[2], &used[2]);
        sample.index = std::stoll(words[3], &used[3]);
        for (int i = 0; i < 4; ++i)
            if (used[i] != words[size_t(i)].size())
                throw std::invalid_argument("trailing");
        const double frame = t / 0.2;
        if (!std::isfinite(sample.x) || !std::isfinite(sample.y) || !(frame >= -1e-6)
            || std::abs(frame - std::round(frame)) > 1e-6 || std::round(frame) > double(maxFrame))
            sample.problem = "T must be a multiple of 0.2 from 0 to " + std::to_string(maxFrame / 5) +
                             ", X and Y finite numbers";
        else if (sample.index < 0 || sample.index >= maxLeds)
            sample.problem = "INDEX must be from 0 to " + std::to_string(maxLeds - 1);
        else
            sample.frame = std::llround(frame);
    } catch (const std::exception &) {
        sample.problem = "T, X and Y must be numbers and INDEX a whole number";
    }
    return sample;
}
/// Every line of standard input, parsed; each bad one said on stderr, and `anyFailed` set.
std::vector<SampleLine> readLines(bool &anyFailed)
{
    std::vector<SampleLine> lines;
    long long lineNumber = 0;
    for (std::string text; std::getline(std::cin, text);) {
        ++lineNumber;
        lines.push_back(parseLine(text));
        if (!lines.back().problem.empty()) {
            reportLine(lineNumber, lines.back().problem);
            anyFailed = true;
        }
    }
    return lines;
}

/// The LEDs the lines make, in INDEX order.
struct SampleMap {
    std::vector<double> x, y;
    long long count = 0;
};

/// Each INDEX where its first line puts it; LEDs no line names sit on the first one, so
/// that they do not change the map's extent.
SampleMap placeLeds(const std::vector<SampleLine> &lines)
{
    SampleMap map;
    const SampleLine *first = nullptr;
    for (const SampleLine &line : lines)
        if (line.frame >= 0) {
            map.count = std::max(map.count, line.index + 1);
            if (!first)
                first = &line;
        }
    map.x.assign(size_t(map.count), first ? first->x : 0);
    map.y.assign(size_t(map.count), first ? first->y : 0);
    std::vector<char> placed(size_t(map.count), 0);
    for (const SampleLine &line : lines)
        if (line.frame >= 0 && !placed[size_t(line.index)]) {
            placed[size_t(line.index)] = 1;
            map.x[size_t(line.index)] = line.x;
            map.y[size_t(line.index)] = line.y;
        }
    return map;
}

/// Renders frames 0 up to the last one asked for from one fresh run, keeping those asked
/// for; false after the pattern's error.
bool renderFrames(const UserPattern &pattern, const SampleMap &map, std::map<long long, std::vector<double>> &frames)
{
    script::Instance instance(pattern.program());
    instance.setPositions(map.x, map.y);
    for (auto it = pattern.controlValues().begin(); it != pattern.controlValues().end(); ++it) {
        const std::vector<double> values(it.value().begin(), it.value().end());
        instance.setControl(it.key().toStdString(), values);
    }
    std::vector<double> rgb(size_t(map.count) * 3);
    const long long last = frames.rbegin()->first;
    for (long long frame = 0; frame <= last; ++frame) {
        if (!instance.renderFrame(frame == 0 ? 0 : 200, rgb)) {
            const auto &e = *instance.error();
            std::fprintf(stderr, "%s:%d:%d: %s\n", qPrintable(pattern.fileName()), e.line, e.column,
                         e.message.c_str());
            return false;
        }
        if (auto it = frames.find(frame); it != frames.end())
            it->second = rgb;
    }
    return true;
}

} // namespace

int samplePatternFile(const UserPattern &pattern)
{
    bool anyFailed = false;
    const std::vector<SampleLine> lines = readLines(anyFailed);
    std::map<long long, std::vector<double>> frames; // the frames asked for, rendered
    for (const SampleLine &line : lines)
        if (line.frame >= 0)
            frames[line.frame];
    if (!frames.empty() && !renderFrames(pattern, placeLeds(lines), frames))
        return 1;

    for (const SampleLine &line : lines) {
        if (line.frame < 0) {
            std::printf("error\n");
            continue;
        }
        const std::vector<double> &rgb = frames[line.frame];
        const size_t i = size_t(line.index) * 3;
        std::printf("%.17g %.17g %.17g\n", rgb[i], rgb[i + 1], rgb[i + 2]);
    }
    return anyFailed ? 2 : 0;
}

} // namespace lumora::cli
