#pragma once

#include "script/Ast.h"
#include "script/Diagnostic.h"

#include <string_view>
#include <vector>

namespace lumora::script {

/// Parses a pattern's source. Every syntax error goes to `errors`; the parser recovers at
/// the next statement so that one mistake does not hide the others.
Script parse(std::string_view source, std::vector<Diagnostic> &errors);

} // namespace lumora::script
