#include "DocumentWindow.h"

#include "Application.h"
#include "Document.h"
#include "GeneratorDialog.h"

#include "editor/timeline/AnimationEditorView.h"
#include "editor/strip/ImageBrowserController.h"
#include "editor/strip/ImageBrowserView.h"
#include "exports/Exporter.h"
#include "CodeExportDialog.h"
#include "output/OutputSketchSettings.h"
#include "maps/LedMapFormat.h"
#include "document/UndoManager.h"
#include "editor/View.h"
#include "editor/ViewScroller.h"
#include "editor/EditCommands.h"
#include "editor/NextLedMarker.h"
#include "editor/tools/DrawStripTool.h"
#include "editor/tools/WireByClickingTool.h"
#include "PatternEditorDock.h"
#include "PatternPanel.h"
#include "RevertMenu.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QListView>
#include <QMessageBox>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QStatusBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

void lumoraInitResources();

namespace lumora {

QString helpPage()
{
    // Installed beside the examples, not under share/doc, which minimal systems leave out.
    const QString installed = QDir(QApplication::applicationDirPath()).filePath("../share/lumora/help/index.html");
    if (QFileInfo::exists(installed))
        return QFileInfo(installed).absoluteFilePath();
    return QStringLiteral(LUMORA_SOURCE_DIR "/docs/help/index.html");
}

DocumentWindow::DocumentWindow(Document *document)
    : m_document(document), m_view(new View(document->model(), this)), m_countLabel(new QLabel("0", this)),
      m_modes(new QActionGroup(this))
{
    lumoraInitResources();
    setWindowIcon(QIcon(":/icons/lumora.svg"));

    // Beside the layout editor, a tab view with the picture strip and the frame timeline.
    m_strip = new ImageBrowserController(document->model(),
                                         [document](const QUrl &url) { return document->resolved(url); });
    connect(m_strip->imageBrowser(), &ImageBrowserView::relinkRequested, this, [document](qsizetype row) {
        if (row < document->model()->images().size())
            document->relinkPicture(document->model()->images().at(row));
    });
    m_timeline = new AnimationEditorView(document->model());
    auto *timelineScroll = new QScrollArea;
    timelineScroll->setWidget(m_timeline);
    timelineScroll->setWidgetResizable(false);
    timelineScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    timelineScroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_tabs = new QTabWidget;
    m_tabs->addTab(m_strip, tr("Pictures"));
    m_tabs->widget(0)->setProperty("identifier", "1");
    m_tabs->addTab(timelineScroll, tr("Frames"));
    m_tabs->widget(1)->setProperty("identifier", "2");
    if (Application *app = Application::instance()) {
        m_tabs->addTab(new PatternPanel(app, document->model()), tr("Patterns"));
        m_tabs->widget(2)->setProperty("identifier", "3");
    }
    m_tabs->setMinimumWidth(150);
    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(new ViewScroller(m_view));
    splitter->addWidget(m_tabs);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({1024, 260});
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    m_view->setPatternSource([] { return Application::instance() ? Application::instance()->pattern() : nullptr; });
    m_patternEditor = new PatternEditorDock(this, m_view);
    resize(1280, 900);
    // On a small screen (a 1366 × 700 laptop) the window starts within it.
    if (QScreen *display = QGuiApplication::primaryScreen()) {
        const QSize room = display->availableGeometry().size() * 0.95;
        resize(size().boundedTo(room));
    }

    connect(m_view, &View::statusMessage, this, &DocumentWindow::showStatus);
    connect(m_strip, &ImageBrowserController::statusMessage, this, [this](const QString &problem) {
        reportProblems(tr("Picture Problems"), tr("Some pictures cannot be shown as they are:"), {problem});
    });

    m_countLabel->setToolTip(tr("Number of LEDs"));
    m_countLabel->setMinimumWidth(60);
    statusBar()->addPermanentWidget(new QLabel(tr("LEDs:"), this));
    statusBar()->addPermanentWidget(m_countLabel);
    connect(m_view, &View::countChanged, this, [this](qsizetype n) { m_countLabel->setText(QString::number(n)); });

    // Where the next LED goes, while marked LEDs decide it.
    auto *nextLed = new QLabel(this);
    nextLed->setObjectName("nextLedLabel");
    nextLed->setToolTip(tr("A new LED takes the place of the first marked LED; Edit ▸ Deselect All appends again"));
    statusBar()->insertPermanentWidget(0, nextLed);
    auto updateNextLed = [this, nextLed] {
        nextLed->setText(NextLedMarker(*m_view).text());
        nextLed->setVisible(!nextLed->text().isEmpty());
    };
    connect(m_view, &View::markingChanged, nextLed, updateNextLed);
    // Queued: the toolbar is told before the mode changes.
    connect(m_view, &View::toolbarItemSelected, nextLed, updateNextLed, Qt::QueuedConnection);
    connect(m_document->model(), &DocumentModel::ledsChanged, nextLed, updateNextLed);
    updateNextLed();

    // When Preview is refused for want of a grid, the status bar says so and offers the fix.
    auto *fitOffer = new QToolButton(this);
    fitOffer->setObjectName("fitGridOffer");
    fitOffer->setText(tr("Fit Grid to LEDs"));
    fitOffer->setAutoRaise(true);
    fitOffer->hide();
    // Permanent, as a temporary message would cover a normal status bar widget.
    statusBar()->insertPermanentWidget(0, fitOffer);
    connect(fitOffer, &QToolButton::clicked, this, [this, fitOffer] {
        m_view->transforms().fitGrid();
        fitOffer->hide();
        m_view->setMode("Preview");
    });
    connect(m_view, &View::previewRefused, fitOffer, &QWidget::show);

    // After an export, the status bar offers the folder it went to.
    m_openExportFolder = new QToolButton(this);
    m_openExportFolder->setObjectName("openExportFolder");
    m_openExportFolder->setText(tr("Open Folder"));
    m_openExportFolder->setAutoRaise(true);
    m_openExportFolder->hide();
    statusBar()->insertPermanentWidget(0, m_openExportFolder);
    connect(m_openExportFolder, &QToolButton::clicked, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_openExportFolder->property("folder").toString()));
    });
    connect(statusBar(), &QStatusBar::messageChanged, fitOffer, [fitOffer](const QString &message) {
        if (message.isEmpty())
            fitOffer->hide();
    });
    connect(statusBar(), &QStatusBar::messageChanged, m_openExportFolder, [this](const QString &message) {
        if (message != m_openExportFolder->property("message").toString())
            m_openExportFolder->hide();
    });

    buildToolbar();
    buildMenus();
    connect(document, &Document::titleChanged, this, &DocumentWindow::updateTitle);
    updateTitle();
    qApp->installEventFilter(this);
}

