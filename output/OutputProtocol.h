#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>

class QHostAddress;
class QUuid;

namespace lumora {

class PacketEncoder;
struct OutputSettings;

/// The network protocols the LEDs can be driven with.
enum class OutputProtocol { Ddp, E131, ArtNet };

/// Everything the program knows about one output protocol: its names, its port, how it
/// addresses the LEDs and the encoder of its packets. The settings, the target URLs, the
/// settings dialog and the command line's help read it instead of asking which protocol it is.
struct ProtocolDescriptor {
    OutputProtocol protocol;
    /// "ddp": the target's scheme and the settings' text.
    const char *name;
    /// "E1.31 (sACN)": the settings dialog's entry (translated there).
    const char *title;
    /// "E1.31": in messages.
    const char *shortTitle;
    int defaultPort;
    /// The universes a frame may start at, and the one used when none is given; all 0 for a
    /// protocol without universes.
    int lowestUniverse;
    int highestUniverse;
    int firstUniverse;
    /// The channels a frame fills of each universe (three a LED); 0: no universes, one
    /// stream of bytes.
    int channelsPerUniverse;
    /// The frame may start at a byte offset of the controller's buffer.
    bool takesOffset;
    /// Packets name this installation (its CID), so the sender must have one.
    bool carriesSourceId;
    /// Without a host, each universe goes to this multicast group; null: a host is needed.
    QHostAddress (*multicastGroup)(int universe);
    /// "ddp://HOST[:PORT][?offset=B]": how a target is written.
    const char *targetForm;
    /// Said after the target form in the help, or null.
    const char *targetNote;
    /// A fresh encoder for the settings' first universe or offset; `cid` identifies this
    /// installation where the protocol asks for it.
    std::unique_ptr<PacketEncoder> (*makeEncoder)(const OutputSettings &settings, const QUuid &cid);

    bool hasUniverses() const { return channelsPerUniverse > 0; }
    int ledsPerUniverse() const { return channelsPerUniverse / 3; }
};

/// Every protocol, in the order of the settings dialog.
std::span<const ProtocolDescriptor> outputProtocols();
const ProtocolDescriptor &describe(OutputProtocol protocol);

/// "ddp", "e131", "artnet": the target scheme and the settings' text.
QString protocolName(OutputProtocol protocol);
/// Case-insensitive; none for anything else.
std::optional<OutputProtocol> protocolFromName(const QString &name);
/// Each protocol's target form, with its note in brackets when `withNotes`.
QStringList targetForms(bool withNotes);

} // namespace lumora
