#pragma once

#include <QByteArray>

namespace lumora {

/// The lines that make PROGMEM arrays compile on AVR (avr-libc), on ESP8266 and ESP32 (their
/// pgmspace.h) and anywhere else (PROGMEM defined empty): shared by the modern picture
/// headers and the FastLED map header.
QByteArray progmemPreamble();
/// "NAME_H" style include guard macro for a file name: upper case, other characters '_'.
QByteArray includeGuard(const QByteArray &fileName);

} // namespace lumora
