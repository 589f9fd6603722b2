#include "EditingMode.h"

#include "editor/tools/EditGridTool.h"
#include "editor/tools/EditLedsTool.h"
#include "editor/tools/PreviewDragTool.h"
#include "editor/tools/SelectTool.h"

#include <QtGlobal>

namespace lumora {

namespace {

template <class T>
std::unique_ptr<Tool> make(View &view)
{
    return std::make_unique<T>(view);
}

} // namespace

const QList<EditingMode> &editingModes()
{
    using Grid = EditingMode::Grid;
    static const QList<EditingMode> modes = {
        {"Edit Nodes", QT_TRANSLATE_NOOP("DocumentWindow", "Edit LEDs"), "1", ModeColors::Marking, Grid::Hide, true, make<EditLedsTool>},
        {"Select", QT_TRANSLATE_NOOP("DocumentWindow", "Select"), "2", ModeColors::Marking, Grid::Keep, false, make<SelectTool>},
        {"Edit Grid", QT_TRANSLATE_NOOP("DocumentWindow", "Edit Grid"), "3", ModeColors::Marking, Grid::Show, false, make<EditGridTool>},
        {"Preview", QT_TRANSLATE_NOOP("DocumentWindow", "Preview"), "4", ModeColors::Pattern, Grid::Keep, false, make<PreviewDragTool>},
        {"Colors", QT_TRANSLATE_NOOP("DocumentWindow", "Colors"), "5", ModeColors::Picture, Grid::Keep, false, make<EditLedsTool>},
    };
    return modes;
}

const EditingMode *editingMode(const QString &identifier)
{
    for (const EditingMode &mode : editingModes())
        if (identifier == QLatin1String(mode.identifier))
            return &mode;
    return nullptr;
}

} // namespace lumora
