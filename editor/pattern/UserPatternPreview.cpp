#include "UserPatternPreview.h"

#include "editor/View.h"
#include "script/Instance.h"

#include <QPointer>

#include <algorithm>

namespace lumora {

UserPatternPreview::UserPatternPreview(View *view)
    : QObject(view), m_view(view)
{
    // Guarded: whichever of the two goes first, the other is left safe.
    view->setPreviewSource([self = QPointer<UserPatternPreview>(this)]() -> ColorSource * {
        return self && self->m_pattern ? self.data() : nullptr;
    });
    // A pattern sees pixelCount and the map once: new LEDs start it again.
    for (auto signal : {&DocumentModel::ledsChanged, &DocumentModel::ledsMoved, &DocumentModel::loaded})
        connect(view->model(), signal, this, [this] { m_layoutStale = true; });
}

UserPatternPreview::~UserPatternPreview() = default;

void UserPatternPreview::setPattern(std::optional<UserPattern> pattern)
{
    m_pattern = std::move(pattern);
    m_run.reset();
    m_layoutStale = true;
    if (!m_error.isEmpty()) {
        m_error.clear();
        emit errorChanged(m_error);
    }
}

UserPatternRun &UserPatternPreview::run()
{
    if (!m_run || m_layoutStale) {
        m_layoutStale = false;
        m_run = std::make_unique<UserPatternRun>(*m_pattern, m_view->model()->ledPositions());
        m_clock.start();
    }
    return *m_run;
}

void UserPatternPreview::setControl(const QString &function, const QList<double> &values)
{
    if (!m_pattern)
        return;
    if (values.isEmpty()) { // a trigger: nothing to keep
        run().instance().setControl(function.toStdString(), {});
        return;
    }
    auto kept = m_pattern->controlValues();
    kept.insert(function, values);
    m_pattern->setControlValues(kept);
    const std::vector<double> v(values.begin(), values.end());
    run().instance().setControl(function.toStdString(), v);
}

std::optional<double> UserPatternPreview::readControl(const QString &function)
{
    if (!m_pattern || !m_error.isEmpty())
        return std::nullopt;
    return run().instance().readControl(function.toStdString());
}

void UserPatternPreview::colors(const FrameContext &, std::span<PixelColor> out)
{
    if (!m_pattern) {
        std::fill(out.begin(), out.end(), PixelColor{0, 0, 0, 1});
        return;
    }
    UserPatternRun &current = run();
    current.nextColors(double(m_clock.restart()), out);
    const QString error = current.error();
    if (error != m_error) {
        m_error = error;
        emit errorChanged(m_error);
    }
}

} // namespace lumora
