#pragma once

#include "colors/ColorSource.h"
#include "colors/UserPattern.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

class View;

/// The one place a window's preview runs a pattern the user wrote: the colour source of that
/// window's preview, owning its own run of the pattern (its own state, as every consumer has).
/// Without a pattern the View shows the current built-in one.
class UserPatternPreview : public QObject, public ColorSource {
    Q_OBJECT
public:
    explicit UserPatternPreview(View *view);
    ~UserPatternPreview() override;

    /// Starts the pattern afresh on the layout's LEDs; none goes back to the built-in pattern.
    void setPattern(std::optional<UserPattern> pattern);
    const std::optional<UserPattern> &pattern() const { return m_pattern; }

    /// Gives an input control its values, now and for every later run of the pattern.
    void setControl(const QString &function, const QList<double> &values);
    /// An output control's reading; none while the pattern is stopped.
    std::optional<double> readControl(const QString &function);
    /// The runtime error that stopped the pattern ("FILE:LINE:COL: message"); empty while it runs.
    QString error() const { return m_error; }

    /// The next frame's colours, a real-time frame after the last; black without a pattern.
    void colors(const FrameContext &context, std::span<PixelColor> out) override;

signals:
    /// The pattern stopped on an error, or was replaced (then the text is empty).
    void errorChanged(const QString &error);

private:
    UserPatternRun &run();

    View *m_view;
    std::optional<UserPattern> m_pattern;
    std::unique_ptr<UserPatternRun> m_run;
    bool m_layoutStale = true;
    QElapsedTimer m_clock;
    QString m_error;
};

} // namespace lumora
