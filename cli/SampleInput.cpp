#include "SampleInput.h"

#include <cstdio>
#include <sstream>

namespace lumora::cli {

std::vector<std::string> splitWords(const std::string &line)
{
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;)
        words.push_back(word);
    return words;
}

void reportLine(long long lineNumber, const std::string &problem)
{
    std::fprintf(stderr, "lumora-cli: line %lld: %s\n", lineNumber, problem.c_str());
}

} // namespace lumora::cli
