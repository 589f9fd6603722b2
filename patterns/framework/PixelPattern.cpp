#include "PixelPattern.h"

#include <mutex>

namespace lumora {

namespace {
std::mutex &guard()
{
    static std::mutex m;
    return m;
}
std::shared_ptr<const Bitmap> &currentBitmap()
{
    static std::shared_ptr<const Bitmap> b;
    return b;
}
BoundingBox &currentBox()
{
    static BoundingBox box;
    return box;
}
thread_local const PixelSource *scoped = nullptr;
} // namespace

PixelPattern::Scope::Scope(const PixelSource *source)
    : m_previous(scoped)
{
    if (source)
        scoped = source;
}

PixelPattern::Scope::~Scope()
{
    scoped = m_previous;
}

std::shared_ptr<const Bitmap> PixelPattern::bitmap()
{
    if (scoped)
        return scoped->bitmap;
    std::lock_guard lock(guard());
    return currentBitmap();
}

void PixelPattern::setBitmap(std::shared_ptr<const Bitmap> bitmap)
{
    std::lock_guard lock(guard());
    currentBitmap() = std::move(bitmap);
}

BoundingBox PixelPattern::boundingBox()
{
    if (scoped)
        return scoped->box;
    std::lock_guard lock(guard());
    return currentBox();
}

const PixelSource *PixelPattern::scopedSource()
{
    return scoped;
}

void PixelPattern::setBoundingBox(const BoundingBox &box)
{
    std::lock_guard lock(guard());
    currentBox() = box;
}

} // namespace lumora
