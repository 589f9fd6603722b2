#include "BoardBudget.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace lumora {

namespace {

// A board and how its figures are found. AVR boards run on simavr and count cycles; ARM
// boards run on qemu, which counts instructions; `cyclesPerInstruction` turns those into
// clock cycles.
struct Board {
    const char *name;
    SketchTarget target;
    qint64 flash, ram;
    double mhz;
    double cyclesPerInstruction;
    bool estimateOnly; // no simulator for this core: the ARM figures stand in
};

const Board boards[] = {
    {"Arduino Uno", SketchTarget::Avr, 32256, 2048, 16, 1, false},
    {"Arduino Mega 2560", SketchTarget::Avr, 253952, 8192, 16, 1, false},
    {"ESP32", SketchTarget::Esp32, 1310720, 327680, 240, 1.0, true},
    {"Raspberry Pi Pico", SketchTarget::Rp2040, 2097152, 270336, 133, 1.3, false},
    {"Cortex-M4F at 120 MHz", SketchTarget::Arm, 524288, 196608, 120, 1.25, false},
};

QString kilobytes(qint64 bytes)
{
    return QString::number(bytes / 1024.0, 'f', 1);
}

QString capacity(qint64 bytes)
{
    const double k = bytes / 1024.0;
    return k >= 1024 ? QString::number(k / 1024.0, 'g', 3) + " MB" : QString::number(std::round(k)) + " KB";
}

// The harness compiled around the sketch for timing: the .ino as a user builds it without
// FastLED, a stand-in millis(), and a main() that times frames and prints the count.
const char *avrHarness = R"(#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <stdint.h>
static unsigned long millis() { return 0; }
#define LUMORA_NO_FASTLED
#include "SKETCH.ino"
static volatile uint16_t overflows;
ISR(TIMER1_OVF_vect) { ++overflows; }
static uint32_t cycles()
{
    cli();
    uint16_t low = TCNT1;
    uint32_t high = overflows;
    if (TIFR1 & (1 << TOV1) && low < 0x8000) ++high;
    sei();
    return (high << 16) | low;
}
static void put(char c) { while (!(UCSR0A & (1 << UDRE0))) {} UDR0 = c; }
int main()
{
    UCSR0B = 1 << TXEN0;
    TCCR1A = 0; TCCR1B = 1; TIMSK1 = 1 << TOIE1;
    sei();
    setup();
    lumora_frame(0, leds);
    uint32_t start = cycles();
    for (uint8_t f = 0; f < FRAMES; ++f) lumora_frame(200, leds);
    uint32_t n = (cycles() - start) / FRAMES;
    char text[12]; uint8_t k = 0;
    do { text[k++] = '0' + n % 10; n /= 10; } while (n);
    put('@');
    while (k) put(text[--k]);
    put('\n');
    cli();
    sleep_cpu();
}
)";

const char *armHarness = R"(#include <stdint.h>
static unsigned long millis() { return 0; }
#define LUMORA_NO_FASTLED
#include "SKETCH.ino"
extern "C" {
extern uint32_t __data_start__, __data_end__, __etext, __bss_start__, __bss_end__, __StackTop;
static volatile uint32_t wraps;
static int semihost(int op, const void *arg)
{
    register int r0 __asm__("r0") = op;
    register const void *r1 __asm__("r1") = arg;
    __asm__ volatile("bkpt 0xab" : "+r"(r0) : "r"(r1) : "memory");
    return r0;
}
int main();
void Reset_Handler()
{
    uint32_t *s = &__etext, *d = &__data_start__;
    while (d < &__data_end__) *d++ = *s++;
    for (d = &__bss_start__; d < &__bss_end__;) *d++ = 0;
#ifdef __ARM_FP
    *(volatile uint32_t *)0xE000ED88 |= 0xFu << 20;
    __asm__ volatile("dsb\n isb");
#endif
    uint32_t args[2] = {0x20026, (uint32_t)main()};
    semihost(0x18, (const void *)args[0]);
    for (;;) {}
}
void SysTick_Handler() { ++wraps; }
void Fault_Handler() { semihost(0x18, (const void *)0x20023); for (;;) {} }
__attribute__((section(".isr_vector"), used)) const void *const vectors[16] = {
    &__StackTop, (void *)Reset_Handler, (void *)Fault_Handler, (void *)Fault_Handler, (void *)Fault_Handler,
    (void *)Fault_Handler, (void *)Fault_Handler, 0, 0, 0, 0, 0, 0, 0, 0, (void *)SysTick_Handler};
}
#define SYST_CSR (*(volatile uint32_t *)0xE000E010)
#define SYST_RVR (*(volatile uint32_t *)0xE000E014)
#define SYST_CVR (*(volatile uint32_t *)0xE000E018)
static uint64_t ticks()
{
    for (;;) {
        uint32_t w = wraps, v = SYST_CVR;
        if (w == wraps) return (uint64_t)w * 0x1000000u + (0xFFFFFFu - v);
    }
}
int main()
{
    SYST_RVR = 0xFFFFFF; SYST_CVR = 0; SYST_CSR = 7;
    setup();
    lumora_frame(0, leds);
    uint64_t start = ticks();
    for (int f = 0; f < FRAMES; ++f) lumora_frame(200, leds);
    uint32_t n = (uint32_t)((ticks() - start) / FRAMES);
    char text[16]; int k = 0; char out[20]; int o = 0;
    do { text[k++] = '0' + n % 10; n /= 10; } while (n);
    out[o++] = '@';
    while (k) out[o++] = text[--k];
    out[o++] = '\n'; out[o] = 0;
    semihost(0x04, out);
    return 0;
}
)";

