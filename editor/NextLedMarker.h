#pragma once

#include <QPointF>
#include <QString>

#include <optional>

class QPainter;

namespace lumora {

class View;

/// Where the next LED goes: while LEDs are marked in a mode that marks it (Edit LEDs), a new
/// LED takes the place of the first marked one, which is easy to forget; a marker on the
/// LED order line shows it.
class NextLedMarker {
public:
    explicit NextLedMarker(const View &view) : m_view(view) {}

    /// The place in the LED order the next LED takes (that of the first marked LED, which
    /// moves up one); none without.
    std::optional<qsizetype> place() const;
    /// Where the marker of that place sits, in layout units: on the LED order line, halfway
    /// into the first marked LED.
    std::optional<QPointF> marker() const;
    /// "next LED: before LED 12", or empty without.
    QString text() const;
    /// The marker and its text, in widget coordinates.
    void paint(QPainter &painter) const;

private:
    const View &m_view;
};

} // namespace lumora
