#pragma once

#include <string>

namespace lumora::script {

/// An error in a pattern, at a 1-based line and column of its source.
struct Diagnostic {
    int line = 0;
    int column = 0;
    std::string message;

    /// "FILE:LINE:COL: message", the form compilers and editors understand.
    std::string format(const std::string &fileName) const
    {
        return fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
    }
};

} // namespace lumora::script