QAction *DocumentWindow::addAction(QMenu *menu, const QString &text, const QKeySequence &shortcut,
                                   const std::function<void()> &slot)
{
    QAction *action = menu->addAction(text);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QAction *DocumentWindow::toolbarAction(const QString &identifier) const
{
    return findChild<QAction *>(identifier);
}

void DocumentWindow::buildToolbar()
{
    QToolBar *tools = addToolBar(tr("Tools"));
    tools->setObjectName("tools");
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tools->setIconSize(QSize(28, 28));

    for (const EditingMode &mode : editingModes()) {
        QAction *action = tools->addAction(QIcon(QString(":/icons/%1.svg").arg(mode.identifier)), tr(mode.title));
        action->setObjectName(mode.identifier);
        action->setCheckable(true);
        action->setShortcut(QKeySequence(QString("Ctrl+") + mode.shortcut));
        action->setToolTip(QString("%1 (%2)").arg(tr(mode.title), action->shortcut().toString(QKeySequence::NativeText)));
        m_modes->addAction(action);
        const QString identifier = QLatin1String(mode.identifier);
        connect(action, &QAction::triggered, m_view, [this, identifier] { m_view->setMode(identifier); });
    }
    // The editor decides which mode is shown (preview may be refused without a grid).
    connect(m_view, &View::toolbarItemSelected, this, [this](const QString &identifier) {
        if (QAction *action = toolbarAction(identifier))
            action->setChecked(true);
    });
    connect(m_modes, &QActionGroup::triggered, this, [this] {
        toolbarAction(m_view->mode())->setChecked(true);
    });

    tools->addSeparator();
    auto tool = [&](const char *identifier, const QString &title, void (LayoutTransforms::*slot)()) {
        QAction *action = tools->addAction(QIcon(QString(":/icons/%1.svg").arg(identifier)), title);
        action->setObjectName(identifier);
        connect(action, &QAction::triggered, m_view, [this, slot] { (m_view->transforms().*slot)(); });
        return action;
    };
    tool("Snap", tr("Snap"), &LayoutTransforms::snapToGrid)->setToolTip(tr("Snap the marked LEDs (or all) to the grid"));
    tool("MirrorX", tr("Mirror X"), &LayoutTransforms::mirrorX);
    tool("MirrorY", tr("Mirror Y"), &LayoutTransforms::mirrorY);
    m_rotateAction = tool("RotateMenu", tr("Rotate"), &LayoutTransforms::rotate);
    m_rotateAction->setToolTip(tr("Turn a quarter clockwise (with Alt or Ctrl: counter-clockwise)"));
    m_scaleAction = tool("ScaleMenu", tr("Scale"), &LayoutTransforms::scale);
    m_scaleAction->setToolTip(tr("Fit layout and grid into the space (with Alt or Ctrl: to half size)"));
    connect(m_view, &View::optionImagesChanged, this, [this](bool option) {
        m_rotateAction->setIcon(QIcon(option ? ":/icons/RotateLeftMenu.svg" : ":/icons/RotateMenu.svg"));
        m_scaleAction->setIcon(QIcon(option ? ":/icons/Scale2Menu.svg" : ":/icons/ScaleMenu.svg"));
        m_rotateAction->setProperty("image", option ? "RotateLeftMenu" : "RotateMenu");
        m_scaleAction->setProperty("image", option ? "Scale2Menu" : "ScaleMenu");
    });
    m_rotateAction->setProperty("image", "RotateMenu");
    m_scaleAction->setProperty("image", "ScaleMenu");
}

void DocumentWindow::buildMenus()
{
    Application *app = Application::instance();

    QMenu *file = menuBar()->addMenu(tr("&File"));
    if (app) {
        addAction(file, tr("&New"), QKeySequence::New, [app] { app->newDocument(); });
        addAction(file, tr("&Open…"), QKeySequence::Open, [this, app] { app->showOpenDialog(this); });
        m_recentMenu = file->addMenu(tr("Open &Recent"));
        connect(m_recentMenu, &QMenu::aboutToShow, this, &DocumentWindow::fillRecentMenu);
        file->addSeparator();
        m_patternEditor->addFileMenuItems(file);
    }
    file->addSeparator();
    addAction(file, tr("&Save"), QKeySequence::Save, [this] { m_document->save(); });
    // Not every platform defines Save As; the usual Ctrl+Shift+S stands in.
    const QKeySequence saveAs = QKeySequence(QKeySequence::SaveAs).isEmpty() ? QKeySequence(tr("Ctrl+Shift+S"))
                                                                            : QKeySequence(QKeySequence::SaveAs);
    addAction(file, tr("Save &As…"), saveAs, [this] { m_document->saveAs(); });
    auto *revertTo = new RevertMenu(m_document, this);
    addAction(file, tr("Re&vert to Saved"), {}, [revertTo] { revertTo->revertToSaved(); });
    file->addMenu(revertTo);
    addAction(file, tr("&Close"), QKeySequence::Close, [this] { close(); });
    addAction(file, tr("Add &Pictures…"), {}, [this] { m_document->addPictures(); });
    addAction(file, tr("Re&link Picture…"), {}, [this] { m_document->relinkPicture(); });
    file->addSeparator();
    addAction(file, tr("&Export…"), QKeySequence(tr("Ctrl+E")), [this] { m_document->exportAll(); });
    addAction(file, tr("Export &Template"), QKeySequence(tr("Ctrl+Shift+E")), [this] { m_document->exportTemplate(); });
    addAction(file, tr("Export &Code for a Microcontroller…"), {}, [this] { exportCode(); })
        ->setObjectName("exportCode");
    QMenu *maps = file->addMenu(tr("Export &Map"));
    for (LedMapFormat format : ledMapFormats()) {
        const QString name = formatName(format);
        addAction(maps, formatTitle(format) + QStringLiteral("…"), {}, [this, name] { m_document->exportMap(name); });
    }
    addAction(file, tr("&Import LED Map…"), {}, [this] { m_document->importLedMap(); });
    file->addSeparator();
    addAction(file, tr("Print Pre&view…"), {}, [this] { m_document->printPreview(); });
    addAction(file, tr("&Print…"), QKeySequence::Print, [this] { m_document->print(); });
    file->addSeparator();
    addAction(file, tr("&Quit"), QKeySequence::Quit, [] { QApplication::closeAllWindows(); });

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QUndoStack *stack = m_document->undoManager()->stack();
    QAction *undo = stack->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = stack->createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    // Shown once the history had to forget its oldest steps, so that nobody counts on them.
    QAction *dropped = edit->addAction(QString());
    dropped->setEnabled(false);
    dropped->setVisible(false);
    connect(m_document->undoManager(), &UndoManager::stepsDropped, this, [this, dropped](int, int total) {
        const qint64 megabytes = m_document->undoManager()->memoryBudget() >> 20;
        dropped->setText(total == 1 ? tr("Oldest undo step dropped (history above %1 MB)").arg(megabytes)
                                    : tr("%1 oldest undo steps dropped (history above %2 MB)").arg(total).arg(megabytes));
        dropped->setVisible(true);
        statusBar()->showMessage(dropped->text(), 5000);
    });
    edit->addSeparator();
    QAction *cut = addAction(edit, tr("Cu&t"), QKeySequence::Cut, [this] { EditCommands(m_view->model()).cut(); });
    QAction *copy = addAction(edit, tr("&Copy"), QKeySequence::Copy, [this] { EditCommands(m_view->model()).copy(); });
    QAction *paste = addAction(edit, tr("&Paste"), QKeySequence::Paste, [this] { EditCommands(m_view->model()).paste(); });
    QAction *remove = addAction(edit, tr("&Delete"), QKeySequence::Delete, [this] { EditCommands(m_view->model()).deleteNodes(); });
    remove->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::Key_Backspace)});
    addAction(edit, tr("Select &All"), QKeySequence::SelectAll, [this] { EditCommands(m_view->model()).selectAll(); });
    addAction(edit, tr("Deselect A&ll"), QKeySequence(tr("Ctrl+Shift+A")), [this] { EditCommands(m_view->model()).deselectAll(); });
    // Cut, copy and delete need marked LEDs; paste needs LEDs on the clipboard.
    auto updateMarkingActions = [this, cut, copy, remove] {
        const bool marked = m_view->model()->isMarked();
        cut->setEnabled(marked);
        copy->setEnabled(marked);
        remove->setEnabled(marked);
    };
    auto updatePaste = [paste] { paste->setEnabled(EditCommands::canPaste()); };
    connect(m_view, &View::markingChanged, this, updateMarkingActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, updatePaste);
    connect(edit, &QMenu::aboutToShow, this, [updateMarkingActions, updatePaste] {
        updateMarkingActions();
        updatePaste();
    });
    updateMarkingActions();
    updatePaste();

    QMenu *viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->addActions(m_modes->actions());
    buildZoomAndWiringItems(viewMenu);
    if (app)
        app->addViewMenuItems(viewMenu);

    QMenu *layout = menuBar()->addMenu(tr("&Layout"));
    addAction(layout, tr("S&nap to Grid"), QKeySequence(tr("Ctrl+G")), [this] { m_view->transforms().snapToGrid(); });
    addAction(layout, tr("Remove &Grid"), {}, [this] { m_document->model()->removeGrid(); });
    layout->addSeparator();
    addAction(layout, tr("Mirror &X"), {}, [this] { m_view->transforms().mirrorX(); });
    addAction(layout, tr("Mirror &Y"), {}, [this] { m_view->transforms().mirrorY(); });
    // The menu commands do what they say; holding Ctrl for their shortcuts must not turn
    // them into their Option variants, which have items of their own.
    addAction(layout, tr("&Rotate Clockwise"), QKeySequence(tr("Ctrl+R")), [this] { m_view->transforms().rotateClockwise(); });
    addAction(layout, tr("Rotate &Counter-clockwise"), QKeySequence(tr("Ctrl+Shift+R")), [this] { m_view->transforms().rotateLeft(); });
    addAction(layout, tr("&Scale to Fit"), QKeySequence(tr("Ctrl+0")), [this] { m_view->transforms().scaleToFit(); });
    addAction(layout, tr("Scale to &Half"), QKeySequence(tr("Ctrl+Shift+0")), [this] { m_view->transforms().scale2(); });
    layout->addSeparator();
    addAction(layout, tr("&Fit Grid to LEDs"), {}, [this] { m_view->transforms().fitGrid(); })
        ->setToolTip(tr("Place a complete grid over the LEDs, so that Preview can show patterns on them"));
    addWiringMenuItems(layout);

    QMenu *frames = menuBar()->addMenu(tr("F&rame"));
    addAction(frames, tr("&Add Frame"), QKeySequence(tr("Ctrl+Shift+N")), [this] { m_document->model()->addFrame(); });
    addAction(frames, tr("Add Frame A&fter"), QKeySequence(tr("Ctrl+Alt+N")), [this] { m_document->model()->addFrameAfter(); })
        ->setToolTip(tr("A frame of the marked LEDs and the background after the current frame"));
    addAction(frames, tr("&Remove Frame"), QKeySequence(tr("Ctrl+Shift+Backspace")), [this] { m_document->model()->removeFrame(); });
    addAction(frames, tr("&Previous Frame"), QKeySequence(tr("Ctrl+[")), [this] { m_document->model()->previousFrame(); });
    addAction(frames, tr("&Next Frame"), QKeySequence(tr("Ctrl+]")), [this] { m_document->model()->nextFrame(); });
    frames->addSeparator();
    addAction(frames, tr("Re&verse Selected Frames"), QKeySequence(tr("Ctrl+Shift+V")), [this] { m_document->model()->reverseFrames(); });
    addAction(frames, tr("&Change Frames"), QKeySequence(tr("Ctrl+Shift+C")), [this] { m_document->model()->changeFrames(); })
        ->setToolTip(tr("Store the marked LEDs in the current frame and the background in it and every selected frame"));
    buildLiveOutput(frames);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    addAction(help, tr("Lumora &Help"), QKeySequence::HelpContents, [this] { m_document->showHelp(); });
}