const char *armLinkerScript = R"(MEMORY { FLASH (rx) : ORIGIN = 0x00000000, LENGTH = 4M  RAM (rwx) : ORIGIN = 0x20000000, LENGTH = 4M }
SECTIONS {
  .text : { KEEP(*(.isr_vector)) *(.text*) *(.rodata*) . = ALIGN(4); } > FLASH
  .ARM.exidx : { *(.ARM.exidx*) } > FLASH
  __etext = .;
  .data : AT(__etext) { __data_start__ = .; *(.data*) . = ALIGN(4); __data_end__ = .; } > RAM
  .bss : { __bss_start__ = .; *(.bss*) *(COMMON) . = ALIGN(4); __bss_end__ = .; } > RAM
  __StackTop = ORIGIN(RAM) + LENGTH(RAM);
}
)";

// qemu's clock with -icount shift=3 gives each instruction 8 ns; SysTick on the MPS2 boards
// ticks every 40 ns, so one tick is five instructions.
constexpr int icountShift = 3;
constexpr double instructionsPerTick = 5;
constexpr int timedFrames = 3;

struct Run {
    QString output;
    bool ok = false;
};

Run run(const QString &program, const QStringList &arguments, const QString &folder, int timeoutMs)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    Run r;
    if (!p.waitForStarted()) {
        r.output = program + ": " + p.errorString();
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.output = program + " did not finish within " + QString::number(timeoutMs / 1000) + " s";
        return r;
    }
    r.output = QString::fromLocal8Bit(p.readAll());
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return r;
}

bool sizes(const QString &sizeTool, const QString &elf, const QString &folder, qint64 &flash, qint64 &ram, QString *error)
{
    const Run r = run(sizeTool, {elf}, folder, 30000);
    const QStringList lines = r.output.split('\n', Qt::SkipEmptyParts);
    if (!r.ok || lines.size() < 2) {
        *error = sizeTool + " failed: " + r.output.trimmed();
        return false;
    }
    const QStringList f = lines[1].simplified().split(' ');
    const qint64 text = f.value(0).toLongLong(), data = f.value(1).toLongLong(), bss = f.value(2).toLongLong();
    flash = text + data;
    ram = data + bss;
    return true;
}

double counted(const QString &output)
{
    const QRegularExpressionMatch m = QRegularExpression("@(\\d+)").match(output);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

// One build and timing run of the sketch on a simulated core.
struct Measurement {
    qint64 flash = 0, ram = 0;
    double cycles = -1; // per frame, after cyclesPerInstruction; -1 when not timed
};

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(name);
}

// Too large for the chip's memory: the linker says so and writes nothing.
bool overflowed(const QString &linkerOutput)
{
    return linkerOutput.contains("not within region") || linkerOutput.contains("overflowed by");
}

