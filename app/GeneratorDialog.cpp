#include "GeneratorDialog.h"
#include "DialogTitle.h"

#include "document/LedGenerators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <cmath>

namespace lumora {

namespace {

QWidget *pair(QWidget *a, QWidget *b)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(a);
    layout->addWidget(b);
    return row;
}

} // namespace

GeneratorDialog::GeneratorDialog(Kind kind, const DocumentModel &model, QWidget *parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_grid(model.transform())
{
    const char *titles[] = {QT_TR_NOOP("Add Strip"), QT_TR_NOOP("Add Ring"), QT_TR_NOOP("Add Matrix"),
                            QT_TR_NOOP("Draw Strip")};
    setWindowTitle(tr(titles[kind]));
    keepTitleReadable(this);
    auto *form = new QFormLayout(this);
    if (kind == Strip || kind == DrawnStrip)
        buildStrip(form, kind == Strip);
    else if (kind == Ring)
        buildRing(form);
    else
        buildMatrix(form);
    m_snap = new QCheckBox(tr("Snap to half grid steps"));
    m_snap->setEnabled(m_grid.has_value());
    if (!m_grid)
        m_snap->setToolTip(tr("Needs a complete grid"));
    form->addRow(QString(), m_snap);
    // Named, so that tests and accessibility tools find the fields.
    const std::pair<QWidget *, const char *> fields[] = {
        {m_fromX, "fromX"},       {m_fromY, "fromY"},   {m_toX, "toX"},         {m_toY, "toY"},
        {m_stripBy, "stripBy"},   {m_count, "count"},   {m_stripSpacing, "stripSpacing"},
        {m_centerX, "centerX"},   {m_centerY, "centerY"}, {m_radius, "radius"}, {m_startAngle, "startAngle"},
        {m_sweep, "sweep"},       {m_clockwise, "clockwise"}, {m_width, "width"}, {m_height, "height"},
        {m_spacing, "spacing"},   {m_wiring, "wiring"}, {m_serpentine, "serpentine"}, {m_corner, "corner"},
        {m_onGrid, "onGrid"},     {m_snap, "snap"}};
    for (const auto &[field, name] : fields)
        if (field)
            field->setObjectName(name);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);

    // A strip between two marked LEDs is the quickest way to fill a gap.
    if (kind == Strip) {
        const QList<NodePtr> marked = model.markedLeds();
        if (marked.size() == 2) {
            m_fromX->setValue(marked[0]->position().x());
            m_fromY->setValue(marked[0]->position().y());
            m_toX->setValue(marked[1]->position().x());
            m_toY->setValue(marked[1]->position().y());
        }
    }
}

QDoubleSpinBox *GeneratorDialog::coordinate(double value, double maximum)
{
    auto *box = new QDoubleSpinBox;
    box->setRange(-maximum, 2 * maximum);
    box->setDecimals(1);
    box->setValue(value);
    return box;
}

QDoubleSpinBox *GeneratorDialog::length(double value)
{
    auto *box = new QDoubleSpinBox;
    box->setRange(0.5, 2048);
    box->setDecimals(1);
    box->setValue(value);
    return box;
}

void GeneratorDialog::buildStrip(QFormLayout *form, bool withEnds)
{
    if (withEnds) {
        m_fromX = coordinate(312, 1024);
        m_fromY = coordinate(384, 768);
        m_toX = coordinate(712, 1024);
        m_toY = coordinate(384, 768);
        form->addRow(tr("From (x, y):"), pair(m_fromX, m_fromY));
        form->addRow(tr("To (x, y):"), pair(m_toX, m_toY));
    } else {
        auto *hint = new QLabel(tr("After OK, drag a line in the layout, or click its points one by one and "
                                   "double-click or press Enter to finish."));
        hint->setWordWrap(true);
        form->addRow(hint);
    }
    m_stripBy = new QComboBox;
    m_stripBy->addItems({tr("Number of LEDs"), tr("Spacing")});
    form->addRow(tr("Place by:"), m_stripBy);
    m_count = new QSpinBox;
    m_count->setRange(1, maxGeneratedLeds);
    m_count->setValue(30);
    form->addRow(tr("LEDs:"), m_count);
    m_stripSpacing = length(20);
    m_stripSpacing->setEnabled(false);
    form->addRow(tr("Spacing:"), m_stripSpacing);
    connect(m_stripBy, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_count->setEnabled(index == 0);
        m_stripSpacing->setEnabled(index == 1);
    });
}

void GeneratorDialog::buildRing(QFormLayout *form)
{
    m_centerX = coordinate(512, 1024);
    m_centerY = coordinate(384, 768);
    form->addRow(tr("Centre (x, y):"), pair(m_centerX, m_centerY));
    m_radius = length(200);
    form->addRow(tr("Radius:"), m_radius);
    m_count = new QSpinBox;
    m_count->setRange(1, maxGeneratedLeds);
    m_count->setValue(24);
    form->addRow(tr("LEDs:"), m_count);
    m_startAngle = new QDoubleSpinBox;
    m_startAngle->setRange(-360, 360);
    m_startAngle->setSuffix(tr("°"));
    form->addRow(tr("Start angle:"), m_startAngle);
    m_sweep = new QDoubleSpinBox;
    m_sweep->setRange(1, 360);
    m_sweep->setValue(360);
    m_sweep->setSuffix(tr("°"));
    m_sweep->setToolTip(tr("360° closes the ring; less makes an arc with an LED on both ends"));
    form->addRow(tr("Sweep:"), m_sweep);
    m_clockwise = new QCheckBox(tr("Clockwise"));
    form->addRow(QString(), m_clockwise);
}

