#include "OutputSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

constexpr std::array<const char *, 6> orderNames{"RGB", "GRB", "BRG", "RBG", "GBR", "BGR"};

/// One settings group per document; the path is percent-encoded so that its slashes do not
/// nest groups.
QString groupFor(const QString &documentPath)
{
    const QString path = QFileInfo(documentPath).absoluteFilePath();
    return "output/" + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

} // namespace

QString colorOrderName(ColorOrder order)
{
    return orderNames[size_t(order)];
}

std::optional<ColorOrder> colorOrderFromName(const QString &name)
{
    for (size_t i = 0; i < orderNames.size(); ++i)
        if (name.compare(orderNames[i], Qt::CaseInsensitive) == 0)
            return ColorOrder(i);
    return std::nullopt;
}

std::array<int, 3> colorOrderChannels(ColorOrder order)
{
    const char *name = orderNames[size_t(order)];
    std::array<int, 3> channels{};
    for (int i = 0; i < 3; ++i)
        channels[i] = name[i] == 'R' ? 0 : name[i] == 'G' ? 1 : 2;
    return channels;
}

int OutputSettings::effectivePort() const
{
    return port > 0 ? port : describe(protocol).defaultPort;
}

OutputSettings OutputSettings::clamped() const
{
    OutputSettings s = *this;
    s.port = std::clamp(s.port, 0, 65535);
    // A protocol without universes keeps the value for when another is chosen.
    if (const ProtocolDescriptor &info = describe(protocol); info.hasUniverses())
        s.universe = std::clamp(s.universe, info.lowestUniverse, info.highestUniverse);
    s.brightness = std::clamp(s.brightness, 0, 100);
    s.gamma = std::isfinite(s.gamma) ? std::clamp(s.gamma, 1.0, 3.0) : 1.0;
    if (!std::isfinite(s.limitMilliamps) || s.limitMilliamps < 0)
        s.limitMilliamps = 0;
    if (!std::isfinite(s.power.milliampsPerChannel) || s.power.milliampsPerChannel < 0)
        s.power.milliampsPerChannel = PowerModel().milliampsPerChannel;
    if (!std::isfinite(s.power.idleMilliampsPerLed) || s.power.idleMilliampsPerLed < 0)
        s.power.idleMilliampsPerLed = PowerModel().idleMilliampsPerLed;
    s.framesPerSecond = std::isfinite(s.framesPerSecond) ? std::clamp(s.framesPerSecond, 1.0, 240.0) : 30.0;
    s.frameDuration = std::clamp(s.frameDuration, 10, 60000);
    return s;
}

QString OutputSettings::problem(qsizetype ledCount) const
{
    const ProtocolDescriptor &info = describe(protocol);
    if (info.takesOffset && offset + 3.0 * ledCount > 4294967295.0)
        return QString("%1 LEDs from byte offset %2 do not fit %3's 32-bit offsets").arg(ledCount).arg(offset)
            .arg(info.shortTitle);
    if (!info.hasUniverses())
        return {};
    const qsizetype perUniverse = info.ledsPerUniverse();
    const qsizetype universes = (ledCount + perUniverse - 1) / perUniverse;
    const qsizetype last = universe + std::max<qsizetype>(universes, 1) - 1;
    if (last > info.highestUniverse)
        return QString("%1 LEDs need universes %2 to %3, beyond %4's last universe %5")
            .arg(ledCount).arg(universe).arg(last).arg(info.shortTitle).arg(info.highestUniverse);
    return {};
}

OutputSettings OutputSettings::load(const QString &documentPath)
{
    QSettings store;
    return load(store, documentPath);
}

OutputSettings OutputSettings::load(QSettings &store, const QString &documentPath)
{
    OutputSettings s;
    store.beginGroup(groupFor(documentPath));
    s.protocol = protocolFromName(store.value("protocol").toString()).value_or(s.protocol);
    s.host = store.value("host", s.host).toString();
    s.port = store.value("port", s.port).toInt();
    s.universe = store.value("universe", s.universe).toInt();
    s.offset = store.value("offset", s.offset).toUInt();
    s.order = colorOrderFromName(store.value("order").toString()).value_or(s.order);
    s.brightness = store.value("brightness", s.brightness).toInt();
    s.gamma = store.value("gamma", s.gamma).toDouble();
    s.limitMilliamps = store.value("limitMilliamps", s.limitMilliamps).toDouble();
    s.power.milliampsPerChannel = store.value("milliampsPerChannel", s.power.milliampsPerChannel).toDouble();
    s.power.idleMilliampsPerLed = store.value("idleMilliampsPerLed", s.power.idleMilliampsPerLed).toDouble();
    s.framesPerSecond = store.value("framesPerSecond", s.framesPerSecond).toDouble();
    // Settings kept before these existed read as the defaults.
    s.frameDuration = store.value("frameDuration", s.frameDuration).toInt();
    s.keepLastFrameLit = store.value("keepLastFrameLit", s.keepLastFrameLit).toBool();
    store.endGroup();
    // Settings files can be edited by hand; never hand out a value the sender cannot use.
    return s.clamped();
}

void OutputSettings::save(const QString &documentPath) const
{
    QSettings store;
    save(store, documentPath);
}

void OutputSettings::save(QSettings &store, const QString &documentPath) const
{
    store.beginGroup(groupFor(documentPath));
    store.setValue("protocol", protocolName(protocol));
    store.setValue("host", host);
    store.setValue("port", port);
    store.setValue("universe", universe);
    store.setValue("offset", offset);
    store.setValue("order", colorOrderName(order));
    store.setValue("brightness", brightness);
    store.setValue("gamma", gamma);
    store.setValue("limitMilliamps", limitMilliamps);
    store.setValue("milliampsPerChannel", power.milliampsPerChannel);
    store.setValue("idleMilliampsPerLed", power.idleMilliampsPerLed);
    store.setValue("framesPerSecond", framesPerSecond);
    store.setValue("frameDuration", frameDuration);
    store.setValue("keepLastFrameLit", keepLastFrameLit);
    store.endGroup();
}

} // namespace lumora
