#pragma once

#include "script/Program.h"
#include "script/Runtime.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::script {

/// How LED positions become world units in [0, 1): keeping the aspect (the largest span
/// is 1) or stretching each axis to 1.
enum class MapFit { Contain, Fill };

/// One running copy of a compiled pattern with its own state (globals, arrays, time,
/// random numbers). Every consumer owns one: the preview, each thumbnail, an export, the
/// live output. Not thread-safe; the program it runs may be shared.
class Instance
{
public:
    /// `randomKey` picks the sequence of `random`: equal keys give equal runs.
    explicit Instance(std::shared_ptr<const Program> program, uint64_t randomKey = 0);

    /// The LEDs in LED order, in layout units with y down. A different count starts the
    /// pattern again (its top-level code sees the new pixelCount).
    void setPositions(std::span<const double> x, std::span<const double> y, MapFit fit = MapFit::Contain);
    int pixelCount() const { return m_pixelCount; }
    /// World units of LED i after the fit (before the pattern's transforms).
    double worldX(int i) const { return m_worldX[size_t(i)]; }
    double worldY(int i) const { return m_worldY[size_t(i)]; }

    /// One frame: beforeRender(deltaMs), then every LED; `rgb` gets r, g, b (0..1) per LED
    /// and must hold 3·pixelCount values. After an error every LED is black and false is
    /// returned, now and for every later frame.
    bool renderFrame(double deltaMs, std::span<double> rgb);

    /// Arrays made so far and their elements together, to size a fixed pool for the same run.
    size_t arrayCount() const { return m_rt.arrays.size(); }
    int64_t arrayElements() const { return m_rt.arrayMemory; }

    /// The error that stopped the pattern, if any.
    const std::optional<ScriptError> &error() const { return m_error; }
    const Program &program() const { return *m_program; }

    /// The exported controls, in source order.
    const std::vector<Control> &controls() const { return m_program->controls; }
    /// Calls an input control's function with its values and remembers them; false when
    /// there is no such control or it failed (see error()).
    bool setControl(std::string_view function, std::span<const double> values);
    /// The last values given to an input control.
    std::vector<double> controlValues(std::string_view function) const;
    /// An output control's current reading (showNumber…, gauge…).
    std::optional<double> readControl(std::string_view function);

    /// Exported variables (`export var`) by name; arrays read as NaN.
    std::vector<std::string> exportedVariables() const;
    std::optional<double> variable(std::string_view name) const;
    bool setVariable(std::string_view name, double value);

private:
    bool start();
    template<class F>
    bool guarded(F &&f);
    void resetFrame();
    void renderPixels(std::span<double> rgb);

    std::shared_ptr<const Program> m_program;
    Runtime m_rt;
    uint64_t m_randomKey;
    bool m_started = false;
    std::optional<ScriptError> m_error;
    int m_pixelCount = 0;
    std::vector<double> m_worldX, m_worldY;
    std::vector<std::pair<std::string, std::vector<double>>> m_controlValues;
};

} // namespace lumora::script
