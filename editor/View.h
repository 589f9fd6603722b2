#pragma once

#include "FrameTimeline.h"
#include "Node.h"

#include "animation/AnimationEditor.h"
#include "animation/Picture.h"
#include "document/GridTransform.h"
#include "document/LayoutSnapshot.h"
#include "document/NodesCodec.h"
#include "document/PatternRender.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

class ColorPattern;
class UndoManager;

using NodePtr = std::shared_ptr<Node>;

/// The layout editor of a document window: the LEDs in LED order with the line through
/// them, the grid, the background picture, the five editing modes with their mouse
/// handling, the whole-layout transforms, and the 30-per-second preview. It paints every
/// node itself in one pass (cached ring and glow images), so ten thousand LEDs stay fluid.
/// Every edit registers its inverse with the document's undo manager.
class View : public QWidget {
    Q_OBJECT
public:
    enum Mode { EditNodes = 0, Select = 1, EditGrid = 2, Preview = 3, Colors = 4 };
    static constexpr QRectF layoutSpace() { return QRectF(0, 0, 1024, 768); }
    /// Inside the layout space: 0 ≤ x < 1024 and 0 ≤ y < 768.
    static bool isInsideLayout(QPointF point);

    explicit View(UndoManager *undoManager, QWidget *parent = nullptr);
    ~View() override;

    /// Where the preview and the pattern export get the current pattern from.
    void setPatternSource(std::function<const ColorPattern *()> source) { m_patternSource = std::move(source); }

    // --- The LED list --------------------------------------------------------------
    /// A new LED at the point, placed by the insertion rule.
    NodePtr addVertex(QPointF point);
    /// In front of the first marked LED (and then marked itself), or appended.
    void insertNode(const NodePtr &node);
    void insertNode(const NodePtr &node, qint64 index);
    void addNode(const NodePtr &node);
    void removeNode(const NodePtr &node);
    /// Undoable move (no action name).
    void moveNode(const NodePtr &node, QPointF position);
    void updateCount();
    const QList<NodePtr> &nodes() const { return m_ledNodes; }
    qsizetype ledCount() const { return m_ledNodes.size(); }
    /// Refreshes the LED order line and the grid lines when their signatures changed.
    void updateEdges(bool animated);
    /// A widget position as a layout point.
    QPointF pointFromEvent(QPointF widgetPosition) const;
    /// A layout point as a widget position.
    QPointF widgetPoint(QPointF layoutPoint) const;

    // --- The grid ------------------------------------------------------------------
    void addOrigin(QPointF point);
    void addX(QPointF point);
    void addY(QPointF point);
    void addGridhandle(QPointF point);
    int gridState() const { return m_gridState; }
    /// The grid transform once the grid is complete.
    std::optional<GridTransform> transform() const;
    /// The three handles once the grid is complete.
    std::optional<GridHandles> gridHandles() const;
    QList<NodePtr> gridNodes() const;
    QPointF snap(QPointF point) const;
    void snapNode(const NodePtr &node);
    bool isGridShown() const { return m_gridShown; }
    NodePtr origin() const { return m_origin; }
    NodePtr xDirection() const { return m_xDirection; }
    NodePtr yDirection() const { return m_yDirection; }
    NodePtr gridHandle() const { return m_gridHandle; }
    int editGridState() const { return m_editGridState; }
    /// The lattice's segments (82 once the y handle exists), in layout coordinates.
    QList<QLineF> latticeSegments() const;

    // --- Modes and the mouse -------------------------------------------------------
    int mode() const { return m_mode; }
    NodePtr nodeAtPoint(QPointF point) const;
    /// Selects the LED at the point; whether the selection changed.
    bool selectNode(QPointF point);
    void selectNode(const NodePtr &node, QPointF point);
    void deselectNode();
    NodePtr selectedNode() const { return m_selectedNode; }
    bool moved() const;
    void moveNode(QPointF point, bool snap);
    void moveNode(const NodePtr &node, QPointF point, bool snap);
    void removeSelectedNode();
    void notMoveSelectedNode();
    std::shared_ptr<RectangleNode> addRubberband(QPointF point);
    std::shared_ptr<RectangleNode> rubberband() const { return m_rubberband; }
    void markNode(const NodePtr &node);
    void unmarkNode(const NodePtr &node);
    void toggleMarkNode(const NodePtr &node);
    bool isMarked() const;
    /// Whether the Option key (Alt, or Ctrl, since window managers take Alt-drag) is down.
    static bool isOptionDown(Qt::KeyboardModifiers modifiers);
    /// The modifier keys changed (or, with none, were let go): updates the tool images.
    void flagsChanged(std::optional<Qt::KeyboardModifiers> modifiers);
    /// Ends a trackpad gesture: turn by the sign of the last rotation, fit by the last
    /// magnification.
    void rotateGestureEnded(double lastRotation);
    void magnifyGestureEnded(double lastMagnification);

    // --- Transforms ----------------------------------------------------------------
    QRectF bounds(bool markedOnly) const;
    QPointF center(bool markedOnly) const;
    double boundsOffset() const;
    void prepareAnimation();
    void scaleFactor(double factor);

