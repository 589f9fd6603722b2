#pragma once

#include "PatternCodeEditor.h"

#include "colors/UserPattern.h"

#include <QTimer>
#include <QWidget>

class QLabel;

namespace lumora {

class PatternControls;
class UserPatternPreview;

/// The Pattern Editor: the text of a pattern the user writes, compiled about 300 ms after the
/// last key and shown on the layout through the window's preview. While the text has errors,
/// the last good program keeps running, the first error shows under the text and every one
/// is underlined at its line and column. The exported controls appear as widgets; their
/// values are kept with the pattern.
class PatternEditorPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int compileDelayMs = 300;

    PatternEditorPanel(UserPatternPreview *preview, QWidget *parent = nullptr);

    PatternCodeEditor *editor() const { return m_editor; }
    QLabel *errorLabel() const { return m_error; }
    PatternControls *controls() const { return m_controls; }

    /// A new untitled pattern from a small example.
    void newPattern();
    /// Shows a pattern file (and its control values); false with the reason when it cannot
    /// be read. The text shows even when it does not compile, with its errors.
    bool open(const QString &fileName, QString *error);
    /// Writes the text and the control values; false with the reason (the text stays).
    bool saveAs(const QString &fileName, QString *error);
    QString fileName() const { return m_fileName; }
    /// What the pattern is called: its file's base name, or "Untitled".
    QString patternName() const;
    bool isModified() const;
    bool isEmpty() const;
    /// Compiles now instead of when the typing pauses.
    void compileNow();
    /// The errors of the text as last compiled (empty when it compiled), then a runtime error.
    QStringList errors() const { return m_errors; }
    /// The pattern as last compiled well, with the controls' values.
    const std::optional<UserPattern> &lastGood() const { return m_lastGood; }

signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString &fileName);
    /// A new program runs in the preview.
    void compiled();

private:
    void showErrors(const QStringList &errors);
    void controlChanged(const QString &function, const QList<double> &values);

    UserPatternPreview *m_preview;
    PatternCodeEditor *m_editor;
    QLabel *m_error;
    PatternControls *m_controls;
    QTimer m_compileTimer;
    QTimer m_readoutTimer;
    QString m_fileName;
    QMap<QString, QList<double>> m_controlValues;
    bool m_controlsModified = false;
    QStringList m_errors;
    std::optional<UserPattern> m_lastGood;
};

} // namespace lumora
