#pragma once

#include "pictures/Picture.h"
#include "document/DocumentModel.h"
#include "document/LayoutSnapshot.h"
#include "colors/ColorSource.h"
#include "colors/PreviewClock.h"
#include "editor/LayoutPainter.h"
#include "editor/LayoutTransforms.h"
#include "editor/TrackpadGesture.h"
#include "editor/ViewPanning.h"
#include "editor/tools/EditingMode.h"
#include "editor/tools/Tool.h"

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRgba64>
#include <QTimer>
#include <QTransform>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace lumora {

class ColorPattern;
class UndoManager;

/// The layout editor's canvas: it shows the document model (the LEDs in LED order with the
/// line through them, the grid, the background picture), maps between layout and widget
/// coordinates, zooms and pans, and forwards the mouse and keys to the current tool (the
/// mode's, or one started over it such as Draw Strip); it redraws from the model's signals.
/// It owns only what is on screen: the mode, the preview colours, the zoom. Its
/// `LayoutPainter` paints the layout and keeps the layers that make that cheap.
class View : public QWidget {
    Q_OBJECT
    // The painter reads the LEDs' looks and the canvas's state straight from the view.
    friend class LayoutPainter;

public:
    static constexpr QRectF layoutSpace() { return QRectF(0, 0, 1024, 768); }
    /// Inside the layout space: 0 ≤ x < 1024 and 0 ≤ y < 768.
    static bool isInsideLayout(QPointF point);

    explicit View(DocumentModel *model, QWidget *parent = nullptr);
    ~View() override;

    /// Where the preview gets the current pattern from.
    void setPatternSource(std::function<const ColorPattern *()> source) { m_patternSource = std::move(source); }
    /// While set and answering a source, Preview shows its colours instead of the current
    /// pattern's: how a pattern the user wrote is previewed.
    void setPreviewSource(std::function<ColorSource *()> source) { m_previewSource = std::move(source); }
    /// The clock the preview colours its frames at (held fixed, every tick shows one frame).
    PreviewClock &clock() { return m_clock; }
    /// What a colour source reads for the frame shown now: the clock's time, the LEDs in grid
    /// and layout units, the marking, the background picture and the Image pattern's box.
    FrameContext frameContext() const;
    /// Shows a source's colours on the LEDs, as a preview or colours tick does; with
    /// `contrastRings` the unmarked LEDs' rings stand out from their discs (Colors mode).
    void showColors(std::span<const PixelColor> colors, bool contrastRings = false);
    /// Whether the LEDs show a colour source's colours (Preview and Colors) rather than the
    /// marking.
    bool showsColors() const { return modeColors() != ModeColors::Marking; }
    /// The colours the last tick showed, three bytes r, g, b per LED as the exports encode
    /// them (black for LEDs it did not colour).
    QByteArray ledBytes() const;
    /// How LED k is drawn now: its disc and its ring.
    QColor ledFill(qsizetype k) const;
    QColor ledRing(qsizetype k) const;

    // --- The LED list --------------------------------------------------------------
    /// A new LED at the point, placed by the insertion rule.
    NodePtr addVertex(QPointF point);
    /// In front of the first marked LED (and then marked itself), or appended.
    void insertNode(const NodePtr &node);
    /// Many nodes at once, gliding there when a transform prepared it: one change of the
    /// model and one undo record.
    void moveNodes(const QList<NodePtr> &nodes, const QList<QPointF> &positions);
    DocumentModel *model() const { return m_model; }
    /// Refreshes the LED order line and the grid lines when their signatures changed.
    void updateEdges(bool animated);
    /// A widget position as a layout point.
    QPointF pointFromEvent(QPointF widgetPosition) const;
    /// A layout point as a widget position.
    QPointF widgetPoint(QPointF layoutPoint) const;

    // --- The grid ------------------------------------------------------------------
    /// The grid's third handle as the document loader places it (no undo): it switches to
    /// Edit Grid without the toolbar.
    void addY(QPointF point);
    bool isGridShown() const { return m_gridShown; }
    /// The lattice's segments (82 once the y handle exists), in layout coordinates.
    QList<QLineF> latticeSegments() const;

