#pragma once

#include <QMenu>

namespace lumora {

class Document;

/// File ▸ Revert To: the document's versions by time ("Last Opened", "Last Saved", then
/// the kept versions, newest first), filled each time it opens. Choosing one asks once;
/// the revert keeps the current state as a version and is one undo step.
class RevertMenu : public QMenu {
    Q_OBJECT
public:
    RevertMenu(Document *document, QWidget *parent);

    /// Asks, then goes back to the file as last opened or saved explicitly.
    void revertToSaved();
    void revertToOpened();

private:
    void fill();
    /// Asks once whether to go back to `what`; then runs the revert and tells a failure.
    void revert(const QString &what, const std::function<bool(QString *)> &run);

    Document *m_document;
};

} // namespace lumora
