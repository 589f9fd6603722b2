#include "UserPattern.h"

#include "UserPatternLibrary.h"

#include "common/ColorBytes.h"

#include "maps/PixelblazeMap.h"
#include "script/Instance.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace lumora {

std::optional<UserPattern> UserPattern::load(const QString &fileName, QStringList &errors)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        errors.append(QString("%1: %2").arg(fileName, file.errorString()));
        return std::nullopt;
    }
    std::optional<UserPattern> pattern = compile(file.readAll(), fileName, errors);
    if (pattern)
        pattern->setControlValues(UserPatternLibrary::loadControls(fileName));
    return pattern;
}

std::optional<UserPattern> UserPattern::compile(const QByteArray &source, const QString &fileName,
                                                QStringList &errors)
{
    std::vector<script::Diagnostic> diagnostics;
    auto program = script::Program::compile(std::string_view(source.constData(), size_t(source.size())), diagnostics);
    for (const script::Diagnostic &d : diagnostics)
        errors.append(QString::fromStdString(d.format(fileName.toStdString())));
    if (!program)
        return std::nullopt;
    UserPattern pattern;
    pattern.m_fileName = fileName;
    pattern.m_program = std::move(program);
    return pattern;
}

QString UserPattern::name() const
{
    return QFileInfo(m_fileName).completeBaseName();
}

UserPatternRun::UserPatternRun(const UserPattern &pattern, const QList<QPointF> &leds, std::uint64_t randomKey)
    : m_fileName(pattern.fileName()),
      m_instance(std::make_unique<script::Instance>(pattern.program(), randomKey)),
      m_rgb(size_t(leds.size()) * 3)
{
    std::vector<double> x, y;
    x.reserve(size_t(leds.size()));
    y.reserve(size_t(leds.size()));
    for (const QPointF &led : leds) {
        const QPointF p = screenPoint(led);
        x.push_back(p.x());
        y.push_back(p.y());
    }
    m_instance->setPositions(x, y);
    for (auto it = pattern.controlValues().begin(); it != pattern.controlValues().end(); ++it) {
        const std::vector<double> values(it.value().begin(), it.value().end());
        m_instance->setControl(it.key().toStdString(), values);
    }
}

UserPatternRun::~UserPatternRun() = default;

QByteArray UserPatternRun::nextFrame(double deltaMs)
{
    m_instance->renderFrame(deltaMs, m_rgb);
    const size_t n = m_rgb.size() / 3;
    QByteArray bytes(qsizetype(n) * 3, Qt::Uninitialized);
    for (size_t i = 0; i < n; ++i) {
        const auto c = colorBytes(limitedColor(m_rgb[i * 3], m_rgb[i * 3 + 1], m_rgb[i * 3 + 2]));
        std::memcpy(bytes.data() + 3 * i, c.data(), 3);
    }
    return bytes;
}

void UserPatternRun::nextColors(double deltaMs, std::span<PixelColor> out)
{
    m_instance->renderFrame(deltaMs, m_rgb);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 3 * i + 2 < m_rgb.size() ? PixelColor{m_rgb[i * 3], m_rgb[i * 3 + 1], m_rgb[i * 3 + 2], 1}
                                          : PixelColor{0, 0, 0, 1};
}

QString UserPatternRun::error() const
{
    const auto &e = m_instance->error();
    if (!e)
        return {};
    return QString("%1:%2:%3: %4").arg(m_fileName).arg(e->line).arg(e->column).arg(QString::fromStdString(e->message));
}

bool renderUserPatternAnimation(const RenderSink &sink, const QList<QPointF> &leds, const UserPattern &pattern,
                                int frames, RenderControl *control, QString *error)
{
    UserPatternRun run(pattern, leds);
    const qsizetype frameBytes = 3 * leds.size();
    QByteArray chunk;
    chunk.reserve(std::min<qsizetype>(renderChunkBytes, frameBytes * std::max(frames, 1)) + frameBytes);
    for (int i = 0; i < frames; ++i) {
        if (control && control->cancelled)
            return false;
        chunk += run.nextFrame(i == 0 ? 0 : 200);
        if (!run.error().isEmpty()) {
            if (error)
                *error = run.error();
            return false;
        }
        if (chunk.size() >= renderChunkBytes || i == frames - 1) {
            if (!sink(chunk.constData(), chunk.size()))
                return false;
            chunk.clear();
        }
        if (control)
            control->framesDone = i + 1;
    }
    return true;
}

} // namespace lumora
