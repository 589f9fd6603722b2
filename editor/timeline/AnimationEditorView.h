#pragma once

#include "document/DocumentModel.h"
#include "document/Node.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFuture>
#include <QImage>
#include <QList>
#include <QLoggingCategory>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <vector>

class QScrollArea;

namespace lumora {

class UndoManager;

Q_DECLARE_LOGGING_CATEGORY(lcTimeline)

/// The animation timeline of a document window: one 64 × 48 thumbnail per frame of the
/// current track, top to bottom, painted as one strip. The current frame is drawn opaque,
/// the selected frames with a red border. Clicks pick the current frame, Shift-clicks and
/// the rubberband extend the selection, and dragging moves the selected frames (undoably,
/// the whole drag one step). Owned by the document window, which puts it in a scroll area;
/// it observes the document model, asks it for every change of the frames, and follows
/// the model's signals.
///
/// The thumbnails stay index-aligned with the frames: every reordering the model reports
/// is applied to the thumbnails the same way. Thumbnails glide to their slots; their images are drawn
/// on worker threads so that a new LED layout never stalls the window.
class AnimationEditorView : public QWidget {
    Q_OBJECT
public:
    static constexpr int thumbnailWidth = 64;
    static constexpr int thumbnailHeight = 48;
    /// Vertical distance between thumbnail centres, and the view height per thumbnail.
    static constexpr int slotHeight = 64;
    static constexpr double centreX = 42;
    /// Where an inserted thumbnail slides in from.
    static constexpr double slideInX = 500;
    static constexpr int glideMilliseconds = 250;

    explicit AnimationEditorView(DocumentModel *model, QWidget *parent = nullptr);
    ~AnimationEditorView() override;

    std::shared_ptr<AnimationEditor> animationEditor() const { return m_animationEditor; }

    // --- Following the model ------------------------------------------------------------
    /// Takes the model's animation; the thumbnails are built before the next paint.
    void setAnimationEditor(std::shared_ptr<AnimationEditor> editor);
    /// Syncs thumbnail i with frame i, creating it at the end when missing.
    void addAnimationEditorLayer(qint64 index);
    /// A thumbnail for the frame just inserted at index, sliding in.
    void insertAnimationEditorLayer(qint64 index);
    /// Shrinks the view by one slot and drops thumbnail i; the rest close up at the next sync.
    void removeLayerAtIndex(qint64 index);
    /// Syncs every thumbnail with the model.
    void updateAnimationEditorView();
    void scrollToSelectedFrame();
    /// Redraws in the background every thumbnail whose LEDs, marking or picture changed; each
    /// keeps its old image until the new one arrives, and a newer request for a thumbnail
    /// supersedes an older one still under way.
    void updateImages();
    /// Reverses the selected frames (all when none is selected), through the model.
    void reverseSelection();

    /// Redraws thumbnail i's image at once (ignored outside the thumbnails).
    void updateImage(qint64 index);
    /// The image of frame i as its thumbnail shows it, or a null image outside the frames.
    QImage createImage(qint64 index) const;

    // --- Selection and order -------------------------------------------------------------
    /// Moves one frame through the model (its thumbnail follows); `to` names a gap of the
    /// list before the move. Undoable as "move Frames".
    void moveFrameFromIndex(qsizetype from, qsizetype to);
    void deselectAllFrames();
    bool isSelectedFrame(qsizetype index) const;
    /// Sends every thumbnail gliding to its slot.
    void updatePositions();
    /// The sync that runs before the view is drawn after a change of model or size.
    void viewWillDraw();

    // --- How the strip looks (for tests, the window and printing) ------------------------
    qsizetype thumbnailCount() const { return m_thumbnails.size(); }
    /// Where thumbnail i rests, drag offset included (not where a glide shows it right now).
    QRectF thumbnailRect(qsizetype index) const;
    /// Drawn opaque, as the current frame.
    bool isHighlighted(qsizetype index) const;
    /// Drawn with the red border of a selected frame.
    bool hasSelectedBorder(qsizetype index) const;
    QImage thumbnailImage(qsizetype index) const;
    /// Whether background thumbnail images are still being drawn.
    bool isRenderingImages() const { return !m_batches.empty(); }
    /// Whether thumbnails are gliding.
    bool isAnimating() const { return m_animationTimer.isActive(); }

    /// A thumbnail image: the picture stretched over 64 × 48 at opacity 0.8 on white, and a
    /// black dot with a white glow for each lit LED that exists, LEDs given in layout
    /// coordinates (1024 wide, y up). Rounded corners are transparent. Thread-safe.
    static QImage renderThumbnail(const QList<QPointF> &leds, const QList<bool> &selection,
                                  const QImage &picture, qreal devicePixelRatio);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    /// At most this many new or changed thumbnails are drawn at once; more go to the workers.
    static constexpr qsizetype synchronousImageCount = 4;
    /// Room around a thumbnail for its shadow, in points.
    static constexpr int shadowMargin = 8;

