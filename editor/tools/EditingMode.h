#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace lumora {

class Tool;
class View;

/// What colours the LEDs while a mode is on: the marking (red and white rings), the
/// current pattern, or the background picture under each LED.
enum class ModeColors { Marking, Pattern, Picture };

/// A toolbar mode: a tool with the colours it shows the LEDs in.
struct EditingMode {
    enum class Grid { Keep, Show, Hide };
    /// The toolbar identifier (and the name of its icon, ":/icons/<identifier>.svg").
    const char *identifier;
    /// The toolbar's text.
    const char *title;
    /// The digit of its shortcut Ctrl+<digit>.
    const char *shortcut;
    ModeColors colors;
    /// What entering the mode does to the grid's display.
    Grid grid;
    /// Whether the mode shows where the next LED goes (new LEDs go before the first marked).
    bool marksNextLed;
    std::function<std::unique_ptr<Tool>(View &)> makeTool;
};

/// The toolbar's modes in order; the first is a new layout's.
const QList<EditingMode> &editingModes();
/// The mode of that identifier; null for none.
const EditingMode *editingMode(const QString &identifier);

} // namespace lumora
