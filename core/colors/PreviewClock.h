#pragma once

#include <optional>

namespace lumora {

/// The preview's time: the animation time T (30 per second since 2001-01-01 00:00:00 UTC)
/// that the editor's preview and `lumora-cli play` colour their frames at. Held fixed, it
/// answers that time always (tests, and frames compared between consumers).
class PreviewClock {
public:
    /// T now, or the fixed time.
    double time() const;
    /// Stops the clock at T (none: runs again).
    void setFixedTime(std::optional<double> T) { m_fixed = T; }
    std::optional<double> fixedTime() const { return m_fixed; }

    /// T now on the wall clock.
    static double now();

private:
    std::optional<double> m_fixed;
};

} // namespace lumora
