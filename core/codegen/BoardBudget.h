#pragma once

#include "SketchWriter.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

namespace lumora {

/// What one board needs for a sketch: flash and RAM from the compiled sketch (without
/// FastLED and the Arduino core) and frames per second for the layout's LEDs, counted in a
/// simulator or, where the tools are missing, estimated.
struct BoardBudget {
    QString board;
    qint64 flashBytes = 0, flashCapacity = 0;
    qint64 ramBytes = 0, ramCapacity = 0;
    double framesPerSecond = 0;
    /// Clock cycles of one frame (computing the colours, preparing and sending excluded).
    double frameCycles = 0;
    int leds = 0;
    /// False when the figures come from the cost model rather than a compiler and simulator.
    bool measured = true;
    /// How the time was found ("simavr cycles", "qemu instructions × 1.25 cycles each", ...).
    QString method;

    /// RAM kept free for the stack (calls, the maths functions' locals), which the sizes do
    /// not show.
    qint64 stackReserve = 0;

    bool fits() const { return flashBytes <= flashCapacity && ramBytes + stackReserve <= ramCapacity; }
    /// "Arduino Uno: 11.2 KB of 32 KB flash, 0.9 KB of 2 KB RAM, 6 frames/s at 48 LEDs".
    QString line() const;
};

/// Reports the steps done of the total; returns false to stop.
using BudgetProgress = std::function<bool(int done, int total)>;

/// Builds and runs the sketch's files for the target's boards in a scratch folder. None
/// when a toolchain that is present fails to compile the sketch (the message says why),
/// or when stopped.
std::optional<QList<BoardBudget>> measureBudgets(const QList<QPair<QString, QByteArray>> &files,
                                                 const QString &sketchName, SketchTarget target, QString *error,
                                                 const BudgetProgress &progress = {});

/// The cost model's figures for board `boardIndex` (in the order measureBudgets lists
/// them) when its tools are missing, from the sketch's text.
BoardBudget estimateBudget(const QList<QPair<QString, QByteArray>> &files, int boardIndex);

} // namespace lumora
