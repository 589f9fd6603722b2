#pragma once

#include "PatternRender.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace lumora {

namespace script {
struct Program;
class Instance;
} // namespace script

/// A pattern the user wrote in the pattern language (a .js file), compiled once and shared;
/// each consumer runs it through a UserPatternRun of its own, because a pattern keeps state
/// between frames.
class UserPattern
{
public:
    /// Reads and compiles a file, with the control values kept beside it. None when it cannot
    /// be read or does not compile; `errors` then holds every problem as
    /// "FILE:LINE:COL: message" (or "FILE: reason").
    static std::optional<UserPattern> load(const QString &fileName, QStringList &errors);
    /// Compiles source text; `fileName` names it in the errors.
    static std::optional<UserPattern> compile(const QByteArray &source, const QString &fileName, QStringList &errors);

    /// The file's base name, which names the pattern's PPM.
    QString name() const;
    QString fileName() const { return m_fileName; }
    const std::shared_ptr<const script::Program> &program() const { return m_program; }

    /// The values every run gives the input controls before its first frame, by function
    /// name ("sliderSpeed" → {0.5}).
    const QMap<QString, QList<double>> &controlValues() const { return m_controlValues; }
    void setControlValues(QMap<QString, QList<double>> values) { m_controlValues = std::move(values); }

private:
    QString m_fileName;
    std::shared_ptr<const script::Program> m_program;
    QMap<QString, QList<double>> m_controlValues;
};

/// One consumer's run of a user pattern over a layout, frame after frame. The LEDs are in
/// layout units (y up) and LED order; the pattern sees them as the Pixelblaze map export
/// gives them (y down), in world units.
class UserPatternRun
{
public:
    /// Runs with equal `randomKey`s give equal frames.
    UserPatternRun(const UserPattern &pattern, const QList<QPointF> &leds, std::uint64_t randomKey = 0);
    ~UserPatternRun();

    /// The next frame, `deltaMs` after the last: three bytes r, g, b per LED, encoded as the
    /// exports encode colours. Black once the pattern has stopped on an error.
    QByteArray nextFrame(double deltaMs);
    /// The same frame as doubles, one colour per LED (`out` as long as the LEDs).
    void nextColors(double deltaMs, std::span<PixelColor> out);
    /// The error that stopped the pattern as "FILE:LINE:COL: message"; empty while it runs.
    QString error() const;
    /// The running instance, for its controls.
    script::Instance &instance() { return *m_instance; }

private:
    QString m_fileName;
    std::unique_ptr<script::Instance> m_instance;
    std::vector<double> m_rgb;
};

/// The export's pattern animation of a user pattern: `frames` frames from a fresh run,
/// frame i after i calls of beforeRender(200) (T = 0.2·i, as for the built-in patterns),
/// handed to `sink` in chunks as renderPatternAnimation does. Reproducible: the same bytes
/// every time. False when cancelled, refused by the sink or stopped by an error of the
/// pattern (then in `error`).
bool renderUserPatternAnimation(const RenderSink &sink, const QList<QPointF> &leds, const UserPattern &pattern,
                                int frames, RenderControl *control = nullptr, QString *error = nullptr);

} // namespace lumora
