// A million LEDs through the layout editor: 100 drags of every LED (as a mouse drag records
// them), 50 quarter turns (View ▸ Rotate), then 100 undos. After every step the positions'
// exact bits are hashed; every undo must bring back the hash of the state it returns to,
// and undos beyond what the history's budget kept must change nothing. Prints the peak
// resident memory and exits 1 when any position was not restored exactly.
//
//   million_led_undo [LEDS] [DRAGS] [ROTATIONS] [UNDOS] [BUDGET_MB]
#include "document/DocumentModel.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>

#include <cstdio>

#include <sys/resource.h>

using namespace lumora;

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

QByteArray positionsHash(const DocumentModel &model)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const NodePtr &node : model.leds()) {
        const QPointF p = node->position();
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(&p), sizeof p));
    }
    return hash.result();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto argument = [&](int i, long long fallback) { return argc > i ? std::atoll(argv[i]) : fallback; };
    const qsizetype leds = argument(1, 1'000'000);
    const int drags = int(argument(2, 100)), rotations = int(argument(3, 50)), undos = int(argument(4, 100));
    const qint64 budget = argument(5, UndoManager::defaultMemoryBudget >> 20) << 20;

    DocumentModel model;
    {
        Model loaded;
        loaded.points.reserve(leds);
        const int side = 1000;
        for (qsizetype i = 0; i < leds; ++i)
            loaded.points.append(QPointF(12 + (i % side) * 1.0 / 3, 10 + (i / side) * 0.7));
        model.load(loaded);
    }
    View view(&model);
    view.resize(1024, 768);
    UndoManager &undo = *model.undoManager();
    undo.setMemoryBudget(budget);
    const double afterLoad = peakMegabytes();

    QElapsedTimer clock;
    clock.start();
    QList<QByteArray> states{positionsHash(model)};
    const QList<NodePtr> all = model.leds();
    model.setMarking(QList<bool>(leds, true));
    for (int d = 0; d < drags; ++d) {
        // What a drag of the marked group records: the exact starts, then the moves.
        QList<QPointF> starts, targets;
        starts.reserve(leds);
        targets.reserve(leds);
        const QPointF by((d % 7) * 0.1 - 0.3, (d % 5) * 0.07 - 0.14);
        for (const NodePtr &node : all) {
            starts.append(node->position());
            targets.append(node->position() + by);
        }
        model.setLedPositions(all, targets);
        model.registerMoves(all, starts, "move node");
        undo.endGrouping();
        QCoreApplication::processEvents();
        states.append(positionsHash(model));
    }
    for (int r = 0; r < rotations; ++r) {
        view.transforms().rotateClockwise();
        undo.endGrouping();
        QCoreApplication::processEvents();
        states.append(positionsHash(model));
    }
    const qint64 editMs = clock.restart();

    const int kept = undo.stack()->index();
    int wrong = 0;
    qsizetype at = states.size() - 1;
    for (int u = 0; u < undos; ++u) {
        if (undo.canUndo())
            --at;
        undo.undo();
        QCoreApplication::processEvents();
        if (positionsHash(model) != states[at])
            ++wrong;
    }
    const qint64 undoMs = clock.elapsed();
    std::printf("%lld LEDs, %d drags, %d rotations, %d undos (budget %lld MB): peak %.0f MB "
                "(%.0f MB after loading); history kept %d steps, dropped %d; editing %lld ms, "
                "undoing %lld ms; %s\n",
                (long long)leds, drags, rotations, undos, (long long)(budget >> 20), peakMegabytes(), afterLoad,
                kept, undo.droppedSteps(), (long long)editMs, (long long)undoMs,
                wrong == 0 ? "every position restored exactly" : "SOME POSITIONS WRONG");
    return wrong == 0 ? 0 : 1;
}