std::optional<Measurement> measureAvr(const QString &folder, const QString &mcu, QString *error, bool *tooLarge)
{
    const QString compiler = tool("avr-g++"), size = tool("avr-size"), simavr = tool("simavr");
    const QString elf = "avr-" + mcu + ".elf";
    // As the Arduino IDE builds for AVR: avr-libc has no guards for local statics.
    const QStringList flags = {"-mmcu=" + mcu, "-Os", "-Wall", "-fno-threadsafe-statics",
                               "-DFRAMES=" + QString::number(timedFrames)};
    const Run c = run(compiler, flags + QStringList{"-o", elf, "harness-avr.cpp"}, folder, 300000);
    *tooLarge = !c.ok && overflowed(c.output);
    if (!c.ok) {
        *error = "avr-g++ cannot compile the sketch:\n" + c.output.trimmed();
        return std::nullopt;
    }
    Measurement m;
    if (!sizes(size, elf, folder, m.flash, m.ram, error))
        return std::nullopt;
    if (!simavr.isEmpty()) {
        const Run s = run(simavr, {"-m", mcu, "-f", "16000000", elf}, folder, 600000);
        m.cycles = counted(s.output);
        if (m.cycles < 0) {
            *error = "simavr did not report the frame's cycles: " + s.output.trimmed().right(300);
            return std::nullopt;
        }
    }
    return m;
}

// Sizes from the compiled object alone, for a sketch no AVR can hold.
std::optional<Measurement> sizeAvrObject(const QString &folder, QString *error)
{
    const Run c = run(tool("avr-g++"), {"-mmcu=atmega2560", "-Os", "-fno-threadsafe-statics", "-c", "-o", "avr.o", "harness-avr.cpp",
                                        "-DFRAMES=1"},
                      folder, 300000);
    if (!c.ok) {
        *error = "avr-g++ cannot compile the sketch:\n" + c.output.trimmed();
        return std::nullopt;
    }
    Measurement m;
    if (!sizes(tool("avr-size"), "avr.o", folder, m.flash, m.ram, error))
        return std::nullopt;
    return m;
}

// The AVR figures: built and timed for the Uno's ATmega328P, or for the Mega's ATmega2560
// when the Uno cannot hold the sketch (the same code at the same clock).
std::optional<Measurement> measureAvr(const QString &folder, QString *error)
{
    bool tooLarge = false;
    std::optional<Measurement> m = measureAvr(folder, "atmega328p", error, &tooLarge);
    if (m || !tooLarge)
        return m;
    m = measureAvr(folder, "atmega2560", error, &tooLarge);
    if (m || !tooLarge)
        return m;
    return sizeAvrObject(folder, error);
}

std::optional<Measurement> measureArm(const QString &folder, bool m4, double cyclesPerInstruction, QString *error)
{
    const QString compiler = tool("arm-none-eabi-g++"), size = tool("arm-none-eabi-size"),
                  qemu = tool("qemu-system-arm");
    const QString elf = m4 ? "arm-m4f.elf" : "arm-m0plus.elf";
    QStringList flags = m4 ? QStringList{"-mcpu=cortex-m4", "-mthumb", "-mfloat-abi=hard", "-mfpu=fpv4-sp-d16"}
                           : QStringList{"-mcpu=cortex-m0plus", "-mthumb"};
    // Local statics unguarded as the Arduino cores build them: the guards pull in unwinding.
    const Run c = run(compiler, flags + QStringList{"-Os", "-Wall", "-fno-exceptions", "-fno-threadsafe-statics",
                                                    "-ffunction-sections",
                                                    "-Wl,--gc-sections", "-nostartfiles", "-T", "mps2.ld",
                                                    "--specs=nosys.specs", "-DFRAMES=" + QString::number(timedFrames),
                                                    "-o", elf, "harness-arm.cpp", "-lm"},
                      folder, 300000);
    if (!c.ok) {
        *error = "arm-none-eabi-g++ cannot compile the sketch:\n" + c.output.trimmed();
        return std::nullopt;
    }
    Measurement m;
    if (!sizes(size, elf, folder, m.flash, m.ram, error))
        return std::nullopt;
    // The harness's vector table and start-up code are not the sketch's; the board's own
    // start-up takes their place.
    if (!qemu.isEmpty()) {
        // The Cortex-M0+ code runs on the Cortex-M3 board: the same instructions, counted alike.
        const Run s = run(qemu, {"-M", m4 ? "mps2-an386" : "mps2-an385", "-nographic", "-semihosting-config",
                                 "enable=on,target=native", "-icount", "shift=" + QString::number(icountShift),
                                 "-kernel", elf},
                          folder, 600000);
        const double ticks = counted(s.output);
        if (ticks < 0) {
            *error = "qemu did not report the frame's instructions: " + s.output.trimmed().right(300);
            return std::nullopt;
        }
        m.cycles = ticks * instructionsPerTick * cyclesPerInstruction;
    }
    return m;
}

