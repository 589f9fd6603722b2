#pragma once

// The built-in patterns in their portable form, for writing them into a sketch. The headers
// under portable/ are embedded in the library as text at build time; a sketch copies the ones
// a pattern needs and instantiates its functions with its own number type and maths trait. The
// texts are C++98 and include only each other (FloatMath.h adds <math.h>), as avr-g++ and the
// Arduino toolchains take them:
//
//     #include "FloatMath.h"                       // or the sketch's own trait
//     #include "Rings.h"
//     using namespace lumora::portable;
//     PatternSpace<float> space = patternSpace<float, FloatMath>(s0, s1, r1, speed, T); // per frame
//     Position<float> p = positionIn(space, gridX, gridY, index);                      // per LED
//     Color<float> c = ringsColor<float, FloatMath>(p);
//
// A pattern with per-frame terms works them out once per frame and passes them to every LED:
//
//     const SparkPlaces<float> terms = fieldTerms<float, FloatMath>(space.time);
//     Color<float> c = fieldColor<float, FloatMath>(p, terms);

#include <span>
#include <string_view>
#include <vector>

namespace lumora {

/// One embedded header: its file name (as the other headers include it) and its text.
struct PortableHeader {
    std::string_view name;
    std::string_view text;
};

/// Where a built-in pattern's formula lives in portable form. The functions are templates
/// <class T, class M> in namespace lumora::portable: colorFunction(const Position<T> &) or, with
/// terms, colorFunction(const Position<T> &, const termsType<T> &) after termsFunction(T time).
struct PortablePattern {
    std::string_view name;          ///< the pattern's menu title, e.g. "Rings"
    std::string_view header;        ///< its family's header, e.g. "Rings.h"
    std::string_view colorFunction; ///< e.g. "ringsColor"
    std::string_view termsFunction; ///< empty when the pattern has no per-frame terms
    std::string_view termsType;     ///< the class template termsFunction returns, e.g. "SparkPlaces"
};

/// Every embedded header: "Portable.h" (the types and helpers all families use), "FloatMath.h"
/// (a maths trait for float over <math.h>) and one header per family.
std::span<const PortableHeader> portableHeaders();

/// The embedded header of that file name, or nullptr.
const PortableHeader *portableHeader(std::string_view name);

/// Every built-in pattern that has a portable form, in the catalogue's order. Image, which
/// samples a picture, has none.
std::span<const PortablePattern> portablePatterns();

/// The portable form of the pattern of that name, or nullptr (Image, or an unknown name).
const PortablePattern *portablePattern(std::string_view name);

/// The headers a pattern's sketch needs, in include order: "Portable.h", then its family's
/// header. Empty for a pattern without a portable form. The maths trait is the caller's choice.
std::vector<PortableHeader> portableHeadersFor(std::string_view name);

} // namespace lumora
