#include "Commands.h"

#include "document/DocumentReader.h"
#include "document/LayoutSnapshot.h"
#include "patterns/framework/ColorPattern.h"

#include <QCommandLineParser>

namespace lumora::cli {

bool parse(QCommandLineParser &parser, const QStringList &arguments, int files)
{
    parser.addHelpOption();
    parser.process(arguments);
    if (parser.positionalArguments().size() != files) {
        fail(QString("expected %1 file argument(s); see --help").arg(files));
        return false;
    }
    return true;
}

bool load(const QString &fileName, Model &model)
{
    const ReadResult result = readDocumentFile(fileName, model);
    if (!result.ok)
        fail(result.error.contains(fileName) ? result.error : QString("%1: %2").arg(fileName, result.error));
    return result.ok;
}

std::optional<LayoutSnapshot> loadLayout(const QString &fileName)
{
    Model model;
    if (!load(fileName, model))
        return std::nullopt;
    LayoutSnapshot layout = LayoutSnapshot::fromModel(model);
    layout.animationEditor->setSelectedTrack(0);
    return layout;
}

const ColorPattern *findPattern(const QString &name, int *status)
{
    ColorPattern::addInstances();
    auto all = ColorPattern::patterns();
    if (all.empty()) {
        fail("no patterns are available");
        *status = 1;
        return nullptr;
    }
    all.front()->sortNames();
    if (name.isEmpty())
        return ColorPattern::patterns().front();
    const ColorPattern *pattern = ColorPattern::named(name.toStdString());
    if (!pattern) {
        fail(QString("no pattern named '%1' (see 'lumora-cli patterns')").arg(name));
        *status = 2;
    }
    return pattern;
}

} // namespace lumora::cli