    // --- Modes and tools -----------------------------------------------------------
    /// Enters the toolbar mode of that identifier ("Edit Nodes", "Select", "Edit Grid",
    /// "Preview", "Colors"); false when refused (Preview without a complete grid).
    bool setMode(const QString &identifier);
    /// The current mode's identifier.
    QString mode() const { return QLatin1String(m_mode->identifier); }
    /// What colours the LEDs in the current mode.
    ModeColors modeColors() const { return m_mode->colors; }
    /// The tool events go to: one started over the mode, or the mode's.
    Tool *tool() const { return m_override ? m_override.get() : m_modeTool.get(); }
    /// Puts a tool over the mode's (ending one started before) until it calls `endTool`.
    void startTool(std::unique_ptr<Tool> tool);
    void endTool();
    NodePtr nodeAtPoint(QPointF point) const;
    /// The modifier keys changed (or, with none, were let go): updates the tool images.
    void flagsChanged(std::optional<Qt::KeyboardModifiers> modifiers);
    /// Mirror, turn and fit, on the marked LEDs or all.
    LayoutTransforms &transforms() { return m_transforms; }
    /// The ring Colors mode draws around a disc of this colour: black or white, whichever
    /// stands out from it.
    static QColor contrastingRing(const QColor &fill);

    /// Moves made during this event glide over 0.2 s.
    void prepareAnimation();

    // --- The Image pattern and painting ----------------------------------------------
    /// Brings what the Image pattern samples up to date: the background's pixels and the
    /// LEDs' box in grid units.
    void updateBitmap();
    /// The cyan markers on LEDs that lie exactly on an earlier LED, brought up to date.
    const QList<NodePtr> &duplicateNodes();

    /// Renders the layout into an image of the given width (for benchmarks and thumbnails).
    QImage renderLayout(int width);
    /// What paints the layout, and keeps its composited layers.
    LayoutPainter &layoutPainter() { return m_layoutPainter; }
    const LayoutPainter &layoutPainter() const { return m_layoutPainter; }

    // --- Zoom and pan ----------------------------------------------------------------
    /// The map from layout to widget coordinates for a widget of this size: the whole
    /// layout space fitted with its aspect kept and centred, magnified `zoom` times about
    /// `centre` (a layout point, shown in the middle of the widget).
    static QTransform fitTransform(QSizeF size, double zoom = 1, QPointF centre = {512, 384});
    /// What `pointFromEvent` and `widgetPoint` map through.
    const QTransform &layoutTransform() const { return m_toWidget; }
    /// The zoom allowed at least, and how far apart the closest two LEDs may be drawn at
    /// most: a dense layout zooms in further, until they are that many pixels apart.
    static constexpr double defaultMaximumZoom = 16;
    static constexpr double closestLedPixels = 24;
    double maximumZoom() const;
    double zoom() const { return m_zoom; }
    /// Zooms to the factor (1: the whole layout space) keeping the layout point under the
    /// widget position where it is.
    void setZoom(double zoom, QPointF widgetAnchor);
    /// The layout point in the middle of the widget; kept such that no more than the
    /// layout space is scrolled through.
    QPointF viewCentre() const { return m_centre; }
    void setViewCentre(QPointF centre);
    /// The part of the layout space that is on screen.
    QRectF visibleLayoutRect() const;

