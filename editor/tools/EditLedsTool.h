#pragma once

#include "editor/tools/LedDragTool.h"

namespace lumora {

/// Edit LEDs: a press on nothing adds an LED there (by the insertion rule) and holds it, so
/// the same drag places it; a press on an LED drags it.
class EditLedsTool : public LedDragTool {
public:
    using LedDragTool::LedDragTool;

protected:
    void mouseDown(QPointF point) override;
};

} // namespace lumora
