#pragma once

#include "GridTransform.h"
#include "LayoutSnapshot.h"
#include "Model.h"
#include "Node.h"

#include "animation/AnimationEditor.h"
#include "pictures/Picture.h"
#include "pictures/PictureCache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lumora {

class UndoManager;

using NodePtr = std::shared_ptr<Node>;

/// The open layout of one document, and the single truth about it: the LEDs in LED order
/// with their marking, the grid handles, the pictures of the strip, the background, and the
/// frame animations. Every change goes through it; it records the inverse of each change
/// with its undo manager (acting on this model again) and signals what changed, so the
/// editor widgets, saving and the command line all read the same state. The reader fills
/// it through `load`, the writer and the exports read `snapshot`.
class DocumentModel : public QObject {
    Q_OBJECT
public:
    explicit DocumentModel(QObject *parent = nullptr);
    ~DocumentModel() override;

    UndoManager *undoManager() const { return m_undo; }

    /// The set-up from what the reader found: points become LEDs in file order, the first
    /// three grid rows the handles, the filenames the strip, and the animation model is
    /// taken over. Registers no undo and reports no change; replaces what was there.
    void load(const Model &model);
    /// Everything the writer and the exports read, handed over at once.
    LayoutSnapshot snapshot() const;
    /// Tells observers made after `load` what the layout holds, as `load` would have.
    void announce();
    /// The whole layout replaced by what the reader found, as one undoable change named
    /// `name` (a revert or a reload): undo brings back the very LEDs, grid, pictures and
    /// frames that were there, so earlier undo steps still apply. `background` is shown.
    void replace(const Model &model, const QUrl &background, const QString &name);

    // --- LEDs ----------------------------------------------------------------------------
    const QList<NodePtr> &leds() const { return m_leds; }
    qsizetype ledCount() const { return m_leds.size(); }
    QList<QPointF> ledPositions() const;
    /// At `index` (appended when outside the list): "insert node".
    void insertLed(const NodePtr &node, qsizetype index);
    /// Appended: "add node".
    void addLed(const NodePtr &node);
    /// Many LEDs at once from `index` on (appended when outside), in order; one change and
    /// one undo record, however many. Not named: the caller names the step.
    void insertLeds(const QList<NodePtr> &nodes, qsizetype index);
    /// "remove node"; nothing when the node is not an LED of this model.
    void removeLed(const NodePtr &led);
    /// LEDs read from another tool's map, appended in their order: one step, "import LEDs".
    /// When `toCheck` names any of them (indices into `positions`), the marking becomes
    /// exactly those, so the user sees them.
    void importLeds(const QList<QPointF> &positions, const QList<qsizetype> &toCheck = {});
    /// Removes the LEDs at once (one change, one undo record that puts each back at its
    /// index); "remove node".
    void removeLeds(const QList<NodePtr> &nodes);
    /// Undoable move, not named (transforms and snapping name nothing).
    void moveLed(const NodePtr &node, QPointF position);
    /// Moves during a drag: no undo yet, the release records it with `registerMoves`.
    /// Works for the grid handles too.
    void setLedPosition(const NodePtr &node, QPointF position);
    /// Many such moves as one change.
    void setLedPositions(const QList<NodePtr> &nodes, const QList<QPointF> &positions);
    /// The end of a drag: records moving each node back to its start, named `name`. The
    /// record holds the LEDs' indices and starts in flat arrays, not a closure per LED.
    void registerMoves(const QList<NodePtr> &nodes, const QList<QPointF> &starts, const QString &name);
    /// Undoable move of many nodes (LEDs and grid handles) as one change and one record,
    /// not named: the transforms and snapping.
    void moveLeds(const QList<NodePtr> &nodes, const QList<QPointF> &positions);
    /// "select node" / "deselect node"; nothing when already so.
    void markLed(const NodePtr &node);
    void unmarkLed(const NodePtr &node);
    /// Marks LED i where the list says true and unmarks it where false (LEDs beyond the
    /// list keep theirs), registering no undo: showing a frame is not an edit.
    void setMarking(const QList<bool> &marking);
    QList<bool> marking() const;
    /// The undoable form of setMarking for many LEDs at once (Select All, the rubberband):
    /// one change and one record of the flipped indexes, named as the last LED's own
    /// markLed or unmarkLed would name it. Nothing (and no step) when nothing changes.
    void changeMarking(const QList<bool> &marking);
    bool isMarked() const { return m_markedCount > 0; }
    QList<NodePtr> markedLeds() const;

