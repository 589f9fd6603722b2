#pragma once

#include "ColorSource.h"
#include "UserPattern.h"

#include <memory>

namespace lumora {

/// A pattern the user wrote, run frame after frame over the context's LEDs (layout units):
/// each frame comes the context's deltaMs after the last. The run starts afresh when the
/// LEDs change, or on `restart`. Black once the pattern stopped on an error (`error` says
/// which).
class UserPatternColorSource : public ColorSource {
public:
    explicit UserPatternColorSource(UserPattern pattern, std::uint64_t randomKey = 0);
    ~UserPatternColorSource() override;

    const UserPattern &pattern() const { return m_pattern; }
    void colors(const FrameContext &context, std::span<PixelColor> out) override;
    /// The next frame starts a fresh run (frame 0 of the export).
    void restart();
    /// The error that stopped the pattern as "FILE:LINE:COL: message"; empty while it runs.
    QString error() const;

private:
    UserPattern m_pattern;
    std::uint64_t m_randomKey;
    std::unique_ptr<UserPatternRun> m_run;
    QList<QPointF> m_leds;
};

} // namespace lumora
