#pragma once

#include "script/Instance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora::script::test {

/// Compiles `source`, failing the test with the errors when it does not compile.
inline std::shared_ptr<const Program> compileOrFail(const std::string &source)
{
    std::vector<Diagnostic> errors;
    auto program = Program::compile(source, errors);
    for (const Diagnostic &e : errors)
        ADD_FAILURE() << e.format("pattern") << "\n" << source;
    return program;
}

/// The errors of a source that should not compile.
inline std::vector<Diagnostic> compileErrors(const std::string &source)
{
    std::vector<Diagnostic> errors;
    EXPECT_EQ(Program::compile(source, errors), nullptr) << source;
    return errors;
}

/// Runs the top-level code of `source` and returns the global `name` afterwards.
inline double evaluate(const std::string &source, const std::string &name = "r")
{
    auto program = compileOrFail(source);
    if (!program)
        return std::nan("");
    Instance instance(program);
    double x = 0, y = 0, rgb[3];
    instance.setPositions({&x, 1}, {&y, 1});
    instance.renderFrame(0, rgb);
    if (instance.error())
        ADD_FAILURE() << instance.error()->message << " at " << instance.error()->line << ":"
                      << instance.error()->column;
    return instance.variable(name).value_or(std::nan(""));
}

/// A square grid of `count` LEDs one unit apart, row by row.
struct Grid {
    std::vector<double> x, y;
    explicit Grid(int count)
    {
        int width = 1;
        while (width * width < count)
            ++width;
        for (int i = 0; i < count; ++i) {
            x.push_back(i % width);
            y.push_back(i / width);
        }
    }
};

} // namespace lumora::script::test