void DocumentWindow::buildZoomAndWiringItems(QMenu *viewMenu)
{
    viewMenu->addSeparator();
    addAction(viewMenu, tr("Zoom &In"), QKeySequence::ZoomIn, [this] { m_view->zoomIn(); })
        ->setShortcuts({QKeySequence::ZoomIn, QKeySequence(tr("Ctrl+="))});
    addAction(viewMenu, tr("Zoom &Out"), QKeySequence::ZoomOut, [this] { m_view->zoomOut(); });
    addAction(viewMenu, tr("&Zoom to Fit"), QKeySequence(tr("Ctrl+9")), [this] { m_view->zoomToFit(); });
    viewMenu->addSeparator();
    QAction *numbers = addAction(viewMenu, tr("Show LED &Numbers"), QKeySequence(tr("Ctrl+Shift+L")), [] {});
    numbers->setObjectName("showLedNumbers");
    numbers->setCheckable(true);
    connect(numbers, &QAction::toggled, m_view, &View::setNumbersShown);

    QMenu *sizes = viewMenu->addMenu(tr("LED &Size"));
    auto *sizeGroup = new QActionGroup(this);
    const std::pair<const char *, double> choices[] = {
        {QT_TR_NOOP("&Automatic"), 0}, {QT_TR_NOOP("S&mall"), 6}, {QT_TR_NOOP("&Medium"), 12}, {QT_TR_NOOP("&Large"), 20}};
    for (const auto &[title, diameter] : choices) {
        QAction *action = addAction(sizes, tr(title), {}, [this, d = diameter] { m_view->setLedSize(d); });
        action->setCheckable(true);
        action->setChecked(diameter == m_view->ledSizeSetting());
        sizeGroup->addAction(action);
    }
}

