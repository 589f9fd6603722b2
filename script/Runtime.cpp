#include "script/Runtime.h"

#include "script/Nodes.h"
#include "script/Program.h"

namespace lumora::script {

void Runtime::fail(int line, int column, std::string message) const
{
    throw ScriptError{line, column, std::move(message)};
}

void Runtime::startWatch()
{
    deadline = std::chrono::steady_clock::now()
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(Limits::frameSeconds));
    budget = 1 << 16;
}

void Runtime::checkClock(int line, int column)
{
    budget = 1 << 16;
    if (std::chrono::steady_clock::now() > deadline)
        fail(line, column, "stopped after running for more than 1 s (an endless loop?)");
}

void Runtime::notAnArray(double value, const Expr *at) const
{
    fail(at, isFunction(value) ? "a function is not an array" : "not an array");
}

double Runtime::newArray(int64_t length, const Expr *at)
{
    if (length < 0)
        fail(at, "an array cannot have a negative length");
    if (length > Limits::maxArrayLength)
        fail(at, "an array of " + std::to_string(length) + " elements is too large (at most "
                     + std::to_string(Limits::maxArrayLength) + ")");
    if (arrayMemory + length > Limits::maxArrayMemory)
        fail(at, "the pattern's arrays are too large together (at most " + std::to_string(Limits::maxArrayMemory)
                     + " elements)");
    arrayMemory += length;
    arrayStorage.push_back(std::make_unique<double[]>(size_t(length ? length : 1)));
    arrays.emplace_back(arrayStorage.back().get(), size_t(length));
    return arrayValue(uint32_t(arrays.size() - 1));
}

double Runtime::call(double function, const double *args, int count, const Expr *at)
{
    if (!isFunction(function) || handleIndex(function) >= program->functions.size())
        fail(at, isArray(function) ? "an array is not a function" : "not a function");
    return callFunction(program->functions[handleIndex(function)], args, count, at);
}

double Runtime::callFunction(const CompiledFunction &f, const double *args, int count, const Expr *at)
{
    double *frame = sp;
    if (frame + f.frameSize > stackEnd || depth >= Limits::maxDepth)
        fail(at, "too many nested calls (more than " + std::to_string(Limits::maxDepth) + ")");
    int given = std::min(count, f.params);
    for (int i = 0; i < given; ++i)
        frame[i] = args[i];
    for (int i = given; i < f.frameSize; ++i)
        frame[i] = 0;
    double *savedFp = fp;
    sp = frame + f.frameSize;
    fp = frame;
    ++depth;
    tick(at ? at->line : f.line, at ? at->column : f.column);
    double result = nodes::runBody(*this, f);
    --depth;
    fp = savedFp;
    sp = frame;
    return result;
}

} // namespace lumora::script