    // Generators and wiring tools: each is one change and one undo record, linear in the
    // number of LEDs, and names its step.
    /// New LEDs at the positions as one block placed by the insertion rule (in front of the
    /// first marked LED, or appended), all marked; with `snap` and a complete grid each is
    /// snapped to half grid steps. `name` names the step ("add strip", "add ring", "add
    /// matrix"). Returns the new LEDs; none (and no step) for no positions.
    QList<NodePtr> addLeds(const QList<QPointF> &positions, const QString &name, bool snap = false);
    /// A paste: new marked LEDs at the positions, each placed by the insertion rule, so the
    /// block lands in reverse order in front of the first marked LED (or at the end). One
    /// splice and one step, "select node", however many.
    QList<NodePtr> pasteLeds(const QList<QPointF> &positions);
    /// "reverse order": the marked LEDs swap places among their own slots.
    void reverseOrder();
    /// "move to start" / "move to end": the marked LEDs, keeping their order, before or
    /// after all the others.
    void moveToStart();
    void moveToEnd();
    /// "wire": the LED takes place `index` of the LED order (the last place when beyond
    /// it), the LEDs wired before it at places `first` … `index` − 1 keep theirs, and the
    /// others keep their order in the remaining places. Wiring by clicking passes the
    /// place it started from as `first`.
    void wire(const NodePtr &led, qsizetype index, qsizetype first = -1);
    /// "nudge": moves the marked LEDs by `offset`, shortened where it would carry one out
    /// of the layout space. Nothing (and no step) when nothing moves.
    void nudge(QPointF offset);
    /// The arrow keys' nudge by (dx, dy) steps: half a grid step along the grid's axes with a
    /// complete grid, one layout unit otherwise; ten times that when `large`.
    QPointF nudgeStep(int dx, int dy, bool large) const;

    // --- The grid ------------------------------------------------------------------------
    /// 0 none, 1 origin, 2 origin and x handle, 3 complete.
    int gridState() const;
    NodePtr origin() const { return m_origin; }
    NodePtr xDirection() const { return m_xDirection; }
    NodePtr yDirection() const { return m_yDirection; }
    /// Placing the handles one after another (no undo, as the Parts place them).
    void addOrigin(QPointF point);
    void addX(QPointF point);
    void addY(QPointF point);
    /// The handles during a grid drag (no undo; `registerGridMove` records the drag).
    void setGridPositions(QPointF origin, QPointF x, QPointF y);
    /// Records moving the three handles back to `before`: "move grid".
    void registerGridMove(const GridHandles &before);
    /// Undoable move of all three handles, not named.
    void moveGrid(const GridHandles &handles);
    /// Places a complete grid whatever there was before (none, part of one, or a whole
    /// one): "move grid", and undo puts back exactly the handles that were there.
    void setGrid(const GridHandles &handles);
    /// Takes every handle away: "remove grid". Undo puts them back.
    void removeGrid();
    /// Puts handles back as they were (the inverse of removeGrid).
    void restoreGrid(const QList<QPointF> &handles);
    std::optional<GridHandles> gridHandles() const;
    std::optional<GridTransform> transform() const;

    // --- Pictures and background ----------------------------------------------------------
    /// The strip's pictures as stored in the document.
    const QList<QUrl> &images() const { return m_images; }
    /// The strip's new list (drops, moves, deletions; no undo, as the strip registers none).
    void setImages(const QList<QUrl> &urls);
    void appendImage(const QUrl &url);
    /// Every stored picture URL (strip and frames) rewritten, as after saving into another
    /// folder: the same files, named from the new place. The file already holds them, so
    /// this is no change to save.
    void renamePictures(const std::function<QUrl(const QUrl &)> &rename);
    PicturePtr background() const { return m_background; }
    QUrl backgroundUrl() const { return m_backgroundUrl; }
    /// The background converted for sampling; none without a background that decodes.
    /// Waits for a decode under way: the GUI asks `background()->isDecoded()` first.
    std::shared_ptr<const QImage> bitmap() const;
    /// Undoable (back to the previous background), not named. Undo keeps a picture of
    /// the cache by its file only: a picture nobody shows any more is not held for it.
    void setBackground(PicturePtr picture, const QUrl &url);
    /// The picture of a local file as the background, judged from the file's header (its
    /// pixels decode off this thread); false, and no change, when it cannot be one.
    bool setBackgroundFile(const QUrl &url);
    /// The document's pictures, one per file; every picture the document shows comes from
    /// here (the exports get it with the snapshot). Watches the files: a picture changed on
    /// disk is decoded again and `backgroundChanged` or `framesEdited` reports it.
    PictureCache *pictures() const { return m_pictures.get(); }

