#include "RevertMenu.h"

#include "Document.h"

#include "document/DocumentFile.h"

#include <QLocale>
#include <QMessageBox>

namespace lumora {

RevertMenu::RevertMenu(Document *document, QWidget *parent)
    : QMenu(tr("Revert &To"), parent)
    , m_document(document)
{
    connect(this, &QMenu::aboutToShow, this, &RevertMenu::fill);
    // Filled once now too, so that its items can be reached before it was ever shown.
    fill();
}

void RevertMenu::fill()
{
    clear();
    DocumentFile *file = m_document->file();
    if (!file->canRevert()) {
        addAction(tr("No versions of an unsaved layout"))->setEnabled(false);
        return;
    }
    addAction(tr("Last Opened"), this, &RevertMenu::revertToOpened);
    addAction(tr("Last Saved"), this, &RevertMenu::revertToSaved);
    const QList<DocumentVersions::Version> versions = file->versions();
    if (!versions.isEmpty())
        addSeparator();
    const QDate today = QDate::currentDate();
    for (const DocumentVersions::Version &version : versions) {
        const QDateTime local = version.time.toLocalTime();
        const QString when = local.date() == today ? QLocale().toString(local.time(), "HH:mm:ss")
                                                   : QLocale().toString(local, "ddd d MMM HH:mm");
        const QString title = tr("%1 — %2").arg(when, DocumentVersions::describe(version.kind));
        addAction(title, this, [this, version, title, file] {
            revert(tr("the version of %1").arg(title),
                   [file, version](QString *error) { return file->revertToVersion(version, error); });
        });
    }
}

void RevertMenu::revertToSaved()
{
    DocumentFile *file = m_document->file();
    revert(tr("as it was last saved"), [file](QString *error) { return file->revertToSaved(error); });
}

void RevertMenu::revertToOpened()
{
    DocumentFile *file = m_document->file();
    revert(tr("as it was last opened"), [file](QString *error) { return file->revertToOpened(error); });
}

void RevertMenu::revert(const QString &what, const std::function<bool(QString *)> &run)
{
    QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    const auto answer = QMessageBox::question(
        window, tr("Revert"),
        tr("Go back to “%1” %2? What is there now is kept as a version, and Edit ▸ Undo brings it back.")
            .arg(m_document->displayName(), what),
        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    QString error;
    if (!run(&error))
        QMessageBox::warning(window, tr("Revert"),
                             error.isEmpty() ? tr("“%1” could not be reverted.").arg(m_document->displayName()) : error);
}

} // namespace lumora
