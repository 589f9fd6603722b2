#pragma once

#include "script/Diagnostic.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumora::script {

enum class Tok {
    End,
    Number,
    Name,
    Punct, // operators and brackets; the text says which
};

/// One token of a pattern's source, with where it starts (1-based line and column).
struct Token {
    Tok kind = Tok::End;
    std::string text;
    double number = 0;
    int line = 1;
    int column = 1;
    /// The token starts a new line (for `return` and postfix operators without semicolons).
    bool newLine = false;
};

/// Splits a pattern's source into tokens; unknown characters become diagnostics.
std::vector<Token> tokenize(std::string_view source, std::vector<Diagnostic> &errors);

} // namespace lumora::script
