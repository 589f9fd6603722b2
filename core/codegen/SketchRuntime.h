#pragma once

#include <set>
#include <string>

namespace lumora {

/// The C++ functions a generated sketch may need (maths, colour, noise, arrays, time), each
/// written for `float` and for compilers as old as the AVR toolchain's (gnu++98). A sketch
/// carries only the pieces its pattern uses and what those need in turn.
class SketchRuntime
{
public:
    /// The text of the named pieces and their dependencies, each once, in an order that
    /// compiles. Unknown names are ignored.
    static std::string text(const std::set<std::string> &names);
    /// Whether a piece of that name exists.
    static bool has(const std::string &name);
};

} // namespace lumora
