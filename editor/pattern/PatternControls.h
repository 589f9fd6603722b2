#pragma once

#include "script/Program.h"

#include <QMap>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QFormLayout;

namespace lumora {

/// The widgets of a pattern's exported controls: a slider for slider…, a colour button for
/// hsvPicker… and rgbPicker…, a check box for toggle…, a button for trigger…, a number field
/// for inputNumber…, and read-outs for showNumber… and gauge….
class PatternControls : public QWidget {
    Q_OBJECT
public:
    explicit PatternControls(QWidget *parent = nullptr);

    /// Builds the widgets, showing the values given (by function name) where there are any.
    /// Widgets of controls that stay keep their state.
    void setControls(const std::vector<script::Control> &controls, const QMap<QString, QList<double>> &values);
    /// Brings the read-outs up to date from `read` (none: "–").
    void refreshReadouts(const std::function<std::optional<double>(const QString &)> &read);
    /// The widget of a control by its function's name (for tests).
    QWidget *widgetFor(const QString &function) const { return m_widgets.value(function); }
    int count() const { return int(m_widgets.size()); }

signals:
    /// The user changed an input control (a trigger passes no values).
    void controlChanged(const QString &function, const QList<double> &values);

private:
    QWidget *makeWidget(const script::Control &control, const QList<double> &values);

    QFormLayout *m_form;
    std::vector<script::Control> m_controls;
    QMap<QString, QWidget *> m_widgets;
};

} // namespace lumora
