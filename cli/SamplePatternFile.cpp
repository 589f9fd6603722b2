// lumora-cli sample --pattern-file: a pattern the user wrote, sampled LED by LED. Such a
// pattern keeps state from frame to frame, so the lines are read first and the frames are
// rendered in order from one fresh run, as the export renders them.
#include "Commands.h"

#include "script/Instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
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
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;)
        words.push_back(word);
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
} // namespace

int samplePatternFile(const UserPattern &pattern)
{
    std::vector<SampleLine> lines;
    long long lineNumber = 0;
    bool anyFailed = false;
    for (std::string text; std::getline(std::cin, text);) {
        ++lineNumber;
        lines.push_back(parseLine(text));
        if (!lines.back().problem.empty()) {
            std::fprintf(stderr, "lumora-cli: line %lld: %s\n", lineNumber, lines.back().problem.c_str());
            anyFailed = true;
        }
    }

    // The LEDs: each INDEX where its first line puts it; LEDs no line names sit on the first
    // one, so that they do not change the map's extent.
    long long count = 0;
    const SampleLine *first = nullptr;
    for (const SampleLine &line : lines)
        if (line.frame >= 0) {
            count = std::max(count, line.index + 1);
            if (!first)
                first = &line;
        }
    std::vector<double> x(size_t(count), first ? first->x : 0), y(size_t(count), first ? first->y : 0);
    std::vector<char> placed(size_t(count), 0);
    std::map<long long, std::vector<double>> frames; // the frames asked for, rendered
    for (const SampleLine &line : lines)
        if (line.frame >= 0) {
            if (!placed[size_t(line.index)]) {
                placed[size_t(line.index)] = 1;
                x[size_t(line.index)] = line.x;
                y[size_t(line.index)] = line.y;
            }
            frames[line.frame];
        }

    if (!frames.empty()) {
        script::Instance instance(pattern.program());
        instance.setPositions(x, y);
        for (auto it = pattern.controlValues().begin(); it != pattern.controlValues().end(); ++it) {
            const std::vector<double> values(it.value().begin(), it.value().end());
            instance.setControl(it.key().toStdString(), values);
        }
        std::vector<double> rgb(size_t(count) * 3);
        const long long last = frames.rbegin()->first;
        for (long long frame = 0; frame <= last; ++frame) {
            if (!instance.renderFrame(frame == 0 ? 0 : 200, rgb)) {
                const auto &e = *instance.error();
                std::fprintf(stderr, "%s:%d:%d: %s\n", qPrintable(pattern.fileName()), e.line, e.column,
                             e.message.c_str());
                return 1;
            }
            if (auto it = frames.find(frame); it != frames.end())
                it->second = rgb;
        }
    }

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