    // --- Frames ---------------------------------------------------------------------------
    std::shared_ptr<AnimationEditor> animationEditor() const { return m_animation; }
    /// The current track's frames.
    const QList<FramePtr> &frames() const;
    qint64 currentFrame() const { return m_animation->selectedFrame(); }
    /// A frame of the current marking and background before the current frame (or at the
    /// end), made current: "add Frame". Undo removes that very frame.
    void addFrame();
    /// The same, after the current frame (or at the end): "add Frame".
    void addFrameAfter();
    /// Removes the current frame: "remove Frame". Undo puts the frame itself back.
    void removeFrame();
    /// "previous Frame" / "next Frame"; nothing (and false) when the cursor cannot move.
    bool previousFrame();
    bool nextFrame();
    /// Makes frame i current (−1: none) and, with `show`, shows it; no undo.
    void setCurrentFrame(qint64 index, bool show = true);
    /// Shows the current frame: its marking and picture become the layout's, without undo.
    void showCurrentFrame();
    /// Moves one frame; `to` names a gap of the list before the move: "move Frames".
    void moveFrame(qsizetype from, qsizetype to);
    /// Reverses the order of the selected frames (all when none is selected): "reverse
    /// Frames". Undo reverses the same places again, whatever is selected by then.
    void reverseFrames();
    /// Stores the marking into the current frame and the background into it and every
    /// selected frame (no undo, as the Parts have it; saved all the same).
    void changeFrames();
    /// The timeline's multiple selection (not stored in the file).
    void setFrameSelected(qsizetype index, bool selected);

signals:
    /// LEDs were added or removed (the count or the order changed).
    void ledsChanged();
    /// LED positions changed.
    void ledsMoved();
    void markingChanged();
    void gridChanged();
    void imagesChanged();
    void backgroundChanged();
    void frameInserted(qint64 index);
    void frameRemoved(qint64 index);
    void frameMoved(qsizetype from, qsizetype to);
    /// The frames at the places (ascending) were put in reverse order.
    void framesReversed(const std::vector<qsizetype> &places);
    /// The contents (marking or picture) of these frames changed.
    void framesEdited(const QList<qsizetype> &indexes);
    void currentFrameChanged();
    void frameSelectionChanged();
    /// Something the file holds changed without an undo step (the grid placed by clicks,
    /// the strip, Change Frames): the document is modified all the same.
    void changedWithoutUndo();
    /// `load` replaced the whole layout.
    void loaded();

private:
    /// What `replace` swaps as a whole.
    struct Contents {
        QList<NodePtr> leds;
        NodePtr origin, xDirection, yDirection;
        QList<QUrl> images;
        PicturePtr background;
        QUrl backgroundUrl;
        std::shared_ptr<AnimationEditor> animation;
    };
    Contents contents() const;
    /// Swaps the contents in, registering the swap back.
    void setContents(const Contents &contents);
    /// Puts removed LEDs back, each at its index (ascending), as one change.
    void putBack(const QList<QPair<qsizetype, NodePtr>> &placed);
    /// The same LEDs in a new order, recording the old one.
    void setLedOrder(const QList<NodePtr> &order);
    /// Old positions of LEDs by their index: the inverse of a move of many LEDs. Without
    /// indexes the LEDs are the run from `first` on.
    struct PositionRecord {
        qsizetype first = 0;
        std::vector<quint32> indexes;
        std::vector<QPointF> positions;
        qsizetype index(std::size_t k) const { return indexes.empty() ? first + qsizetype(k) : indexes[k]; }
        qint64 bytes() const
        {
            return qint64(indexes.size() * sizeof(quint32) + positions.size() * sizeof(QPointF));
        }
    };
    /// Each node's index among the LEDs, −1 for grid handles and nodes not in the layout.
    std::vector<qsizetype> ledIndexes(const QList<NodePtr> &nodes) const;
    /// Registers putting the nodes back at the positions, as one flat record.
    void recordPositions(const QList<NodePtr> &nodes, const QList<QPointF> &positions);
    void restorePositions(const PositionRecord &record);
    /// Flips the marking of the LEDs at the indexes, recording the same flip as the undo.
    void flipMarking(const std::vector<quint32> &indexes);
    void insertFrameObject(const FramePtr &frame, qsizetype index);
    void removeFrameObject(const FramePtr &frame);
    void reversePlaces(const std::vector<qsizetype> &places);
    void setMarked(const NodePtr &node, bool marked);
    /// The handles as listed (missing ones removed), registering the way back.
    void placeGrid(std::optional<QPointF> origin, std::optional<QPointF> x, std::optional<QPointF> y);
    /// A change without undo that the file holds; not while loading.
    void unrecordedChange();
    /// The picture of the file has (new) pixels: the background and the frames showing it
    /// are reported changed.
    void pictureReady(const QUrl &url);

    UndoManager *m_undo;
    QList<NodePtr> m_leds;
    qsizetype m_markedCount = 0;
    NodePtr m_origin, m_xDirection, m_yDirection;
    QList<QUrl> m_images;
    std::shared_ptr<PictureCache> m_pictures;
    PicturePtr m_background;
    QUrl m_backgroundUrl;
    std::shared_ptr<AnimationEditor> m_animation;
    bool m_loading = false;
};

} // namespace lumora
