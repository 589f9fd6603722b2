#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lumora {

/// One pattern as a piece of a sketch: C++ text (gnu++98, `float`) that colours LED i at
/// (x, y) at the time the runtime keeps, the runtime pieces it calls, and the coordinates it
/// reads per LED. The text defines
///   static void lm_patternSetup();                    // once, before the first frame
///   static void lm_patternBeforeRender(float deltaMs); // once a frame
///   static void lm_patternPixel(uint16_t i, float x, float y, float *rgb); // 0..1 each
/// Translated user patterns and the built-in catalogue fill the same record.
struct SketchPattern {
    std::string name;
    std::vector<float> x, y;
    std::string code;
    std::set<std::string> runtime;
    /// Floats in the array pool and arrays the pattern makes (both 0 without arrays).
    long poolSize = 0;
    long arrayCount = 0;
    /// Headers the code includes, copied into the sketch folder beside it (file name, text).
    std::vector<std::pair<std::string, std::string>> headers;
    /// The first state of `random`, so the sketch draws the editor's numbers.
    std::uint64_t randomStart = 1;
};

} // namespace lumora