void DocumentWindow::addWiringMenuItems(QMenu *layout)
{
    layout->addSeparator();
    QMenu *add = layout->addMenu(tr("&Add LEDs"));
    const auto generate = [this](GeneratorDialog::Kind kind) {
        GeneratorDialog dialog(kind, *m_view->model(), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QList<QPointF> positions = dialog.positions();
        if (positions.isEmpty())
            return showStatus(tr("These settings make no LEDs; nothing was added."));
        m_view->model()->addLeds(positions, dialog.actionName(), dialog.snap());
        showStatus(tr("Added %n LED(s); they are marked.", nullptr, int(positions.size())));
    };
    addAction(add, tr("&Strip…"), {}, [generate] { generate(GeneratorDialog::Strip); });
    addAction(add, tr("&Ring…"), {}, [generate] { generate(GeneratorDialog::Ring); });
    addAction(add, tr("&Matrix…"), {}, [generate] { generate(GeneratorDialog::Matrix); });
    add->addSeparator();
    // The count or spacing is asked first, so that the LEDs previewed while drawing are the
    // ones the strip gets; the view keeps the last choice for the next strip.
    addAction(add, tr("&Draw Strip"), QKeySequence(tr("Ctrl+T")), [this] {
        GeneratorDialog dialog(GeneratorDialog::DrawnStrip, *m_view->model(), this);
        dialog.setStripPlacement(m_stripPlacement);
        if (dialog.exec() != QDialog::Accepted)
            return;
        m_stripPlacement = dialog.stripPlacement();
        m_view->startTool(std::make_unique<DrawStripTool>(*m_view, m_stripPlacement, dialog.snap()));
        m_view->setFocus();
    })->setObjectName("drawStrip");

    // The order tools act on the marked LEDs; without any they say so instead of doing nothing.
    const auto onMarked = [this](void (DocumentModel::*tool)()) {
        if (!m_view->model()->isMarked())
            return showStatus(tr("Mark the LEDs to reorder first."));
        (m_view->model()->*tool)();
    };
    addAction(layout, tr("Re&verse Order"), {}, [onMarked] { onMarked(&DocumentModel::reverseOrder); })
        ->setToolTip(tr("The marked LEDs swap places among themselves"));
    addAction(layout, tr("Move to S&tart"), {}, [onMarked] { onMarked(&DocumentModel::moveToStart); });
    addAction(layout, tr("Move to &End"), {}, [onMarked] { onMarked(&DocumentModel::moveToEnd); });
    addAction(layout, tr("&Wire by Clicking…"), QKeySequence(tr("Ctrl+Shift+W")), [this] {
        DocumentModel *model = m_view->model();
        if (model->ledCount() == 0)
            return showStatus(tr("There are no LEDs to wire."));
        const QList<NodePtr> marked = model->markedLeds();
        const int proposed = marked.isEmpty() ? 0 : int(model->leds().indexOf(marked.first()));
        bool ok = false;
        const int first = QInputDialog::getInt(this, tr("Wire by Clicking"), tr("The first LED clicked becomes LED:"),
                                               proposed, 0, int(model->ledCount() - 1), 1, &ok);
        if (!ok)
            return;
        m_view->startTool(std::make_unique<WireByClickingTool>(*m_view, first));
        m_view->setFocus();
    });
    connect(m_view, &View::wiringChanged, this, [this] {
        if (const auto *wiring = dynamic_cast<const WireByClickingTool *>(m_view->tool()))
            showStatus(tr("Wiring: click the LED that becomes LED %1 (Escape ends)").arg(wiring->nextPlace()));
        else
            showStatus(tr("Wiring ended."));
    });
}

void DocumentWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    Application *app = Application::instance();
    for (const QString &file : app->recentFiles())
        addAction(m_recentMenu, QFileInfo(file).fileName(), {}, [app, file] { app->openDocument(file); })
            ->setToolTip(file);
    if (m_recentMenu->isEmpty())
        m_recentMenu->addAction(tr("No recent layouts"))->setEnabled(false);
}

