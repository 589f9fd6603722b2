#include "PatternEditorPanel.h"

#include "PatternControls.h"
#include "UserPatternPreview.h"

#include "colors/UserPatternLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace lumora {

namespace {
const char *const examplePattern = R"(// Hue flows across the layout; the slider sets its speed.
export var speed = 0.5

export function sliderSpeed(v) {
  speed = v
}

export function beforeRender(delta) {
  t1 = time(0.02 + 0.2 * (1 - speed))
}

export function render2D(index, x, y) {
  hsv(x * 0.5 + y * 0.5 + t1, 1, 1)
}

export function render(index) {
  hsv(index / pixelCount + t1, 1, 1)
}
)";

/// "NAME:LINE:COL: message" as a place in the text.
std::optional<PatternCodeEditor::Mark> markOf(const QString &error, const QString &name)
{
    if (!error.startsWith(name + ':'))
        return std::nullopt;
    static const QRegularExpression place("^(\\d+):(\\d+): (.*)$");
    const auto match = place.match(error.mid(name.size() + 1));
    if (!match.hasMatch())
        return std::nullopt;
    return PatternCodeEditor::Mark{match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3)};
}
} // namespace

PatternEditorPanel::PatternEditorPanel(UserPatternPreview *preview, QWidget *parent)
    : QWidget(parent), m_preview(preview), m_editor(new PatternCodeEditor), m_error(new QLabel),
      m_controls(new PatternControls)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_editor->setObjectName("patternText");
    m_error->setObjectName("patternError");
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_error->setStyleSheet("color: #c00000");
    m_error->hide();
    auto *controlsScroll = new QScrollArea;
    controlsScroll->setWidget(m_controls);
    controlsScroll->setWidgetResizable(true);
    controlsScroll->setFrameShape(QFrame::NoFrame);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_editor);
    split->addWidget(controlsScroll);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    layout->addWidget(m_error);

    m_compileTimer.setSingleShot(true);
    m_compileTimer.setInterval(compileDelayMs);
    connect(&m_compileTimer, &QTimer::timeout, this, &PatternEditorPanel::compileNow);
    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] { m_compileTimer.start(); });
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, [this](bool) {
        emit modifiedChanged(isModified());
    });
    connect(m_controls, &PatternControls::controlChanged, this, &PatternEditorPanel::controlChanged);
    connect(preview, &UserPatternPreview::errorChanged, this, [this](const QString &error) {
        // A runtime error of the program the text compiled to.
        if (m_errors.isEmpty() || !error.isEmpty())
            showErrors(error.isEmpty() ? QStringList() : QStringList{error});
    });
    m_readoutTimer.setInterval(200);
    connect(&m_readoutTimer, &QTimer::timeout, this, [this] {
        if (isVisible() && m_controls->count() > 0)
            m_controls->refreshReadouts([this](const QString &f) { return m_preview->readControl(f); });
    });
    m_readoutTimer.start();
}

QString PatternEditorPanel::patternName() const
{
    return m_fileName.isEmpty() ? tr("Untitled") : QFileInfo(m_fileName).completeBaseName();
}

bool PatternEditorPanel::isModified() const
{
    return m_editor->document()->isModified() || m_controlsModified;
}

bool PatternEditorPanel::isEmpty() const
{
    return m_editor->document()->isEmpty();
}

void PatternEditorPanel::newPattern()
{
    m_fileName.clear();
    m_controlValues = {{"sliderSpeed", {0.5}}}; // the example's own start
    m_controlsModified = false;
    m_editor->setPlainText(QString::fromUtf8(examplePattern));
    m_editor->document()->setModified(false);
    emit fileNameChanged(m_fileName);
    compileNow();
}

bool PatternEditorPanel::open(const QString &fileName, QString *error)
{
    QFile file(fileName);
    // A pattern is a few kilobytes; a huge file is not one.
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.size() > (4 << 20)) {
        if (error)
            *error = tr("it is larger than 4 MB, too large for a pattern");
        return false;
    }
    const QByteArray source = file.readAll();
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    m_controlValues = UserPatternLibrary::loadControls(m_fileName);
    m_controlsModified = false;
    m_editor->setPlainText(QString::fromUtf8(source));
    m_editor->document()->setModified(false);
    emit fileNameChanged(m_fileName);
    compileNow();
    emit modifiedChanged(false);
    return true;
}

bool PatternEditorPanel::saveAs(const QString &fileName, QString *error)
{
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    if (!UserPatternLibrary::saveSource(absolute, m_editor->toPlainText().toUtf8(), error))
        return false;
    // The control values are kept only when there are any, so a plain pattern is one file.
    if (!m_controlValues.isEmpty() && !UserPatternLibrary::saveControls(absolute, m_controlValues, error))
        return false;
    const bool renamed = absolute != m_fileName;
    m_fileName = absolute;
    m_controlsModified = false;
    m_editor->document()->setModified(false);
    emit modifiedChanged(false);
    if (renamed) {
        emit fileNameChanged(m_fileName);
        compileNow(); // errors and exports name the new file
    }
    return true;
}

void PatternEditorPanel::compileNow()
{
    m_compileTimer.stop();
    QStringList errors;
    std::optional<UserPattern> pattern =
        UserPattern::compile(m_editor->toPlainText().toUtf8(), m_fileName.isEmpty() ? patternName() : m_fileName, errors);
    if (!pattern) {
        // The last good program keeps running meanwhile.
        showErrors(errors);
        return;
    }
    pattern->setControlValues(m_controlValues);
    m_lastGood = pattern;
    m_controls->setControls(pattern->program()->controls, m_controlValues);
    m_preview->setPattern(std::move(pattern));
    showErrors({});
    emit compiled();
}

void PatternEditorPanel::showErrors(const QStringList &errors)
{
    m_errors = errors;
    const QString name = m_fileName.isEmpty() ? patternName() : m_fileName;
    QList<PatternCodeEditor::Mark> marks;
    for (const QString &e : errors)
        if (const auto mark = markOf(e, name))
            marks.append(*mark);
    m_editor->setErrorMarks(marks);
    if (errors.isEmpty()) {
        m_error->clear();
        m_error->hide();
        return;
    }
    // The place without the folder, which the editor's title already tells.
    QString first = errors.first();
    if (first.startsWith(name + ':'))
        first = QFileInfo(name).fileName() + first.mid(name.size());
    m_error->setText(errors.size() == 1 ? first : tr("%1 (and %n more)", nullptr, int(errors.size() - 1)).arg(first));
    m_error->show();
}

void PatternEditorPanel::controlChanged(const QString &function, const QList<double> &values)
{
    if (!values.isEmpty()) {
        m_controlValues.insert(function, values);
        if (m_lastGood)
            m_lastGood->setControlValues(m_controlValues);
        if (!m_controlsModified) {
            m_controlsModified = true;
            emit modifiedChanged(true);
        }
    }
    m_preview->setControl(function, values);
}

} // namespace lumora
