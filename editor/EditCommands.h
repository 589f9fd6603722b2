#pragma once

#include <QList>
#include <QPointF>

#include <optional>

namespace lumora {

class DocumentModel;

/// The Edit menu's commands on the marked LEDs: copy, cut, paste and delete through the
/// system clipboard, so LEDs travel between document windows, and marking all or none. The
/// clipboard carries only positions, as JSON {"nodes": [[x, y], ...]} under the type
/// "com.lumora.pasteboard.nodes".
class EditCommands {
public:
    explicit EditCommands(DocumentModel *model) : m_model(model) {}

    /// The positions a paste would add; none when the clipboard holds no LEDs (or data
    /// that is malformed or comes from elsewhere).
    static std::optional<QList<QPointF>> clipboardNodes();
    static bool canPaste();

    void copy();
    void cut();
    void paste();
    /// The delete command: removes the marked LEDs, one undo step.
    void deleteNodes();
    void selectAll();
    /// Unmarks every LED ("deselect node"), one undo step.
    void deselectAll();

private:
    DocumentModel *m_model;
};

} // namespace lumora
