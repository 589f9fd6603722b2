#pragma once

#include "document/DocumentModel.h"
#include "document/LedGenerators.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QSpinBox;

namespace lumora {

/// The small dialog behind Layout ▸ Add LEDs: the settings of a strip, a ring or a matrix,
/// prefilled from the layout (a strip runs between two marked LEDs when two are marked).
/// It only computes positions; the window adds them to the model as one step. For Draw Strip
/// it asks only how the strip fills the line the user then draws in the layout editor.
class GeneratorDialog : public QDialog {
    Q_OBJECT
public:
    enum Kind { Strip, Ring, Matrix, DrawnStrip };

    GeneratorDialog(Kind kind, const DocumentModel &model, QWidget *parent = nullptr);

    /// The generated LED positions in LED order (none for settings that make none).
    QList<QPointF> positions() const;
    /// A strip's count or spacing as chosen (Strip and DrawnStrip).
    StripPlacement stripPlacement() const;
    void setStripPlacement(const StripPlacement &placement);
    /// Whether the user asked to snap them to half grid steps.
    bool snap() const;
    /// The undo step's name: "add strip", "add ring" or "add matrix".
    QString actionName() const;

private:
    QDoubleSpinBox *coordinate(double value, double maximum);
    QDoubleSpinBox *length(double value);
    void buildStrip(QFormLayout *form, bool withEnds);
    void buildRing(QFormLayout *form);
    void buildMatrix(QFormLayout *form);

    Kind m_kind;
    std::optional<GridTransform> m_grid;
    QCheckBox *m_snap = nullptr;
    // Strip
    QDoubleSpinBox *m_fromX = nullptr, *m_fromY = nullptr, *m_toX = nullptr, *m_toY = nullptr;
    QComboBox *m_stripBy = nullptr;
    QDoubleSpinBox *m_stripSpacing = nullptr;
    // Ring and matrix
    QDoubleSpinBox *m_centerX = nullptr, *m_centerY = nullptr;
    QSpinBox *m_count = nullptr;
    QDoubleSpinBox *m_radius = nullptr, *m_startAngle = nullptr, *m_sweep = nullptr;
    QCheckBox *m_clockwise = nullptr;
    QSpinBox *m_width = nullptr, *m_height = nullptr;
    QDoubleSpinBox *m_spacing = nullptr;
    QComboBox *m_wiring = nullptr, *m_corner = nullptr;
    QCheckBox *m_serpentine = nullptr, *m_onGrid = nullptr;
};

} // namespace lumora
