#pragma once

#include <memory>
#include <optional>

namespace lumora {

/// A pixel as the Image pattern reads it: components in 0..1, not premultiplied.
struct PixelColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

/// The pattern engine's view of a picture, so that the engine needs no image library.
/// The application implements it over its own image type.
class Bitmap {
public:
    virtual ~Bitmap() = default;
    /// Size in points.
    virtual double width() const = 0;
    virtual double height() const = 0;
    /// The colour at an integer pixel, rows counted from the top; none outside the picture.
    virtual std::optional<PixelColor> colorAt(long long column, long long row) const = 0;
};

struct BoundingBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

/// What the Image pattern samples: a picture and the LEDs' bounding box in grid units.
struct PixelSource {
    std::shared_ptr<const Bitmap> bitmap;
    BoundingBox box;
};

/// Application-wide holder of the frontmost layout's bitmap and of its LEDs' bounding box
/// in grid units, which the Image pattern samples. The layout editor sets the bitmap first,
/// then the box. Reads and writes are safe from several threads.
///
/// A render of its own (an export on a worker thread) installs a `Scope` on each of its
/// threads instead: there the Image pattern reads the render's own picture and box, so
/// another window or an edit changing the application-wide ones cannot reach it.
class PixelPattern {
public:
    PixelPattern() = delete;

    static std::shared_ptr<const Bitmap> bitmap();
    static void setBitmap(std::shared_ptr<const Bitmap> bitmap);
    static BoundingBox boundingBox();
    static void setBoundingBox(const BoundingBox &box);
    /// The source this thread's scope installed, or nullptr: a render that shares its work
    /// out to more threads installs the same on each of them.
    static const PixelSource *scopedSource();

    /// For the life of the scope, on this thread only, the Image pattern reads `source`.
    class Scope {
    public:
        explicit Scope(const PixelSource *source);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        const PixelSource *m_previous;
    };
};

} // namespace lumora
