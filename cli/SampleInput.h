#pragma once

#include <string>
#include <vector>

namespace lumora::cli {

/// The words of one line of sample's standard input, split at white space.
std::vector<std::string> splitWords(const std::string &line);

/// Says on stderr what is wrong with input line `lineNumber` (counted from 1).
void reportLine(long long lineNumber, const std::string &problem);

} // namespace lumora::cli
