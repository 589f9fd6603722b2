#include "OutputDialog.h"

#include "DialogTitle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumora {

namespace {

constexpr ColorOrder orders[] = {ColorOrder::RGB, ColorOrder::GRB, ColorOrder::BRG,
                                 ColorOrder::RBG, ColorOrder::GBR, ColorOrder::BGR};

} // namespace

OutputDialog::OutputDialog(QWidget *parent)
    : QDialog(parent), m_protocol(new QComboBox), m_host(new QLineEdit), m_port(new QSpinBox),
      m_universe(new QSpinBox), m_offset(new QSpinBox), m_order(new QComboBox), m_brightness(new QSpinBox),
      m_gamma(new QDoubleSpinBox), m_limit(new QSpinBox), m_fps(new QDoubleSpinBox),
      m_keepLit(new QCheckBox(tr("&Keep the last frame lit when sending stops")))
{
    setWindowTitle(tr("Output Settings"));
    keepTitleReadable(this);
    for (const ProtocolDescriptor &protocol : outputProtocols())
        m_protocol->addItem(tr(protocol.title));
    for (ColorOrder order : orders)
        m_order->addItem(colorOrderName(order));
    m_host->setPlaceholderText(tr("controller name or address"));
    m_port->setRange(0, 65535);
    m_universe->setRange(0, 63999);
    m_offset->setRange(0, std::numeric_limits<int>::max());
    m_brightness->setRange(0, 100);
    m_brightness->setSuffix(" %");
    m_gamma->setRange(1.0, 3.0);
    m_gamma->setSingleStep(0.1);
    m_gamma->setDecimals(2);
    m_limit->setRange(0, 1000000);
    m_limit->setSingleStep(100);
    m_limit->setSuffix(" mA");
    m_limit->setSpecialValueText(tr("no limit"));
    m_fps->setRange(1, 240);
    m_fps->setDecimals(1);

    // Names for the tests and for accessibility tools.
    m_protocol->setObjectName("protocol");
    m_host->setObjectName("host");
    m_port->setObjectName("port");
    m_universe->setObjectName("universe");
    m_offset->setObjectName("offset");
    m_order->setObjectName("order");
    m_brightness->setObjectName("brightness");
    m_gamma->setObjectName("gamma");
    m_limit->setObjectName("limit");
    m_fps->setObjectName("framesPerSecond");
    m_keepLit->setObjectName("keepLastFrameLit");
    m_keepLit->setToolTip(tr("Otherwise the LEDs are sent black once when Send to LEDs is switched off"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Protocol:"), m_protocol);
    form->addRow(tr("&Host:"), m_host);
    form->addRow(tr("P&ort:"), m_port);
    form->addRow(tr("Start &universe:"), m_universe);
    form->addRow(tr("Byte o&ffset:"), m_offset);
    form->addRow(tr("Colour &order:"), m_order);
    form->addRow(tr("&Brightness:"), m_brightness);
    form->addRow(tr("&Gamma:"), m_gamma);
    form->addRow(tr("Current &limit:"), m_limit);
    form->addRow(tr("&Frames per second:"), m_fps);
    form->addRow(m_keepLit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setLayout(form);

    connect(m_protocol, &QComboBox::currentIndexChanged, this, &OutputDialog::protocolChanged);
    setSettings(OutputSettings());
}

void OutputDialog::protocolChanged()
{
    const ProtocolDescriptor &protocol = chosenProtocol();
    m_universe->setEnabled(protocol.hasUniverses());
    // Without universes the value stays for when another protocol is chosen.
    if (protocol.hasUniverses())
        m_universe->setRange(protocol.lowestUniverse, protocol.highestUniverse);
    m_offset->setEnabled(protocol.takesOffset);
    m_port->setSpecialValueText(tr("default (%1)").arg(protocol.defaultPort));
    m_host->setPlaceholderText(protocol.multicastGroup ? tr("empty: multicast") : tr("controller name or address"));
}

const ProtocolDescriptor &OutputDialog::chosenProtocol() const
{
    const auto protocols = outputProtocols();
    return protocols[std::min(std::size_t(std::max(0, m_protocol->currentIndex())), protocols.size() - 1)];
}

void OutputDialog::setSettings(const OutputSettings &given)
{
    const OutputSettings settings = given.clamped();
    m_given = settings;
    const auto protocols = outputProtocols();
    m_protocol->setCurrentIndex(int(std::find_if(protocols.begin(), protocols.end(),
                                                 [&](const auto &p) { return p.protocol == settings.protocol; })
                                    - protocols.begin()));
    protocolChanged();
    m_host->setText(settings.host);
    m_port->setValue(settings.port);
    m_universe->setValue(settings.universe);
    m_offset->setValue(int(std::min<quint32>(settings.offset, quint32(std::numeric_limits<int>::max()))));
    m_order->setCurrentIndex(int(std::find(std::begin(orders), std::end(orders), settings.order) - std::begin(orders)));
    m_brightness->setValue(settings.brightness);
    m_gamma->setValue(settings.gamma);
    m_limit->setValue(int(std::lround(settings.limitMilliamps)));
    m_fps->setValue(settings.framesPerSecond);
    m_keepLit->setChecked(settings.keepLastFrameLit);
}

OutputSettings OutputDialog::settings() const
{
    OutputSettings settings = m_given;
    settings.protocol = chosenProtocol().protocol;
    settings.host = m_host->text().trimmed();
    settings.port = m_port->value();
    settings.universe = m_universe->value();
    settings.offset = quint32(m_offset->value());
    settings.order = orders[std::max(0, m_order->currentIndex())];
    settings.brightness = m_brightness->value();
    settings.gamma = m_gamma->value();
    settings.limitMilliamps = m_limit->value();
    settings.framesPerSecond = m_fps->value();
    settings.keepLastFrameLit = m_keepLit->isChecked();
    return settings.clamped();
}

} // namespace lumora
