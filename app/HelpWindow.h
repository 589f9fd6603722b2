#pragma once

#include <QTextBrowser>

namespace lumora {

/// The help page in a window of the editor's own, for machines without a web browser.
/// One is shared by all layout windows; links to other sites go to the desktop.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(const QString &page, QWidget *parent = nullptr);

    /// Help ▸ Lumora Help: the page in the web browser when there is one, else in the
    /// shared help window, which is returned.
    static HelpWindow *showHelp(const QString &page);
    /// Whether the desktop names a program for web pages.
    static bool hasWebBrowser();
    /// The shared window, when it was opened.
    static HelpWindow *instance();
};

} // namespace lumora
