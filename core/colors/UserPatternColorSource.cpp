#include "UserPatternColorSource.h"

namespace lumora {

UserPatternColorSource::UserPatternColorSource(UserPattern pattern, std::uint64_t randomKey)
    : m_pattern(std::move(pattern)), m_randomKey(randomKey)
{
}

UserPatternColorSource::~UserPatternColorSource() = default;

void UserPatternColorSource::colors(const FrameContext &context, std::span<PixelColor> out)
{
    // A run is built over the LEDs' places; new places need a new run.
    if (!m_run || context.leds != m_leds) {
        m_leds = context.leds;
        m_run = std::make_unique<UserPatternRun>(m_pattern, m_leds, m_randomKey);
    }
    m_run->nextColors(context.deltaMs, out);
}

void UserPatternColorSource::restart()
{
    m_run.reset();
}

QString UserPatternColorSource::error() const
{
    return m_run ? m_run->error() : QString();
}

} // namespace lumora
