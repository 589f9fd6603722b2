#include "HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace lumora {

namespace {
QPointer<HelpWindow> shared;
} // namespace

HelpWindow::HelpWindow(const QString &page, QWidget *parent)
    : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setOpenExternalLinks(true);
    setSearchPaths({QFileInfo(page).absolutePath()});
    setSource(QUrl::fromLocalFile(page));
    setWindowTitle(documentTitle().isEmpty() ? tr("Lumora Help") : documentTitle());
    resize(720, 640);
}

bool HelpWindow::hasWebBrowser()
{
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable("xdg-open").isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime, {"query", "default", "text/html"});
    if (!query.waitForFinished(3000))
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

HelpWindow *HelpWindow::showHelp(const QString &page)
{
    if (hasWebBrowser() && QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        return nullptr;
    if (!shared)
        shared = new HelpWindow(page);
    shared->show();
    shared->raise();
    shared->activateWindow();
    return shared;
}

HelpWindow *HelpWindow::instance()
{
    return shared;
}

} // namespace lumora
