#include "PatternControls.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace lumora {

namespace {
constexpr int sliderSteps = 1000;

QColor pickerColor(script::ControlKind kind, const QList<double> &v)
{
    if (v.size() < 3)
        return Qt::black;
    auto unit = [](double x) { return float(std::clamp(std::isfinite(x) ? x : 0.0, 0.0, 1.0)); };
    if (kind == script::ControlKind::HsvPicker)
        return QColor::fromHsvF(unit(v[0] - std::floor(v[0])), unit(v[1]), unit(v[2]));
    return QColor::fromRgbF(unit(v[0]), unit(v[1]), unit(v[2]));
}

void paintButton(QPushButton *button, const QColor &color)
{
    QPixmap swatch(32, 16);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
}
} // namespace

PatternControls::PatternControls(QWidget *parent)
    : QWidget(parent), m_form(new QFormLayout(this))
{
    m_form->setContentsMargins(0, 0, 0, 0);
}

void PatternControls::setControls(const std::vector<script::Control> &controls,
                                  const QMap<QString, QList<double>> &values)
{
    auto same = [](const script::Control &a, const script::Control &b) {
        return a.function == b.function && a.kind == b.kind;
    };
    if (std::equal(controls.begin(), controls.end(), m_controls.begin(), m_controls.end(), same))
        return;
    while (m_form->rowCount() > 0)
        m_form->removeRow(0);
    m_widgets.clear();
    m_controls = controls;
    for (const script::Control &control : controls) {
        const QString function = QString::fromStdString(control.function);
        QWidget *widget = makeWidget(control, values.value(function));
        widget->setObjectName(function);
        m_widgets.insert(function, widget);
        m_form->addRow(QString::fromStdString(control.label) + ':', widget);
    }
}

QWidget *PatternControls::makeWidget(const script::Control &control, const QList<double> &values)
{
    const QString function = QString::fromStdString(control.function);
    const double first = values.isEmpty() ? 0 : values.first();
    switch (control.kind) {
    case script::ControlKind::Slider: {
        auto *slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, sliderSteps);
        slider->setValue(int(std::lround(std::clamp(first, 0.0, 1.0) * sliderSteps)));
        connect(slider, &QSlider::valueChanged, this, [this, function](int v) {
            emit controlChanged(function, {double(v) / sliderSteps});
        });
        return slider;
    }
    case script::ControlKind::HsvPicker:
    case script::ControlKind::RgbPicker: {
        auto *button = new QPushButton(tr("Choose…"));
        const script::ControlKind kind = control.kind;
        paintButton(button, pickerColor(kind, values));
        connect(button, &QPushButton::clicked, this, [this, button, function, kind] {
            const QColor color = QColorDialog::getColor(button->icon().pixmap(32, 16).toImage().pixelColor(0, 0),
                                                        this, tr("Pattern Colour"));
            if (!color.isValid())
                return;
            paintButton(button, color);
            if (kind == script::ControlKind::HsvPicker)
                emit controlChanged(function, {std::max(0.0f, color.hsvHueF()), color.hsvSaturationF(), color.valueF()});
            else
                emit controlChanged(function, {color.redF(), color.greenF(), color.blueF()});
        });
        return button;
    }
    case script::ControlKind::Toggle: {
        auto *box = new QCheckBox;
        box->setChecked(first != 0);
        connect(box, &QCheckBox::toggled, this, [this, function](bool on) {
            emit controlChanged(function, {on ? 1.0 : 0.0});
        });
        return box;
    }
    case script::ControlKind::Trigger: {
        auto *button = new QPushButton(QString::fromStdString(control.label));
        connect(button, &QPushButton::clicked, this, [this, function] { emit controlChanged(function, {}); });
        return button;
    }
    case script::ControlKind::InputNumber: {
        auto *field = new QDoubleSpinBox;
        field->setRange(-1e9, 1e9);
        field->setDecimals(3);
        field->setValue(first);
        field->setKeyboardTracking(false);
        connect(field, &QDoubleSpinBox::valueChanged, this, [this, function](double v) {
            emit controlChanged(function, {v});
        });
        return field;
    }
    case script::ControlKind::ShowNumber:
        return new QLabel(QStringLiteral("–"));
    case script::ControlKind::Gauge: {
        auto *bar = new QProgressBar;
        bar->setRange(0, sliderSteps);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return new QWidget;
}

void PatternControls::refreshReadouts(const std::function<std::optional<double>(const QString &)> &read)
{
    for (const script::Control &control : m_controls) {
        if (control.kind != script::ControlKind::ShowNumber && control.kind != script::ControlKind::Gauge)
            continue;
        const QString function = QString::fromStdString(control.function);
        const std::optional<double> value = read(function);
        if (auto *label = qobject_cast<QLabel *>(m_widgets.value(function)))
            label->setText(value ? QString::number(*value, 'g', 6) : QStringLiteral("–"));
        else if (auto *bar = qobject_cast<QProgressBar *>(m_widgets.value(function)))
            bar->setValue(value && std::isfinite(*value) ? int(std::lround(std::clamp(*value, 0.0, 1.0) * sliderSteps)) : 0);
    }
}

} // namespace lumora
