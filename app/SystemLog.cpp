#include "SystemLog.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <syslog.h>

namespace lumora {

namespace {

QtMessageHandler previousHandler = nullptr;

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtInfoMsg && context.category && qstrcmp(context.category, "lumora.timeline") == 0) {
        syslog(LOG_INFO, "%s", message.toLocal8Bit().constData());
        return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void routeDiagnosticsToSystemLog()
{
    openlog("lumora", LOG_PID, LOG_USER);
    previousHandler = qInstallMessageHandler(handle);
}

} // namespace lumora
