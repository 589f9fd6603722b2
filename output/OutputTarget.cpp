#include "OutputTarget.h"

#include <QUrl>
#include <QUrlQuery>

namespace lumora {

namespace {

bool refuse(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

bool parseOutputTarget(const QString &target, OutputSettings &settings, QString *error)
{
    const QUrl url(target, QUrl::StrictMode);
    const auto protocol = protocolFromName(url.scheme());
    if (!url.isValid() || !protocol) {
        QStringList forms = targetForms(false);
        const QString last = forms.takeLast();
        return refuse(error, QString("'%1' is not a target; use %2 or %3").arg(target, forms.join(", "), last));
    }
    if (!url.userInfo().isEmpty() || !url.fragment().isEmpty() || (!url.path().isEmpty() && url.path() != "/"))
        return refuse(error, QString("'%1': a target has only a host, a port and options").arg(target));
    const ProtocolDescriptor &info = describe(*protocol);
    if (url.host().isEmpty() && !info.multicastGroup)
        return refuse(error, QString("'%1' names no host").arg(target));

    OutputSettings parsed = settings;
    parsed.protocol = *protocol;
    parsed.host = url.host();
    parsed.port = url.port(0);
    parsed.universe = info.firstUniverse;
    parsed.offset = 0;
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        bool ok = false;
        if (key == "universe" && info.hasUniverses()) {
            parsed.universe = value.toInt(&ok);
            if (!ok || parsed.universe < info.lowestUniverse || parsed.universe > info.highestUniverse)
                return refuse(error, QString("universe '%1' is not in %2..%3").arg(value).arg(info.lowestUniverse)
                                         .arg(info.highestUniverse));
        } else if (key == "offset" && info.takesOffset) {
            parsed.offset = value.toUInt(&ok);
            if (!ok)
                return refuse(error, QString("offset '%1' is not a byte offset").arg(value));
        } else {
            return refuse(error, QString("'%1': unknown option '%2'").arg(target, key));
        }
    }
    settings = parsed;
    return true;
}

QString outputTarget(const OutputSettings &settings)
{
    QUrl url;
    url.setScheme(protocolName(settings.protocol));
    url.setHost(settings.host);
    if (settings.port > 0)
        url.setPort(settings.port);
    QUrlQuery query;
    const ProtocolDescriptor &info = describe(settings.protocol);
    if (info.takesOffset && settings.offset)
        query.addQueryItem("offset", QString::number(settings.offset));
    if (info.hasUniverses() && settings.universe != info.firstUniverse)
        query.addQueryItem("universe", QString::number(settings.universe));
    url.setQuery(query);
    QString text = url.toString();
    // QUrl drops the "//" of an empty authority; keep the target readable back.
    if (settings.host.isEmpty() && settings.port <= 0)
        text.replace(0, text.indexOf(':') + 1, protocolName(settings.protocol) + "://");
    return text;
}

} // namespace lumora