void DocumentWindow::updateTitle()
{
    // A failed autosave stays in sight until a save succeeds.
    QString failed = m_document->autosaveError().isEmpty() ? QString() : tr(" (not saved)");
    if (m_document->isReadOnly())
        failed += tr(" (read-only)");
    if (m_document->isFileGone())
        failed += tr(" (moved or deleted)");
    setWindowTitle(m_document->displayName() + "[*]" + failed + " — Lumora");
    setWindowModified(m_document->isModified());
    setWindowFilePath(m_document->fileName());
}

bool DocumentWindow::isAnimationTabShown() const
{
    return m_tabs->currentWidget()->property("identifier").toString() == "2";
}

void DocumentWindow::showAnimationTab(bool animation)
{
    m_tabs->setCurrentIndex(animation ? 1 : 0);
}

void DocumentWindow::selectPicture(qsizetype index)
{
    QListView *list = m_strip->imageBrowser();
    list->selectionModel()->select(list->model()->index(int(index), 0), QItemSelectionModel::ClearAndSelect);
}

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_strip->resize();
}

void DocumentWindow::showStatus(const QString &message)
{
    statusBar()->showMessage(message, 8000);
}

void DocumentWindow::reportProblems(const QString &title, const QString &text, const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    showStatus(problems.size() == 1 ? problems.first()
                                    : tr("%1 (and %n more)", nullptr, int(problems.size() - 1)).arg(problems.first()));
    const QString name = "report: " + title;
    QMessageBox *box = nullptr;
    for (QMessageBox *open : findChildren<QMessageBox *>(name))
        if (open->isVisible())
            box = open;
    QStringList lines = box ? box->property("problems").toStringList() : QStringList();
    const qsizetype before = lines.size();
    for (const QString &problem : problems)
        if (!lines.contains(problem))
            lines.append(problem);
    if (box && lines.size() == before)
        return;
    if (!box) {
        box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
        box->setObjectName(name);
        box->setWindowModality(Qt::NonModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
    }
    box->setProperty("problems", lines);
    box->setInformativeText(lines.join('\n'));
    box->show();
}

void DocumentWindow::exportCode()
{
    const QString path = m_document->fileName();
    const QString folder = path.isEmpty() ? QDir::homePath() + "/sketch"
                                          : QFileInfo(path).absolutePath() + "/" + QFileInfo(path).completeBaseName() + "_sketch";
    auto *dialog = new CodeExportDialog(m_document->snapshot().leds,
                                        sketchSettings(OutputSettings::load(QFileInfo(path).absoluteFilePath())), folder, this);
    if (Application *app = Application::instance())
        dialog->offerBuiltIns(app->patterns(), m_document->snapshot().points());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        showStatus(tr("Wrote the sketch to %1").arg(dialog->findChild<QLineEdit *>("folder")->text()));
    });
    dialog->open();
}

