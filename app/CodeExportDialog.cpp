#include "CodeExportDialog.h"

#include "codegen/BuiltinSketch.h"
#include "codegen/ScriptTranslator.h"
#include "patterns/catalogue/PortableCatalogue.h"
#include "patterns/framework/ColorPattern.h"
#include "patterns/framework/PatternRegistry.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace lumora {

namespace {

/// A field with its Choose… button beside it.
QHBoxLayout *withButton(QWidget *field, QWidget *button)
{
    auto *row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(button);
    return row;
}

} // namespace

CodeExportDialog::CodeExportDialog(const QList<QPointF> &leds, const SketchSettings &settings, const QString &folder,
                                   QWidget *parent)
    : QDialog(parent), m_leds(leds), m_settings(settings)
{
    setWindowTitle(tr("Export Code for a Microcontroller"));
    QFormLayout *form = makeForm(folder);

    m_progress = new QProgressBar(this);
    m_progress->hide();
    m_report = new QLabel(tr("Measure the sketch to see what it needs on each board."), this);
    m_report->setObjectName("report");
    m_report->setWordWrap(true);
    m_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QDialogButtonBox *buttons = makeButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_progress);
    layout->addWidget(m_report);
    layout->addWidget(buttons);

    // A change after measuring asks for a new measurement: the table must be the sketch's.
    connect(m_file, &QLineEdit::textChanged, this, &CodeExportDialog::invalidate);
    connect(m_pattern, &QComboBox::currentIndexChanged, this, &CodeExportDialog::patternChosen);
    connect(m_folder, &QLineEdit::textChanged, this, &CodeExportDialog::invalidate);
    connect(m_target, &QComboBox::currentIndexChanged, this, &CodeExportDialog::invalidate);
    connect(&m_watcher, &QFutureWatcher<Result>::finished, this, &CodeExportDialog::finished);
    resize(620, sizeHint().height());
}

QFormLayout *CodeExportDialog::makeForm(const QString &folder)
{
    m_file = new QLineEdit(this);
    m_file->setObjectName("patternFile");
    m_browseFile = new QPushButton(tr("Choose…"), this);
    connect(m_browseFile, &QPushButton::clicked, this, &CodeExportDialog::chooseFile);
    QHBoxLayout *fileRow = withButton(m_file, m_browseFile);

    m_pattern = new QComboBox(this);
    m_pattern->setObjectName("pattern");
    m_pattern->addItem(tr("A pattern file"), -1);

    m_target = new QComboBox(this);
    m_target->setObjectName("target");
    m_target->addItem(tr("AVR (Arduino Uno, Mega)"), int(SketchTarget::Avr));
    m_target->addItem(tr("ESP32"), int(SketchTarget::Esp32));
    m_target->addItem(tr("RP2040 (Raspberry Pi Pico)"), int(SketchTarget::Rp2040));
    m_target->addItem(tr("ARM Cortex-M4F"), int(SketchTarget::Arm));
    m_target->addItem(tr("This computer (frames as PPM)"), int(SketchTarget::Host));

    m_folder = new QLineEdit(folder, this);
    m_folder->setObjectName("folder");
    auto *browseFolder = new QPushButton(tr("Choose…"), this);
    connect(browseFolder, &QPushButton::clicked, this, &CodeExportDialog::chooseFolder);
    QHBoxLayout *folderRow = withButton(m_folder, browseFolder);

    auto *form = new QFormLayout;
    form->addRow(tr("Pattern:"), m_pattern);
    form->addRow(tr("Pattern file:"), fileRow);
    form->addRow(tr("Board:"), m_target);
    form->addRow(tr("Sketch folder:"), folderRow);
    return form;
}

QDialogButtonBox *CodeExportDialog::makeButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_measure = buttons->addButton(tr("&Measure"), QDialogButtonBox::ActionRole);
    m_measure->setObjectName("measure");
    m_write = buttons->addButton(tr("&Write Sketch"), QDialogButtonBox::AcceptRole);
    m_write->setObjectName("write");
    m_write->setEnabled(false);
    connect(m_measure, &QPushButton::clicked, this, &CodeExportDialog::measure);
    connect(m_write, &QPushButton::clicked, this, [this] {
        if (writeSketch())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

CodeExportDialog::~CodeExportDialog()
{
    *m_stop = true;
    m_watcher.waitForFinished();
}

void CodeExportDialog::setPatternFile(const QString &fileName) { m_file->setText(fileName); }
void CodeExportDialog::setFolder(const QString &folder) { m_folder->setText(folder); }
void CodeExportDialog::setTarget(SketchTarget target) { m_target->setCurrentIndex(m_target->findData(int(target))); }

void CodeExportDialog::offerBuiltIns(const PatternRegistry &patterns, const QList<QPointF> &gridPoints)
{
    m_grid = gridPoints;
    for (const ColorPattern *pattern : patterns.patterns()) {
        if (!portablePattern(pattern->name()))
            continue; // Image reads a picture no board has
        m_pattern->addItem(QString::fromStdString(pattern->name()), int(m_builtIns.size()));
        m_builtIns.append(pattern);
    }
}

bool CodeExportDialog::choosePattern(const QString &name)
{
    const int index = name.isEmpty() ? 0 : m_pattern->findText(name);
    if (index < 0)
        return false;
    m_pattern->setCurrentIndex(index);
    return true;
}

void CodeExportDialog::patternChosen()
{
    const bool file = m_pattern->currentData().toInt() < 0;
    m_file->setEnabled(file);
    m_browseFile->setEnabled(file);
    invalidate();
}

void CodeExportDialog::chooseFile()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Pattern File"), m_file->text(), tr("Patterns (*.js)"));
    if (!name.isEmpty())
        m_file->setText(name);
}

void CodeExportDialog::chooseFolder()
{
    const QString name = QFileDialog::getSaveFileName(this, tr("Sketch Folder"), m_folder->text(), {}, nullptr,
                                                      QFileDialog::ShowDirsOnly);
    if (!name.isEmpty())
        m_folder->setText(name);
}

void CodeExportDialog::invalidate()
{
    if (m_watcher.isRunning())
        *m_stop = true;
    m_files.clear();
    m_write->setEnabled(false);
}

void CodeExportDialog::setProgress(int done, int total)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
}