    // --- Reading the wiring ----------------------------------------------------------
    bool areNumbersShown() const { return m_numbersShown; }
    void setNumbersShown(bool shown);
    /// Show every n-th LED's number so that labels do not pile up (1 when zoomed in far
    /// enough); LED 0 always shows.
    int numberStep() const;
    /// The disc diameter in layout units as chosen (0: automatic) and as drawn.
    double ledSizeSetting() const { return m_ledSizeSetting; }
    void setLedSize(double diameter);
    double ledSize() const;

public slots:
    void hideGrid();
    void showGrid();
    /// The timer's action: colours the LEDs in preview and colours modes.
    void tick();

signals:
    /// The marking changed (enables cut, copy and delete).
    void markingChanged();
    /// Something the user should know that is not an error (a refused drop, say).
    void statusMessage(const QString &message);
    /// Wiring by clicking started, went on or ended.
    void wiringChanged();
    /// The toolbar shows this item ("Edit Nodes", "Select", "Edit Grid", "Preview", "Colors").
    void toolbarItemSelected(const QString &identifier);
    /// The rotate and scale tools show their Option images.
    void optionImagesChanged(bool optionDown);
    void countChanged(qsizetype count);
    /// Zoom or pan changed what is on screen.
    void viewChanged();
    /// Preview was asked for without a complete grid (the status message says what is
    /// missing); the window offers Fit Grid to LEDs.
    void previewRefused();
    /// A preview or colours tick coloured the LEDs (ledBytes holds what is on screen).
    void ticked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

public slots:
    void zoomIn();
    void zoomOut();
    void zoomToFit();

private:
    /// The mode's tool, made afresh when the mode changed (after the press under way).
    void updateModeTool();
    void updateViewTransform();
    /// The automatic disc size and the closest spacing, computed again when stale.
    void refreshSpacing() const;
    /// The model's LEDs changed in number or order, or moved.
    void ledsChanged();
    void gridChanged();
    /// Publishes the picture and the LED box for the Image pattern once the event is done.
    void scheduleBitmapUpdate();
    const QList<NodePtr> &leds() const { return m_model->leds(); }
    /// The marking's rings again (red or white) and, with `fills`, black discs: after
    /// Preview or Colors.
    void clearPreviewColors(bool fills);
    QPointF displayPosition(const Node &node) const;
    void findDuplicates();

    DocumentModel *m_model;
    std::function<const ColorPattern *()> m_patternSource;
    std::function<ColorSource *()> m_previewSource;
    PreviewClock m_clock;
    /// The last tick's colours, LED by LED: as the source gave them (for the output) and as
    /// the discs show them. Empty in the editing modes: the discs are black.
    std::vector<PixelColor> m_ledColors;
    std::vector<QRgba64> m_fills;
    bool m_contrastRings = false;
    /// What the Image pattern samples for this layout, brought up to date by updateBitmap.
    PixelSource m_pixelSource;

    double m_lastX = 0, m_lastY = 0;

    double m_lastGridX = 0, m_lastGridY = 0;
    bool m_gridShown = true;
    bool m_axesDrawn = false;
    QList<QLineF> m_lattice;

    const EditingMode *m_mode = &editingModes().first();
    std::unique_ptr<Tool> m_modeTool;
    /// The mode the tool is made for: it changes after a press under way.
    const EditingMode *m_toolMode = nullptr;
    std::unique_ptr<Tool> m_override;
    /// A tool that ended itself, kept until the next one ends (its code may still be running).
    std::unique_ptr<Tool> m_retired;
    /// A press the tool holds is under way.
    bool m_pressed = false;
    TrackpadGesture m_gesture;
    LayoutTransforms m_transforms{*this};
    bool m_painting = false;

    QList<NodePtr> m_duplicates;
    bool m_bitmapUpdateScheduled = false;
    /// A background whose pixels are still being decoded: painting and Colors wait for the
    /// model's next backgroundChanged instead of blocking the window.
    bool backgroundPending() const;

    QTimer m_timer;

    QElapsedTimer m_animationClock;
    /// Where each node a transform moves glides from over 0.2 s; the node is held so that
    /// no other takes its address meanwhile.
    QHash<const Node *, std::pair<NodePtr, QPointF>> m_glideStarts;
    bool m_animationPrepared = false;
    QTimer m_animationTimer;

    LayoutPainter m_layoutPainter{*this};

    QTransform m_toWidget;
    double m_zoom = 1;
    QPointF m_centre{512, 384};
    ViewPanning m_panning{*this};

    bool m_numbersShown = false;
    double m_ledSizeSetting = 0;
    /// The automatic disc size, computed again when the LEDs moved (not during a drag).
    mutable double m_autoLedSize = 20;
    mutable bool m_autoLedSizeStale = true;
    /// The distance between the closest two LEDs, kept with the automatic size.
    mutable double m_closestSpacing = 0;
};

} // namespace lumora
