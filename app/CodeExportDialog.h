#pragma once

#include "codegen/BoardBudget.h"
#include "codegen/SketchWriter.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QList>
#include <QPointF>

#include <atomic>
#include <memory>

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace lumora {

class ColorPattern;
class PatternRegistry;

/// File ▸ Export Code for a Microcontroller…: a built-in pattern or a pattern file, the board family and the
/// sketch folder; Measure translates the pattern and shows the budget per board (flash, RAM,
/// frames per second), and only then can the sketch be written. On any failure the error
/// is shown and nothing is written.
class CodeExportDialog : public QDialog {
    Q_OBJECT
public:
    /// `leds` in layout units and LED order; `settings` from the layout's output settings.
    CodeExportDialog(const QList<QPointF> &leds, const SketchSettings &settings, const QString &folder,
                     QWidget *parent = nullptr);
    ~CodeExportDialog() override;

    void setPatternFile(const QString &fileName);
    /// Offers the built-in patterns that can run on a board beside pattern files, computed on
    /// `gridPoints` (the LEDs in grid units and LED order, as the pattern export takes them).
    /// `patterns` must outlive the dialog.
    void offerBuiltIns(const PatternRegistry &patterns, const QList<QPointF> &gridPoints);
    /// Picks a built-in pattern by name (false when it is not offered), or a pattern file for "".
    bool choosePattern(const QString &name);
    void setTarget(SketchTarget target);
    void setFolder(const QString &folder);
    /// Translates and measures; the result shows when measured() is emitted.
    void measure();
    /// Writes the measured sketch; false (after showing why) when it could not.
    bool writeSketch();

    /// The budget lines or the error, as shown.
    QString report() const;
    bool canWrite() const;
    bool isMeasuring() const { return m_watcher.isRunning(); }

signals:
    void measured();

private:
    struct Result {
        QList<QPair<QString, QByteArray>> files;
        std::optional<QList<BoardBudget>> budgets;
        QString error;
    };
    /// The pattern, pattern file, board and folder fields.
    QFormLayout *makeForm(const QString &folder);
    /// Measure, Write Sketch and Cancel.
    QDialogButtonBox *makeButtons();
    void chooseFile();
    void patternChosen();
    void chooseFolder();
    void finished();
    void invalidate();
    void setProgress(int done, int total);
    /// Shows why nothing can be measured.
    void showProblem(const QString &text);
    /// The chosen built-in pattern made, or the pattern file's bytes; false after showing why not.
    bool readPattern(std::optional<SketchPattern> &builtIn, QByteArray &bytes);
    /// Translates (a pattern file) and measures in the background.
    void startMeasuring(const std::optional<SketchPattern> &builtIn, const QByteArray &bytes);

    QList<QPointF> m_leds;
    QList<QPointF> m_grid;
    QList<const ColorPattern *> m_builtIns;
    QComboBox *m_pattern;
    SketchSettings m_settings;
    QLineEdit *m_file;
    QPushButton *m_browseFile;
    QComboBox *m_target;
    QLineEdit *m_folder;
    QPushButton *m_measure;
    QPushButton *m_write;
    QProgressBar *m_progress;
    QLabel *m_report;
    QFutureWatcher<Result> m_watcher;
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
    QList<QPair<QString, QByteArray>> m_files;
    QString m_sketchName;
};

} // namespace lumora