    /// What a thumbnail image is drawn from. Equal sources give equal images.
    struct ImageSource {
        std::shared_ptr<const QList<QPointF>> leds;
        QList<bool> selection;
        PicturePtr picture;
        qreal devicePixelRatio = 0;
        bool operator==(const ImageSource &) const = default;
    };
    /// One thumbnail: its image, where it rests and where it glides from, its drag offset
    /// and its looks.
    struct Thumbnail {
        quint64 id = 0;
        QImage image;
        /// What the latest image request draws from.
        ImageSource source;
        /// The latest image request, shared with the workers so that they skip superseded
        /// work; an image drawn for an older request is dropped.
        std::shared_ptr<std::atomic<quint64>> request = std::make_shared<std::atomic<quint64>>(0);
        QPointF centre;
        QPointF glideFrom;
        qint64 glideStart = 0;
        bool gliding = false;
        /// Vertical offset while dragged.
        double translation = 0;
        int z = 0;
        bool hidden = false;
        bool highlighted = false;
        bool selectedBorder = false;
        double borderWidth = 2.0;
    };
    using ThumbnailPtr = std::shared_ptr<Thumbnail>;
    struct Batch;
    class PictureCache;
    struct RenderedImage {
        quint64 id;
        quint64 request;
        QImage image;
    };

    const QList<FramePtr> *frames() const;
    // What the model reports.
    void frameInserted(qint64 index);
    void frameRemoved(qint64 index);
    void frameMoved(qsizetype from, qsizetype to);
    void framesReversed(const std::vector<qsizetype> &places);
    void framesEdited(const QList<qsizetype> &indexes);
    void currentFrameChanged();
    /// Highlights exactly the current frame's thumbnail.
    void highlightCurrentOnly();
    qint64 selectedFrame() const;
    qsizetype indexOf(const ThumbnailPtr &thumbnail) const;
    ThumbnailPtr makeThumbnail();

    // Looks of one thumbnail.
    void selectLayer(const ThumbnailPtr &thumbnail, bool selected);
    void highlightLayer(const ThumbnailPtr &thumbnail, bool highlighted);
    void placeLayer(const ThumbnailPtr &thumbnail, QPointF centre, bool animated);
    void dropTransform(const ThumbnailPtr &thumbnail);
    void setNeedsDisplay();
    void updateFrame(qsizetype count);
    /// Appends thumbnails until there are `count`, collecting the new ones.
    void ensureThumbnails(qsizetype count, QList<ThumbnailPtr> &created);
    /// addAnimationEditorLayer without drawing images; false for an index outside the frames.
    bool syncLayer(qint64 index, QList<ThumbnailPtr> &created);

    // Glides.
    QPointF presentationCentre(const Thumbnail &thumbnail, qint64 now) const;
    void startGlide(Thumbnail &thumbnail, QPointF from);
    void advanceAnimations();

    // Images.
    /// The LEDs' layout positions; the same list as last time while they have not moved.
    std::shared_ptr<const QList<QPointF>> ledPositions() const;
    /// What frame i's thumbnail shows now (with the LED positions given, or read afresh).
    ImageSource imageSource(qsizetype index, std::shared_ptr<const QList<QPointF>> leds = {}) const;
    /// Draws a few images at once and hands many to the workers.
    void provideImages(const QList<ThumbnailPtr> &thumbnails);
    /// Hands the thumbnails' images to the workers; with `onlyChanged`, skips thumbnails
    /// whose latest request draws from what their frame shows now.
    void requestImages(const QList<ThumbnailPtr> &thumbnails, bool onlyChanged);
    static std::shared_ptr<PictureCache> makePictureCache();
    /// Cancels the background drawing and waits for it.
    void stopRendering();
    void receiveImages(const std::vector<RenderedImage> &images);
    void finishBatch(const Batch *batch);
    QList<ThumbnailPtr> visibleFirst(const QList<ThumbnailPtr> &thumbnails) const;
    const QImage &placeholderImage();
    const QImage &shadowImage();

    // The mouse.
    qsizetype thumbnailAt(QPointF point) const;
    void selectFrame(QPointF point, Qt::KeyboardModifiers modifiers);
    void mouseDragged(QPointF point, Qt::KeyboardModifiers modifiers);
    void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers);
    void followMouse(QPointF point);
    void stretchRubberband(QPointF point);
    std::shared_ptr<RectangleNode> addRubberband(QPointF point);
    void findDragLayers();
    /// Takes the target by value: the moves reorder the list it may come from.
    void moveLayers(ThumbnailPtr target);
    void autoscrollTick();
    /// Scrolls the enclosing scroll area towards the mouse when it is near or beyond an
    /// edge; whether it scrolled.
    bool autoscroll(QPoint globalPosition);
    QScrollArea *scrollArea() const;

    DocumentModel *m_model;
    std::shared_ptr<AnimationEditor> m_animationEditor;
    /// A click is choosing the current frame: the selection stays as the click left it.
    bool m_choosingFrame = false;
    /// Coalesces the LED changes of one burst (a drag) into one thumbnail update.
    QTimer m_imagesTimer;
    QList<ThumbnailPtr> m_thumbnails;
    quint64 m_nextThumbnailId = 1;
    bool m_syncScheduled = false;
    bool m_inViewWillDraw = false;

    // The current press.
    bool m_pressed = false;
    QPoint m_lastGlobal;
    ThumbnailPtr m_dragLayer;
    QList<ThumbnailPtr> m_dragLayers;
    std::shared_ptr<RectangleNode> m_rubberband;
    QTimer m_autoscrollTimer;

    QElapsedTimer m_clock;
    QTimer m_animationTimer;

    quint64 m_imageRequest = 0;
    mutable std::shared_ptr<const QList<QPointF>> m_leds;
    std::vector<std::shared_ptr<Batch>> m_batches;
    std::shared_ptr<PictureCache> m_pictures;
    QImage m_placeholder;
    QImage m_shadow;
};

} // namespace lumora