void DocumentWindow::showExportReport(const ExportReport &report, const QString &folder)
{
    if (report.cancelled) {
        showStatus(tr("Export cancelled; nothing was written."));
        return;
    }
    QStringList names;
    for (const QString &file : report.written)
        names.append(QFileInfo(file).fileName());
    if (!folder.isEmpty() && !names.isEmpty()) {
        const QString message = tr("Exported %n file(s) to %1: %2", nullptr, int(names.size()))
                                    .arg(QDir::toNativeSeparators(folder), names.join(", "));
        m_openExportFolder->setProperty("folder", folder);
        m_openExportFolder->setProperty("message", message);
        statusBar()->showMessage(message, 30000);
        m_openExportFolder->show();
    }
    if (report.ok() && report.warnings.isEmpty()) {
        if (folder.isEmpty())
            showStatus(tr("Exported %n file(s): %1", nullptr, int(names.size())).arg(names.join(", ")));
        return;
    }
    QMessageBox box(report.ok() ? QMessageBox::Information : QMessageBox::Warning, tr("Export"),
                    report.ok() ? tr("The export is written, with warnings.") : tr("Some export files could not be written."),
                    QMessageBox::Ok, this);
    QStringList details;
    if (!names.isEmpty())
        details << tr("Written: %1").arg(names.join(", "));
    details << report.failures << report.warnings;
    box.setDetailedText(details.join('\n'));
    QStringList summary = report.failures;
    if (!report.failures.isEmpty())
        summary.append(report.mixSummary());
    box.setInformativeText((summary + report.warnings).join('\n'));
    box.exec();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (!m_patternEditor->maybeDropPattern() || !m_document->maybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
    m_document->deleteLater();
}

void DocumentWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            // The frontmost layout is the one the Image pattern scrolls.
            m_view->updateBitmap();
            m_view->flagsChanged(QApplication::queryKeyboardModifiers());
        } else {
            m_view->flagsChanged(std::nullopt);
        }
    }
    QMainWindow::changeEvent(event);
}

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Modifier keys change the rotate and scale images wherever the focus is.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && isActiveWindow()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        m_view->flagsChanged(key->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace lumora
