#pragma once

#include "SketchPattern.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

/// Turns a pattern written in the pattern language into a sketch piece: globals become
/// statics, `var`s locals starting at 0, functions C++ functions, arrays a static pool
/// sized for this layout. What a microcontroller sketch cannot do the way the editor does
/// (calling a function held in a value, making arrays while the pattern runs) is refused.
class ScriptTranslator
{
public:
    /// `leds` in layout units and LED order, as the exports take them. None when the source
    /// does not compile, cannot be translated or stops on an error while it starts; `errors`
    /// then holds "FILE:LINE:COL: message" lines.
    static std::optional<SketchPattern> translate(const QByteArray &source, const QString &fileName,
                                                  const QList<QPointF> &leds, QStringList &errors);
};

} // namespace lumora
