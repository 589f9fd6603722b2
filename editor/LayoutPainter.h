#pragma once

#include "document/DocumentModel.h"
#include "editor/LedCoverage.h"
#include "editor/NodeShape.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace lumora {

class View;

/// Paints a View's layout in one pass, bottom to top: the background picture, the lattice,
/// the LED order line, the grid's axes, handles and duplicate markers, the LEDs, the
/// wiring's arrows and numbers. It keeps what makes that cheap: everything but the fill
/// colours is composited once, and a preview tick writes only the colours; a drag redraws
/// only what moves. So ten thousand LEDs stay fluid.
class LayoutPainter {
public:
    explicit LayoutPainter(View &view);
    ~LayoutPainter();

    /// The layout through `toDevice`; `composited` uses (and keeps) the screen's layers, a
    /// one-off picture at its own size does not.
    void paint(QPainter &painter, const QTransform &toDevice, bool composited = true);

    /// How a paint put the LEDs on screen: each LED painted, the fill colours written into
    /// the composited layout, or a drag step redrawing only what moves.
    enum class PaintPath { EveryLed, Composited, DragStep };
    PaintPath lastPaintPath() const { return m_lastPaintPath; }
    /// Compositing (on unless switched off) keeps everything but the fill colours of a frame
    /// that stays, and during a drag everything that does not move. Off, every paint paints
    /// every LED: the reference the composited picture is compared with.
    void setCompositing(bool on);
    bool isCompositing() const { return m_compositing; }

    /// The LEDs a drag that just began moves (the grabbed one, or the marked group it belongs
    /// to): for a frame kept without them.
    void beginDrag(const NodePtr &grabbed);
    void endDrag();

    /// The green triangle before LED 0 that shows where the LED order starts, in the
    /// coordinates `toDevice` maps to; empty without LEDs.
    QPolygonF startMarker(const QTransform &toDevice) const;
    /// The LED order line's points, with its tail in before LED 0 and out after the last.
    QPolygonF orderLinePoints() const;

    /// The rings drawn at another size or pixel ratio are drawn again.
    void forgetSprites() { m_sprites.clear(); }

private:
    struct DragLayers;
    /// The start marker and the direction arrows: with a drag, those that do not move with
    /// it; `within` a region (layout units), only the arrows that may reach into it.
    void paintWiring(QPainter &painter, const QTransform &toDevice, const DragLayers *drag = nullptr,
                     const QRectF *within = nullptr);
    void paintNumbers(QPainter &painter, const QTransform &toDevice, double discRadius);
    const QPixmap &digitSprite(int digit);
    /// The parts of the layers under the LEDs: below the LED order line (background,
    /// picture, lattice), the line, above it (axes, markers, handles, arrows). With a drag,
    /// the segments, arrows and start marker that move with its LEDs are left out.
    struct LayerParts {
        bool under = true;
        bool line = true;
        bool over = true;
        /// The arrows and the start marker, when `over`.
        bool wiring = true;
        const DragLayers *drag = nullptr;
    };
    void paintStaticLayer(QPainter &painter, const QTransform &toDevice, const LayerParts &parts);
    /// The window's backdrop around the layout space and the background picture in it.
    void paintBackdrop(QPainter &painter, const QTransform &toDevice);
    /// The grid's axes and handles (when shown), the duplicate markers and the tool's handle,
    /// in layout coordinates.
    void paintGridAndMarkers(QPainter &painter);
    /// The line's segments, leaving out those that move with a drag, or only those that
    /// come near `within` (layout units).
    QList<QLineF> orderLineSegments(const DragLayers *drag, const QRectF *within = nullptr) const;
    void strokeOrderLine(QPainter &painter, const QList<QLineF> &segments) const;
    /// Whether the line is drawn without antialiasing: while the pointer is down in a big
    /// layout, whose line a drag may have to stroke again whole.
    bool isLineAliased() const;
    quint64 staticLayerKey(QSize size, qreal ratio, const QTransform &toDevice, const DragLayers *drag = nullptr) const;
    const QPixmap &staticLayer(QSize size, qreal ratio, const QTransform &toDevice, quint64 key);
    enum class LedFill { Own, Black, White, Index };
    /// The LEDs (but those a drag moves, or only those near `within`, in device pixels) as
    /// discs of the fill under their rings; `Index` paints only each disc, in its
    /// `LedCoverage::indexColor`.
    void paintLeds(QPainter &painter, const QTransform &toDevice, LedFill fill, const DragLayers *drag = nullptr,
                   const QRectF *within = nullptr);
    /// The LEDs' fill colours into m_fillColors and their rings and glows hashed; false
    /// when a fill is missing or translucent, which only painting every LED shows right.
    bool collectFills(quint64 &looks);
    void buildCoverage(LedCoverage &coverage, const QPixmap &under, const QTransform &toDevice,
                       const DragLayers *drag);
    bool paintComposited(QPainter &painter, const QTransform &toDevice);
    /// A drag step: the layout without what moves, and over it, inside the region that
    /// changed, everything again; false when the drag is not one it can take.
    bool paintDragStep(QPainter &painter, const QTransform &toDevice);
    /// How a node that is not an LED is drawn.
    struct Look {
        NodeShape shape;
        QColor stroke;
        std::optional<QColor> fill;
        double lineWidth = 3;
    };
    void drawShape(QPainter &painter, const Node &node, const Look &look) const;
    const QPixmap &ringSprite(const QColor &stroke, bool glow, double scale);

    View &m_view;

    struct Sprite {
        QRgb stroke;
        bool glow;
        double scale;
        QPixmap pixmap;
    };
    QList<Sprite> m_sprites;
    QList<QPixmap> m_digits;
    QPixmap m_staticLayer;
    quint64 m_staticKey = 0;

    bool m_compositing = true;
    PaintPath m_lastPaintPath = PaintPath::EveryLed;
    LedCoverage m_coverage;
    quint64 m_coverageKey = 0;
    /// The previous paint's key: a frame is composited once it is painted a second time, so
    /// pan steps and animations, which change on every paint, never pay for it.
    quint64 m_lastFrameKey = 0;
    std::vector<QRgb> m_fillColors;
    /// What a drag under way moves (its LEDs, by index) and the frame without them.
    struct DragLayers {
        std::vector<char> moving;
        QList<qsizetype> indices;
        quint64 key = 0;
        /// The layers under the LEDs without what moves, and over them the LEDs in the fill
        /// colours they had; composited as well only once the colours change (a preview tick).
        QPixmap layer;
        QImage plain;
        std::vector<QRgb> plainFills;
        LedCoverage frame;
        /// Below the line, and the fixed parts above it (transparent elsewhere).
        QPixmap under;
        QImage over;
        bool touches(qsizetype a, qsizetype b) const
        {
            return (a >= 0 && a < qsizetype(moving.size()) && moving[a]) ||
                   (b >= 0 && b < qsizetype(moving.size()) && moving[b]);
        }
    };
    std::unique_ptr<DragLayers> m_drag;
    /// The drag under way moves too much for its own layers.
    bool m_dragDeclined = false;
};

} // namespace lumora