void GeneratorDialog::buildMatrix(QFormLayout *form)
{
    m_width = new QSpinBox;
    m_width->setRange(1, 1000);
    m_width->setValue(16);
    m_height = new QSpinBox;
    m_height->setRange(1, 1000);
    m_height->setValue(16);
    form->addRow(tr("Size (W × H):"), pair(m_width, m_height));
    m_spacing = length(fittingMatrixSpacing(16, 16));
    form->addRow(tr("Spacing:"), m_spacing);
    m_centerX = coordinate(512, 1024);
    m_centerY = coordinate(384, 768);
    form->addRow(tr("Centre (x, y):"), pair(m_centerX, m_centerY));
    m_wiring = new QComboBox;
    m_wiring->addItems({tr("Along rows"), tr("Along columns")});
    form->addRow(tr("Wiring:"), m_wiring);
    m_serpentine = new QCheckBox(tr("Serpentine (turn back at each end)"));
    m_serpentine->setChecked(true);
    form->addRow(QString(), m_serpentine);
    m_corner = new QComboBox;
    m_corner->addItems({tr("Top left"), tr("Top right"), tr("Bottom left"), tr("Bottom right")});
    form->addRow(tr("LED 0 at:"), m_corner);
    m_onGrid = new QCheckBox(tr("On the grid (one LED per grid step)"));
    m_onGrid->setEnabled(m_grid.has_value());
    form->addRow(QString(), m_onGrid);
    // A new size proposes the spacing that fits it; a spacing typed by hand stays until then.
    auto refit = [this] { m_spacing->setValue(fittingMatrixSpacing(m_width->value(), m_height->value())); };
    connect(m_width, &QSpinBox::valueChanged, this, refit);
    connect(m_height, &QSpinBox::valueChanged, this, refit);
    connect(m_onGrid, &QCheckBox::toggled, this, [this](bool on) {
        m_spacing->setEnabled(!on);
        m_centerX->setEnabled(!on);
        m_centerY->setEnabled(!on);
    });
}

QList<QPointF> GeneratorDialog::positions() const
{
    switch (m_kind) {
    case Strip:
        return stripAlong({{m_fromX->value(), m_fromY->value()}, {m_toX->value(), m_toY->value()}}, stripPlacement());
    case Ring: {
        RingLayout ring;
        ring.count = m_count->value();
        ring.center = {m_centerX->value(), m_centerY->value()};
        ring.radius = m_radius->value();
        ring.startAngle = m_startAngle->value();
        ring.sweep = m_sweep->value();
        ring.clockwise = m_clockwise->isChecked();
        return ringPositions(ring);
    }
    case Matrix: {
        MatrixLayout matrix;
        matrix.width = m_width->value();
        matrix.height = m_height->value();
        matrix.columns = m_wiring->currentIndex() == 1;
        matrix.serpentine = m_serpentine->isChecked();
        matrix.start = MatrixLayout::Corner(m_corner->currentIndex());
        if (m_onGrid->isChecked() && m_grid) {
            // Centred on the grid point nearest the middle of the layout.
            QPointF middle(512, 384);
            if (const auto inverse = m_grid->inverted())
                middle = inverse->map(middle);
            const QPointF first(std::round(middle.x()) - std::floor((matrix.width - 1) / 2.0),
                                std::round(middle.y()) - std::floor((matrix.height - 1) / 2.0));
            return matrixOnGrid(matrix, *m_grid, first);
        }
        return matrixPositions(matrix, {m_centerX->value(), m_centerY->value()}, m_spacing->value());
    }
    case DrawnStrip:
        break;
    }
    return {};
}

StripPlacement GeneratorDialog::stripPlacement() const
{
    StripPlacement placement;
    if (!m_stripBy)
        return placement;
    placement.by = m_stripBy->currentIndex() == 0 ? StripPlacement::Count : StripPlacement::Spacing;
    placement.count = m_count->value();
    placement.spacing = m_stripSpacing->value();
    return placement;
}

void GeneratorDialog::setStripPlacement(const StripPlacement &placement)
{
    if (!m_stripBy)
        return;
    m_count->setValue(placement.count);
    m_stripSpacing->setValue(placement.spacing);
    m_stripBy->setCurrentIndex(placement.by == StripPlacement::Count ? 0 : 1);
}

bool GeneratorDialog::snap() const
{
    return m_snap->isChecked();
}

QString GeneratorDialog::actionName() const
{
    return m_kind == Ring ? "add ring" : m_kind == Matrix ? "add matrix" : "add strip";
}

} // namespace lumora