    // --- Preview, background and frames --------------------------------------------
    QList<QPointF> points() const;
    QList<QPointF> positions() const;
    QRectF boundingBox() const;
    /// 3000 frames of the pattern, one pixel per LED; false when cancelled.
    bool exportAnimation(QByteArray &buffer, const ColorPattern &pattern, RenderControl *control = nullptr);
    std::shared_ptr<const QImage> bitmap() const;
    void addBitmap(const QImage &bitmap);
    void updateBitmap();
    void addImage(PicturePtr image, const QUrl &url);
    bool addImageWithURL(const QUrl &url);
    void removeImages();
    PicturePtr image() const { return m_image; }
    QUrl url() const { return m_url; }
    QList<bool> selection() const;
    void setSelection(const QList<bool> &selection);
    void updateSelection();
    std::shared_ptr<AnimationEditor> animationEditor() const { return m_animationEditor; }
    void setAnimationEditor(std::shared_ptr<AnimationEditor> editor) { m_animationEditor = std::move(editor); }
    /// The timeline of the same window, told about every frame change (may be none).
    FrameTimeline *animationEditorView() const { return m_animationEditorView; }
    void setAnimationEditorView(FrameTimeline *timeline) { m_animationEditorView = timeline; }

    /// The positions a paste would add; none when the clipboard holds no LEDs (or data
    /// that is malformed or comes from elsewhere).
    static std::optional<QList<QPointF>> clipboardNodes();
    static bool canPaste();
    const QList<NodePtr> &duplicateNodes() const { return m_duplicates; }

    /// What saving and exporting read from the layout.
    LayoutSnapshot snapshot() const;

    /// Renders the layout into an image of the given width (for benchmarks and thumbnails).
    QImage renderLayout(int width);

public slots:
    void editNodes();
    void selectMode();
    void editGrid();
    void preview();
    void colorsMode();
    void updateMode();
    void snapToGrid();
    void hideGrid();
    void showGrid();
    void selectAll();
    void mirrorX();
    void mirrorY();
    void rotate();
    void rotateLeft();
    void scale();
    void scale2();
    /// The timer's action: colours the LEDs in preview and colours modes.
    void tick();
    void addFrame();
    void removeFrames();
    void previousFrame();
    void nextFrame();
    void reverseSelection();
    void changeSelection();
    void copy();
    void cut();
    void paste();
    /// The delete command: removes the marked LEDs, one undo step.
    void deleteNodes();

signals:
    /// The marking changed (enables cut, copy and delete).
    void markingChanged();
    /// The toolbar shows this item ("Edit Nodes", "Select", "Edit Grid", "Preview", "Colors").
    void toolbarItemSelected(const QString &identifier);
    /// The rotate and scale tools show their Option images.
    void optionImagesChanged(bool optionDown);
    void countChanged(qsizetype count);
    /// The frames or the current frame changed.
    void framesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setMode(int mode, const char *identifier);
    void mouseDown(QPointF point);
    void mouseDragged(QPointF point);
    void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers);
    void mouseMoved(QPointF point);
    void gridPress(QPointF point);
    void gridDrag(QPointF point);
    void finishGridDrag();
    NodePtr makeGridNode(QPointF point, QColor stroke, Node::Shape shape);
    void transformLeds(const std::function<QPointF(QPointF, QPointF)> &map);
    void paintLayout(QPainter &painter, double scale);
    void paintStaticLayer(QPainter &painter, double scale, double viewHeight);
    quint64 staticLayerKey(QSize size, double scale) const;
    void drawShape(QPainter &painter, const Node &node) const;
    const QPixmap &ringSprite(const QColor &stroke, bool glow, double scale);
    void colorPreview(const ColorPattern &pattern, double T);
    void colorFromBitmap();
    QPointF displayPosition(const Node &node) const;
    void findDuplicates();
    /// Hands a frame to the model at the current index and tells the timeline.
    void insertFrame(const FramePtr &frame);

    UndoManager *m_undo;
    std::function<const ColorPattern *()> m_patternSource;

    QList<NodePtr> m_ledNodes;
    double m_lastX = 0, m_lastY = 0;

    NodePtr m_origin, m_xDirection, m_yDirection, m_gridHandle;
    int m_gridState = 0;
    int m_editGridState = 0;
    QPointF m_a, m_b, m_c, m_selectedPoint;
    double m_lastGridX = 0, m_lastGridY = 0;
    bool m_gridShown = true;
    bool m_axesDrawn = false;
    QList<QLineF> m_lattice;

    int m_mode = EditNodes;
    NodePtr m_selectedNode;
    QPointF m_selectedPosition;
    QPointF m_selectedOffset;
    std::shared_ptr<RectangleNode> m_rubberband;
    bool m_pressed = false;
    bool m_painting = false;

    QList<NodePtr> m_duplicates;

    QTimer m_timer;
    QList<std::shared_ptr<const QImage>> m_bitmaps;
    PicturePtr m_image;
    QUrl m_url;
    std::shared_ptr<AnimationEditor> m_animationEditor;
    FrameTimeline *m_animationEditorView = nullptr;

    QElapsedTimer m_animationClock;
    bool m_animationPrepared = false;
    QTimer m_animationTimer;

    struct Sprite {
        QRgb stroke;
        bool glow;
        double scale;
        QPixmap pixmap;
    };
    QList<Sprite> m_sprites;
    QPixmap m_staticLayer;
    quint64 m_staticKey = 0;
};

} // namespace lumora
