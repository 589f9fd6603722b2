#pragma once

// Colors, Image, Psychedelic, Wiggle, Streifen, Glow, OilSpiral, Squiggle, Squares.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Rings around one moving centre, coloured by their phase.
class Colors : public ColorPattern {
    LUMORA_PATTERN(Colors)
    Color color(const Position &p) const override;
};

/// Scrolls the bitmap of PixelPattern across the LED layout, premultiplied by its alpha.
/// Black when there is no bitmap or the computed pixel lies outside it. Black as well when
/// the pixel's column or row is not a number or beyond the 64-bit integer range (a bounding
/// box of zero height, a picture of zero width, far-off positions): such values have no
/// integer pixel and are never converted.
class Image : public ColorPattern {
    LUMORA_PATTERN(Image)
    Image();
    Color color(const Position &p) const override;
};

/// Four moving interference centres.
class Psychedelic : public ColorPattern {
    LUMORA_PATTERN(Psychedelic)
    Psychedelic();
    Color color(const Position &p) const override;
};

/// Five wavy arms turning about the centre.
class Wiggle : public ColorPattern {
    LUMORA_PATTERN(Wiggle)
    Wiggle();
    Color color(const Position &p) const override;
};

/// Rainbow stripes by LED index.
class Streifen : public ColorPattern {
    LUMORA_PATTERN(Streifen)
    Color color(const Position &p) const override;
};

/// One hundred drifting soft sparks.
class Glow : public ColorPattern {
    LUMORA_PATTERN(Glow)
    Glow();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Nineteen layers of sine waves stirring the plane.
class OilSpiral : public ColorPattern {
    LUMORA_PATTERN(OilSpiral)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Rings bent by a moving sine lattice.
class Squiggle : public ColorPattern {
    LUMORA_PATTERN(Squiggle)
    Color color(const Position &p) const override;
};

/// A sine lattice per channel, dark wherever the channel's inner sine is negative.
class Squares : public ColorPattern {
    LUMORA_PATTERN(Squares)
    Color color(const Position &p) const override;
    /// The lattice value at (x, y) moving with t·modifier, raised to uniformity.
    static double squares(double t, double x, double y, double modifier, double uniformity);
};

} // namespace lumora
