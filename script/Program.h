#pragma once

#include "script/Diagnostic.h"
#include "script/Runtime.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::script {

/// The kinds of user interface controls a pattern exports, by their function's prefix.
enum class ControlKind { Slider, HsvPicker, RgbPicker, Toggle, Trigger, InputNumber, ShowNumber, Gauge };

/// An exported control: `function` is its function's full name, `label` the rest of it
/// ("sliderMySpeed" gives "MySpeed").
struct Control {
    std::string function;
    std::string label;
    ControlKind kind;
    /// How many values the control passes (a picker three, a trigger none) or, for the two
    /// output kinds, 0: they are read.
    int values = 1;
};

/// A compiled pattern: immutable once made, shared by every instance that runs it.
struct Program {
    std::vector<CompiledFunction> functions;
    std::unique_ptr<Stmt> init;   // the top-level code
    int initFrameSize = 0;
    std::vector<std::string> globalNames;
    std::vector<double> globalInitial; // constants and function values; the rest are 0
    std::vector<int> exportedGlobals;  // slots of `export var`
    int beforeRender = -1, render = -1, render2D = -1, render3D = -1; // function indices
    int pixelCountSlot = -1;
    std::vector<Control> controls;

    /// Compiles a pattern. On errors returns null and fills `errors` with all of them,
    /// in source order.
    static std::shared_ptr<const Program> compile(std::string_view source, std::vector<Diagnostic> &errors);

    int functionIndex(std::string_view name) const;
    int globalIndex(std::string_view name) const;
};

} // namespace lumora::script
