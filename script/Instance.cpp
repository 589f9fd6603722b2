#include "script/Instance.h"

#include "script/Nodes.h"

#include <algorithm>
#include <cmath>

namespace lumora::script {

namespace {

uint64_t mixBits(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x ? x : 1;
}

double colour(double v)
{
    if (!(v > 0))
        return 0; // negative and NaN
    return v < 1 ? v : 1;
}

// Sensor data patterns read as arrays; without the board they hold zeros.
constexpr std::pair<std::string_view, int> sensorArrays[] = {
    {"frequencyData", 32}, {"accelerometer", 3}, {"analogInputs", 5}};

} // namespace

Instance::Instance(std::shared_ptr<const Program> program, uint64_t randomKey)
    : m_program(std::move(program)), m_randomKey(randomKey)
{
    m_rt.program = m_program.get();
    m_rt.stack.assign(Limits::stackSize, 0.0);
    m_rt.stackEnd = m_rt.stack.data() + m_rt.stack.size();
}

void Instance::setPositions(std::span<const double> x, std::span<const double> y, MapFit fit)
{
    size_t n = std::min(x.size(), y.size());
    if (int(n) != m_pixelCount)
        m_started = false; // the top-level code runs again with the new pixelCount
    m_pixelCount = int(n);
    m_worldX.assign(n, 0);
    m_worldY.assign(n, 0);
    if (n == 0)
        return;
    auto [minX, maxX] = std::minmax_element(x.begin(), x.begin() + long(n));
    auto [minY, maxY] = std::minmax_element(y.begin(), y.begin() + long(n));
    double spanX = *maxX - *minX, spanY = *maxY - *minY;
    double largest = std::max(spanX, spanY);
    // The far edge maps just below 1: world units are [0, 1).
    constexpr double below1 = 1 - 1.0 / 65536;
    double kx = fit == MapFit::Fill ? spanX : largest;
    double ky = fit == MapFit::Fill ? spanY : largest;
    kx = kx > 0 ? below1 / kx : 0;
    ky = ky > 0 ? below1 / ky : 0;
    for (size_t i = 0; i < n; ++i) {
        m_worldX[i] = (x[i] - *minX) * kx;
        m_worldY[i] = (y[i] - *minY) * ky;
    }
}

void Instance::resetFrame()
{
    m_rt.fp = m_rt.sp = m_rt.stack.data();
    m_rt.depth = 0;
    m_rt.startWatch();
}

template<class F>
bool Instance::guarded(F &&f)
{
    if (m_error)
        return false;
    try {
        resetFrame();
        f();
        return true;
    } catch (const ScriptError &e) {
        m_error = e;
        return false;
    }
}

bool Instance::start()
{
    if (m_started)
        return !m_error;
    m_started = true;
    const Program &p = *m_program;
    Runtime &rt = m_rt;
    rt.globals = p.globalInitial;
    rt.gp = rt.globals.data();
    rt.arrays.clear();
    rt.arrayStorage.clear();
    rt.arrayMemory = 0;
    rt.nowMs = 0;
    rt.randomState = mixBits(m_randomKey);
    rt.prngState = 0;
    rt.paletteHandle = 0;
    rt.perlinWrap[0] = rt.perlinWrap[1] = rt.perlinWrap[2] = 256;
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::copy(identity, identity + 16, rt.matrix);
    rt.transformed = false;
    rt.pixelCount = m_pixelCount;
    rt.mapDimensions = 2;
    rt.worldX = &m_worldX;
    rt.worldY = &m_worldY;
    rt.globals[size_t(p.pixelCountSlot)] = m_pixelCount;
    m_error.reset();
    return guarded([&] {
        for (auto [name, length] : sensorArrays) {
            int slot = p.globalIndex(name);
            if (slot >= 0)
                rt.globals[size_t(slot)] = rt.newArray(length, nullptr);
        }
        p.init->exec(rt);
        // Controls keep their values when the pattern starts again.
        for (auto &[name, values] : m_controlValues) {
            int f = p.functionIndex(name);
            if (f >= 0)
                rt.callFunction(p.functions[size_t(f)], values.data(), int(values.size()), nullptr);
        }
    });
}

bool Instance::renderFrame(double deltaMs, std::span<double> rgb)
{
    bool ok = start() && guarded([&] {
        const Program &p = *m_program;
        m_rt.nowMs += deltaMs;
        if (p.beforeRender >= 0) {
            double delta = deltaMs;
            m_rt.callFunction(p.functions[size_t(p.beforeRender)], &delta, 1, nullptr);
        }
        renderPixels(rgb);
    });
    if (!ok)
        std::fill(rgb.begin(), rgb.end(), 0.0);
    return ok;
}

void Instance::renderPixels(std::span<double> rgb)
{
    const Program &p = *m_program;
    Runtime &rt = m_rt;
    int entry = p.render2D >= 0 ? p.render2D : p.render3D >= 0 ? p.render3D : p.render;
    size_t n = std::min(size_t(m_pixelCount), rgb.size() / 3);
    if (entry < 0) {
        std::fill(rgb.begin(), rgb.end(), 0.0);
        return;
    }
    const CompiledFunction &f = p.functions[size_t(entry)];
    bool coordinates = entry != p.render;
    int frameSize = std::max(f.frameSize, 4);
    double *frame = rt.stack.data();
    const double *m = rt.matrix;
    bool transformed = rt.transformed;
    for (size_t i = 0; i < n; ++i) {
        // The frame is rebuilt for every LED: a render function may change its parameters.
        frame[0] = double(i);
        frame[1] = frame[2] = frame[3] = 0;
        if (coordinates) {
            double x = m_worldX[i], y = m_worldY[i];
            if (transformed) {
                frame[1] = m[0] * x + m[1] * y + m[3];
                frame[2] = m[4] * x + m[5] * y + m[7];
                if (f.params > 3)
                    frame[3] = m[8] * x + m[9] * y + m[11];
            } else {
                frame[1] = x;
                frame[2] = y;
            }
        }
        // Parameters the function does not declare are its locals, which start at 0.
        for (int k = f.params; k < 4; ++k)
            frame[k] = 0;
        for (int k = 4; k < frameSize; ++k)
            frame[k] = 0;
        rt.fp = frame;
        rt.sp = frame + frameSize;
        rt.r = rt.g = rt.b = 0;
        nodes::runBody(rt, f);
        rt.tick(f.line, f.column);
        rgb[i * 3] = colour(rt.r);
        rgb[i * 3 + 1] = colour(rt.g);
        rgb[i * 3 + 2] = colour(rt.b);
    }
}

bool Instance::setControl(std::string_view function, std::span<const double> values)
{
    const Control *control = nullptr;
    for (const Control &c : m_program->controls)
        if (c.function == function)
            control = &c;
    if (!control || control->kind == ControlKind::ShowNumber || control->kind == ControlKind::Gauge)
        return false;
    std::vector<double> kept(values.begin(), values.end());
    if (control->kind != ControlKind::Trigger) {
        auto it = std::find_if(m_controlValues.begin(), m_controlValues.end(),
                               [&](auto &e) { return e.first == function; });
        if (it == m_controlValues.end())
            m_controlValues.emplace_back(std::string(function), kept);
        else
            it->second = kept;
    }
    if (!m_started)
        return start(); // start() passes the kept values
    if (!start())
        return false;
    int f = m_program->functionIndex(function);
    return guarded([&] {
        m_rt.callFunction(m_program->functions[size_t(f)], kept.data(), int(kept.size()), nullptr);
    });
}

std::vector<double> Instance::controlValues(std::string_view function) const
{
    for (auto &[name, values] : m_controlValues)
        if (name == function)
            return values;
    return {};
}

std::optional<double> Instance::readControl(std::string_view function)
{
    int f = m_program->functionIndex(function);
    if (f < 0 || !start())
        return std::nullopt;
    double value = 0;
    if (!guarded([&] { value = m_rt.callFunction(m_program->functions[size_t(f)], nullptr, 0, nullptr); }))
        return std::nullopt;
    return value;
}

std::vector<std::string> Instance::exportedVariables() const
{
    std::vector<std::string> names;
    for (int slot : m_program->exportedGlobals) {
        const std::string &name = m_program->globalNames[size_t(slot)];
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::optional<double> Instance::variable(std::string_view name) const
{
    int slot = m_program->globalIndex(name);
    if (slot < 0 || !m_started)
        return slot < 0 ? std::nullopt : std::optional<double>(m_program->globalInitial[size_t(slot)]);
    double v = m_rt.globals[size_t(slot)];
    return isArray(v) || isFunction(v) ? std::nan("") : v;
}

bool Instance::setVariable(std::string_view name, double value)
{
    int slot = m_program->globalIndex(name);
    if (slot < 0 || !start())
        return false;
    m_rt.globals[size_t(slot)] = value;
    return true;
}

} // namespace lumora::script