int ledCount(const QList<QPair<QString, QByteArray>> &files)
{
    for (const auto &[name, bytes] : files)
        if (name == "lumora_leds.h") {
            const QRegularExpressionMatch m = QRegularExpression("LM_NUM_LEDS (\\d+)").match(QString::fromUtf8(bytes));
            return m.captured(1).toInt();
        }
    return 0;
}

BoardBudget budgetFor(const Board &b, int leds)
{
    BoardBudget out;
    out.board = b.name;
    out.flashCapacity = b.flash;
    out.ramCapacity = b.ram;
    out.stackReserve = b.target == SketchTarget::Avr ? 256 : 2048;
    out.leds = leds;
    return out;
}

void setTime(BoardBudget &budget, const Board &b, double cycles)
{
    budget.frameCycles = cycles;
    budget.framesPerSecond = cycles > 0 ? b.mhz * 1e6 / cycles : 0;
}

/// Writes the sketch and the harnesses that build and time it into the scratch folder;
/// false with the reason.
bool writeScratch(const QString &folder, const QList<QPair<QString, QByteArray>> &files, const QString &sketchName,
                  QString *error)
{
    auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile f(QDir(folder).filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    for (const auto &[name, bytes] : files)
        if (!put(name, bytes)) {
            *error = "cannot write the scratch copy of " + name;
            return false;
        }
    const QByteArray ino = sketchName.toUtf8() + ".ino";
    if (!put("harness-avr.cpp", QByteArray(avrHarness).replace("SKETCH.ino", ino))
        || !put("harness-arm.cpp", QByteArray(armHarness).replace("SKETCH.ino", ino)) || !put("mps2.ld", armLinkerScript)) {
        *error = "cannot write the scratch harness";
        return false;
    }
    return true;
}

/// Builds and times the sketch for the board where its tools are installed, into `m` (left
/// empty without them). Both AVR boards share one measurement, kept in `avr`. False with
/// the reason when a present toolchain fails.
bool measureOn(const Board &b, const QString &folder, std::optional<Measurement> &avr, std::optional<Measurement> &m,
               QString *error)
{
    if (b.target == SketchTarget::Avr) {
        if (!tool("avr-g++").isEmpty() && !tool("avr-size").isEmpty()) {
            if (!avr)
                avr = measureAvr(folder, error);
            if (!avr)
                return false;
            m = avr;
        }
    } else if (!tool("arm-none-eabi-g++").isEmpty() && !tool("arm-none-eabi-size").isEmpty()) {
        const bool m4 = b.target != SketchTarget::Rp2040;
        m = measureArm(folder, m4, b.cyclesPerInstruction, error);
        if (!m)
            return false;
    }
    return true;
}

/// The board's figures from the measurement where it timed the sketch, else (sizes kept
/// where measured) from the cost model.
BoardBudget boardBudget(const Board &b, int leds, const std::optional<Measurement> &m,
                        const QList<QPair<QString, QByteArray>> &files)
{
    BoardBudget budget = budgetFor(b, leds);
    if (m && m->cycles >= 0) {
        budget.flashBytes = m->flash;
        budget.ramBytes = m->ram;
        setTime(budget, b, m->cycles);
        budget.measured = !b.estimateOnly;
        budget.method = b.target == SketchTarget::Avr ? "cycles counted on simavr"
            : b.estimateOnly ? "Cortex-M4F instructions counted on qemu, a cycle each (estimate)"
                             : QString("instructions counted on qemu × %1 cycles each").arg(b.cyclesPerInstruction);
    } else {
        const BoardBudget estimate = estimateBudget(files, int(&b - boards));
        budget.flashBytes = m ? m->flash : estimate.flashBytes;
        budget.ramBytes = m ? m->ram : estimate.ramBytes;
        setTime(budget, b, estimate.frameCycles);
        budget.measured = false;
        budget.method = "cost model (estimate)";
    }
    return budget;
}

} // namespace

