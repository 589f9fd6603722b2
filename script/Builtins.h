#pragma once

#include "script/Nodes.h"

#include <string_view>
#include <utility>
#include <vector>

namespace lumora::script {

/// A built-in function: its name, how many arguments it takes and what runs it.
struct BuiltinInfo {
    std::string_view name;
    int minArgs;
    int maxArgs;
    nodes::BuiltinFunction function;
};

const BuiltinInfo *findBuiltin(std::string_view name);

/// A call node that runs a pure maths built-in (or hsv) inline, or null for the others.
std::unique_ptr<Expr> makePureCall(std::string_view name, std::vector<nodes::ExprPtr> &args);

/// The language's named constants (PI, HIGH, ...), readable as globals.
const std::vector<std::pair<std::string_view, double>> &builtinConstants();

/// The array function behind a method (`a.sum()` is `arraySum(a)`); empty when none.
std::string_view methodBuiltin(std::string_view method);

/// Colour conversion as `hsv` does it: hue wraps, saturation and value are limited to 0..1.
void hsvToRgb(double h, double s, double v, double &r, double &g, double &b);

} // namespace lumora::script