void CodeExportDialog::measure()
{
    if (m_watcher.isRunning())
        return;
    invalidate();
    const QString folder = QDir::cleanPath(m_folder->text().trimmed());
    if (m_leds.isEmpty() || folder.isEmpty()) {
        showProblem(m_leds.isEmpty() ? tr("The layout has no LEDs.") : tr("Choose the sketch folder."));
        return;
    }
    // A built-in pattern is made here (quick); a pattern file is translated with the measuring.
    std::optional<SketchPattern> builtIn;
    QByteArray bytes;
    if (!readPattern(builtIn, bytes))
        return;
    m_sketchName = QFileInfo(folder).fileName();
    startMeasuring(builtIn, bytes);
}

void CodeExportDialog::showProblem(const QString &text)
{
    m_report->setText(text);
    emit measured();
}

bool CodeExportDialog::readPattern(std::optional<SketchPattern> &builtIn, QByteArray &bytes)
{
    const int chosen = m_pattern->currentData().toInt();
    if (chosen >= 0) {
        QString error;
        builtIn = BuiltinSketch::make(*m_builtIns[chosen], m_grid, &error);
        if (!builtIn) {
            showProblem(tr("Cannot make the sketch:\n%1").arg(error));
            return false;
        }
        return true;
    }
    QFile source(m_file->text());
    if (!source.open(QIODevice::ReadOnly)) {
        showProblem(tr("Cannot read the pattern file: %1").arg(source.errorString()));
        return false;
    }
    bytes = source.readAll();
    return true;
}

void CodeExportDialog::startMeasuring(const std::optional<SketchPattern> &builtIn, const QByteArray &bytes)
{
    const QString fileName = m_file->text();
    const auto target = SketchTarget(m_target->currentData().toInt());
    *m_stop = false;
    m_measure->setEnabled(false);
    m_progress->setRange(0, 0);
    m_progress->show();
    m_report->setText(tr("Translating and measuring…"));
    auto stop = m_stop;
    const QList<QPointF> leds = m_leds;
    const SketchSettings settings = m_settings;
    const QString name = m_sketchName;
    QPointer<CodeExportDialog> self(this);
    m_watcher.setFuture(QtConcurrent::run([=]() {
        Result r;
        QStringList errors;
        const std::optional<SketchPattern> pattern =
            builtIn ? builtIn : ScriptTranslator::translate(bytes, fileName, leds, errors);
        if (!pattern) {
            r.error = errors.join('\n');
            return r;
        }
        r.files = SketchWriter::files(*pattern, settings, target, name);
        if (target == SketchTarget::Host) {
            r.budgets = QList<BoardBudget>();
            return r;
        }
        r.budgets = measureBudgets(r.files, name, target, &r.error, [stop, self](int done, int total) {
            QMetaObject::invokeMethod(self, [self, done, total] {
                if (self)
                    self->setProgress(done, total);
            });
            return !*stop;
        });
        return r;
    }));
}

void CodeExportDialog::finished()
{
    m_measure->setEnabled(true);
    m_progress->hide();
    if (*m_stop) {
        m_report->setText(tr("Measure the sketch to see what it needs on each board."));
        return;
    }
    const Result r = m_watcher.result();
    if (!r.budgets) {
        m_report->setText(tr("Cannot make the sketch:\n%1").arg(r.error));
        emit measured();
        return;
    }
    QStringList lines;
    bool fits = true;
    for (const BoardBudget &b : *r.budgets) {
        lines.append(b.line());
        fits = fits && b.fits();
    }
    if (lines.isEmpty())
        lines.append(tr("The sketch builds for this computer and writes frames as PPM."));
    if (!fits)
        lines.append(tr("Warning: a board above cannot hold this sketch."));
    m_report->setText(lines.join('\n'));
    m_files = r.files;
    m_write->setEnabled(true);
    emit measured();
}

bool CodeExportDialog::writeSketch()
{
    if (!canWrite())
        return false;
    QString error;
    if (!SketchWriter::write(QDir::cleanPath(m_folder->text().trimmed()), m_files, &error)) {
        QMessageBox::warning(this, windowTitle(), tr("The sketch was not written: %1").arg(error));
        return false;
    }
    return true;
}

QString CodeExportDialog::report() const { return m_report->text(); }
bool CodeExportDialog::canWrite() const { return !m_files.isEmpty(); }

} // namespace lumora