QString BoardBudget::line() const
{
    const QString fps = framesPerSecond >= 10 ? QString::number(std::round(framesPerSecond))
                                              : QString::number(framesPerSecond, 'g', 2);
    QString text = QString("%1: %2 KB of %3 flash, %4 KB of %5 RAM, %6 frames/s at %7 LEDs")
                       .arg(board, kilobytes(flashBytes), capacity(flashCapacity), kilobytes(ramBytes),
                            capacity(ramCapacity), fps)
                       .arg(leds);
    if (!measured)
        text += " (estimate)";
    if (!fits())
        text += flashBytes > flashCapacity ? QString(" — does not fit its flash")
                                           : QString(" — does not fit its RAM with %1 bytes for the stack").arg(stackReserve);
    return text;
}

std::optional<QList<BoardBudget>> measureBudgets(const QList<QPair<QString, QByteArray>> &files,
                                                 const QString &sketchName, SketchTarget target, QString *error,
                                                 const BudgetProgress &progress)
{
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        *error = "cannot make a scratch folder: " + scratch.errorString();
        return std::nullopt;
    }
    const QString folder = scratch.path();
    if (!writeScratch(folder, files, sketchName, error))
        return std::nullopt;

    const int leds = ledCount(files);
    QList<const Board *> chosen;
    for (const Board &b : boards)
        if (b.target == target)
            chosen.append(&b);
    QList<BoardBudget> out;
    const int total = int(chosen.size());
    int done = 0;
    auto step = [&] { return !progress || progress(done, total); };
    if (!step()) {
        *error = "stopped";
        return std::nullopt;
    }
    std::optional<Measurement> avr;
    for (const Board *b : chosen) {
        std::optional<Measurement> m;
        if (!measureOn(*b, folder, avr, m, error))
            return std::nullopt;
        out.append(boardBudget(*b, leds, m, files));
        ++done;
        if (!step()) {
            *error = "stopped";
            return std::nullopt;
        }
    }
    return out;
}

BoardBudget estimateBudget(const QList<QPair<QString, QByteArray>> &files, int boardIndex)
{
    const Board &b = boards[boardIndex];
    BoardBudget out = budgetFor(b, ledCount(files));
    out.measured = false;
    QString pattern, runtime;
    long pool = 0;
    for (const auto &[name, bytes] : files) {
        if (name == "lumora_pattern.h")
            pattern = QString::fromUtf8(bytes);
        if (name == "lumora_runtime.h")
            runtime = QString::fromUtf8(bytes);
        if (name == "lumora.h")
            pool = QRegularExpression("LM_POOL_SIZE (\\d+)").match(QString::fromUtf8(bytes)).captured(1).toLong();
    }
    // Work per LED: the pattern's floating-point operations and maths calls, weighted by
    // what each costs on the core (cycles on an ATmega328P; the ARM cores are counted as
    // that many times faster).
    auto count = [&](const QString &what) { return double(pattern.count(what)); };
    const double operations = count(" * ") + count(" + ") + count(" - ") + count(" < ") + count(" > ");
    const double divisions = count(" / ") + count("fmodf");
    const double maths = count("sinf") + count("cosf") + count("lm_wave") + count("sqrtf") + count("atan2f")
        + count("powf") + count("expf") + count("logf") + count("lm_hsv") + count("lm_perlin") * 4;
    const double avrCycles = 140 * operations + 500 * divisions + 1900 * maths + 400;
    const double speedup = b.target == SketchTarget::Avr ? 1 : b.target == SketchTarget::Rp2040 ? 8 : 40;
    out.frameCycles = avrCycles / speedup * out.leds;
    out.framesPerSecond = b.mhz * 1e6 / out.frameCycles;
    const double codeBytes = b.target == SketchTarget::Avr ? 1.2 : 0.8;
    out.flashBytes = qint64(2500 + codeBytes * (pattern.size() + runtime.size()) / 2 + 8 * out.leds);
    out.ramBytes = qint64(200 + 3 * out.leds + 4 * pool + 2 * pattern.count("static float"));
    out.method = "cost model (estimate)";
    return out;
}

} // namespace lumora
