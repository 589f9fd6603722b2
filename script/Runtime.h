#pragma once

#include "script/Value.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <span>
#include <vector>

namespace lumora::script {

struct Runtime;

/// A fault while a pattern runs; the instance stops and shows black.
struct ScriptError {
    int line = 0;
    int column = 0;
    std::string message;
};

/// A compiled expression. Every node knows where it came from for runtime errors.
struct Expr {
    int line = 0;
    int column = 0;
    virtual ~Expr() = default;
    virtual double eval(Runtime &rt) const = 0;
};

enum class Flow { Normal, Break, Continue, Return };

/// A compiled statement.
struct Stmt {
    int line = 0;
    int column = 0;
    virtual ~Stmt() = default;
    virtual Flow exec(Runtime &rt) const = 0;
};

/// A function of the pattern after compilation: its frame is `frameSize` doubles, the
/// parameters first.
struct CompiledFunction {
    std::string name;
    int params = 0;
    int frameSize = 0;
    std::unique_ptr<Stmt> body;     // a block body
    std::unique_ptr<Expr> result;   // or the expression of an arrow function
    bool exported = false;
    int line = 0;
    int column = 0;
};

/// Limits that keep a bad pattern from taking the program down.
struct Limits {
    static constexpr int maxDepth = 200;                  // nested calls
    static constexpr int64_t maxArrayLength = 1 << 22;    // elements in one array
    static constexpr int64_t maxArrayMemory = 1 << 24;    // elements in all arrays together
    static constexpr int stackSize = 1 << 16;             // doubles of locals in all frames
    static constexpr double frameSeconds = 1.0;           // the watchdog's limit for one run
};

struct Program;

/// The mutable state of one pattern instance: globals, arrays, call frames, the current
/// pixel and the built-ins' state. Compiled nodes read and write it.
struct Runtime {
    const Program *program = nullptr;
    std::vector<double> globals;
    double *gp = nullptr; // globals.data(), read by every global access
    std::vector<double> stack;
    double *fp = nullptr;
    double *sp = nullptr;
    double *stackEnd = nullptr;
    int depth = 0;
    double ret = 0;

    // Arrays never grow or go away (as on the device), so their storage stays put while
    // callbacks add arrays; a handle indexes `arrays`.
    std::vector<std::span<double>> arrays;
    std::vector<std::unique_ptr<double[]>> arrayStorage;
    int64_t arrayMemory = 0;

    // The pixel being rendered.
    double r = 0, g = 0, b = 0;

    double nowMs = 0;
    uint64_t randomState = 0;
    uint32_t prngState = 0;
    std::vector<double> palette; // position, r, g, b per entry
    double paletteHandle = 0;
    int perlinWrap[3] = {256, 256, 256};

    // The coordinate transform: a 4x4 matrix applied to (x, y, z, 1), row major.
    double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool transformed = false;
    int pixelCount = 0;
    int mapDimensions = 2;
    const std::vector<double> *worldX = nullptr;
    const std::vector<double> *worldY = nullptr;

    // The watchdog: loops and calls count down `budget`; at zero the clock is read.
    int64_t budget = 0;
    std::chrono::steady_clock::time_point deadline;
    const Expr *where = nullptr; // the call site of a built-in, for its errors

    [[noreturn]] void fail(int line, int column, std::string message) const;
    [[noreturn]] void fail(const Expr *at, std::string message) const
    {
        fail(at ? at->line : 0, at ? at->column : 0, std::move(message));
    }
    [[noreturn]] void failHere(std::string message) const { fail(where, std::move(message)); }

    void tick(int line, int column)
    {
        if (--budget < 0)
            checkClock(line, column);
    }
    void checkClock(int line, int column);
    void startWatch();

    std::span<double> array(double handle, const Expr *at)
    {
        uint32_t i = handleIndex(handle);
        if (!isArray(handle) || i >= arrays.size()) [[unlikely]]
            notAnArray(handle, at);
        return arrays[i];
    }
    [[noreturn]] void notAnArray(double value, const Expr *at) const;
    double newArray(int64_t length, const Expr *at);

    /// Calls a function value with arguments; errors name `at`.
    double call(double function, const double *args, int count, const Expr *at);
    double callFunction(const CompiledFunction &f, const double *args, int count, const Expr *at);
};

} // namespace lumora::script
