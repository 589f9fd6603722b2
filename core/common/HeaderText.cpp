#include "HeaderText.h"

#include <cctype>

namespace lumora {

QByteArray progmemPreamble()
{
    return "#include <stdint.h>\n"
           "#if defined(__AVR__)\n"
           "#include <avr/pgmspace.h>\n"
           "#elif defined(ESP8266) || defined(ESP32)\n"
           "#include <pgmspace.h>\n"
           "#endif\n"
           "#ifndef PROGMEM\n"
           "#define PROGMEM\n"
           "#endif\n";
}

QByteArray includeGuard(const QByteArray &fileName)
{
    QByteArray guard = "LUMORA_";
    for (char c : fileName)
        guard += std::isalnum(static_cast<unsigned char>(c)) ? char(std::toupper(static_cast<unsigned char>(c))) : '_';
    return guard;
}

} // namespace lumora
