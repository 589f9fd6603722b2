#pragma once

#include "output/OutputSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora {

/// Output ▸ Settings…: where the LEDs' frames go and how their colours are prepared.
class OutputDialog : public QDialog {
    Q_OBJECT
public:
    explicit OutputDialog(QWidget *parent = nullptr);

    void setSettings(const OutputSettings &settings);
    /// The settings as entered, brought into their ranges.
    OutputSettings settings() const;

private:
    /// Universe or byte offset as the protocol addresses LEDs; the port's default named.
    void protocolChanged();
    const ProtocolDescriptor &chosenProtocol() const;

    /// What the dialog does not show (the power model) stays as it was given.
    OutputSettings m_given;
    QComboBox *m_protocol;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QSpinBox *m_universe;
    QSpinBox *m_offset;
    QComboBox *m_order;
    QSpinBox *m_brightness;
    QDoubleSpinBox *m_gamma;
    QSpinBox *m_limit;
    QDoubleSpinBox *m_fps;
    QCheckBox *m_keepLit;
};

} // namespace lumora
