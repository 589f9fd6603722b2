#include "OutputProtocol.h"

#include "ArtNetEncoder.h"
#include "DdpEncoder.h"
#include "E131Encoder.h"
#include "OutputSettings.h"

#include <QCoreApplication>

namespace lumora {

namespace {

std::unique_ptr<PacketEncoder> ddpEncoder(const OutputSettings &settings, const QUuid &)
{
    return std::make_unique<DdpEncoder>(settings.offset);
}

std::unique_ptr<PacketEncoder> e131Encoder(const OutputSettings &settings, const QUuid &cid)
{
    return std::make_unique<E131Encoder>(settings.universe, cid);
}

std::unique_ptr<PacketEncoder> artNetEncoder(const OutputSettings &settings, const QUuid &)
{
    return std::make_unique<ArtNetEncoder>(settings.universe);
}

// E1.31 keeps universe 0 reserved and tops out at 63999; Art-Net's port-address has 15 bits.
// Both carry 170 LEDs, 510 of a universe's 512 channels.
const ProtocolDescriptor protocols[] = {
    {OutputProtocol::Ddp, "ddp", QT_TRANSLATE_NOOP("OutputDialog", "DDP"), "DDP", 4048, 0, 0, 0, 0, true, false,
     nullptr, "ddp://HOST[:PORT][?offset=B]", nullptr, ddpEncoder},
    {OutputProtocol::E131, "e131", QT_TRANSLATE_NOOP("OutputDialog", "E1.31 (sACN)"), "E1.31", 5568, 1, 63999, 1, 510,
     false, true, E131Encoder::multicastAddress, "e131://HOST[:PORT][?universe=U]",
     "no host: multicast to 239.255.hi.lo", e131Encoder},
    {OutputProtocol::ArtNet, "artnet", QT_TRANSLATE_NOOP("OutputDialog", "Art-Net"), "Art-Net", 6454, 0, 32767, 0, 510,
     false, false, nullptr, "artnet://HOST[:PORT][?universe=U]", nullptr, artNetEncoder},
};

} // namespace

std::span<const ProtocolDescriptor> outputProtocols()
{
    return protocols;
}

const ProtocolDescriptor &describe(OutputProtocol protocol)
{
    for (const ProtocolDescriptor &p : protocols)
        if (p.protocol == protocol)
            return p;
    return protocols[0];
}

QString protocolName(OutputProtocol protocol)
{
    return describe(protocol).name;
}

std::optional<OutputProtocol> protocolFromName(const QString &name)
{
    for (const ProtocolDescriptor &p : protocols)
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return p.protocol;
    return std::nullopt;
}

QStringList targetForms(bool withNotes)
{
    QStringList forms;
    for (const ProtocolDescriptor &p : protocols)
        forms.append(withNotes && p.targetNote ? QString("%1 (%2)").arg(p.targetForm, p.targetNote)
                                               : QString(p.targetForm));
    return forms;
}

} // namespace lumora
