#include "ExportDialog.h"
#include "DialogTitle.h"

#include "Application.h"
#include "MyPatterns.h"

#include "patterns/framework/PatternRegistry.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lumora {

ExportDialog::ExportDialog(const QString &documentPath, const ExportSettings &settings, qsizetype pictures,
                           qsizetype frames, const PatternRegistry &patterns, const QString &currentPattern,
                           bool animation, QWidget *parent)
    : QDialog(parent), m_documentPath(documentPath), m_pictures(pictures), m_frames(frames),
      m_folder(new QLineEdit), m_pattern(new QComboBox), m_picturesButton(new QRadioButton),
      m_framesButton(new QRadioButton), m_style(new QComboBox), m_rows(new QSpinBox), m_files(new QListWidget)
{
    setWindowTitle(tr("Export"));
    keepTitleReadable(this);
    m_folder->setObjectName("folder");
    m_pattern->setObjectName("pattern");
    m_picturesButton->setObjectName("pictures");
    m_framesButton->setObjectName("frames");
    m_style->setObjectName("headerStyle");
    m_rows->setObjectName("rows");
    m_files->setObjectName("files");

    m_folder->setText(QDir::toNativeSeparators(settings.folderFor(documentPath)));
    auto *choose = new QPushButton(tr("Choose…"));
    choose->setAutoDefault(false); // Enter exports
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(choose);

    m_pattern->addItem(tr("None (no pattern PPM)"), QString());
    for (const ColorPattern *pattern : patterns.patterns())
        m_pattern->addItem(QString::fromStdString(pattern->name()), QString::fromStdString(pattern->name()));
    // My Patterns after the built-in ones, by their files.
    if (Application *app = Application::instance(); app && app->myPatterns()) {
        const QStringList files = app->myPatterns()->library().files();
        if (!files.isEmpty())
            m_pattern->insertSeparator(m_pattern->count());
        for (const QString &file : files)
            m_pattern->addItem(QFileInfo(file).completeBaseName(), file);
    }
    m_pattern->setCurrentIndex(std::max(0, m_pattern->findData(currentPattern)));
    m_pattern->setMaxVisibleItems(20);

    m_picturesButton->setText(tr("Pictures (%n)", nullptr, int(pictures)));
    m_framesButton->setText(tr("Animation frames (%n)", nullptr, int(frames)));
    (animation ? m_framesButton : m_picturesButton)->setChecked(true);
    auto *what = new QButtonGroup(this);
    what->addButton(m_picturesButton);
    what->addButton(m_framesButton);
    auto *whatRow = new QHBoxLayout;
    whatRow->addWidget(m_picturesButton);
    whatRow->addWidget(m_framesButton);
    whatRow->addStretch();

    m_style->addItem(tr("Modern (compiles with today's AVR, ESP and ARM toolchains)"), int(HeaderStyle::Modern));
    m_style->addItem(tr("Classic (prog_uchar, for older sketches)"), int(HeaderStyle::Classic));
    m_style->setCurrentIndex(settings.headerStyle == HeaderStyle::Classic ? 1 : 0);

    m_rows->setRange(1, 1000000);
    m_rows->setValue(settings.patternFrames);
    m_rows->setToolTip(tr("Rows of the pattern PPM: one frame each, 0.2 s apart"));

    auto *form = new QFormLayout;
    form->addRow(tr("Folder:"), folderRow);
    form->addRow(tr("Pattern:"), m_pattern);
    form->addRow(tr("Headers for:"), whatRow);
    form->addRow(tr("Header style:"), m_style);
    form->addRow(tr("Pattern PPM rows:"), m_rows);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    QPushButton *exportButton = buttons->addButton(tr("Export"), QDialogButtonBox::AcceptRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Files to be written:")));
    layout->addWidget(m_files, 1);
    layout->addWidget(buttons);
    // Set once inside the dialog: Enter exports, and the folder is not there to be typed over.
    exportButton->setDefault(true);
    exportButton->setFocus();

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, &ExportDialog::chooseFolder);
    connect(m_folder, &QLineEdit::textChanged, this, &ExportDialog::updateFiles);
    connect(m_pattern, &QComboBox::currentIndexChanged, this, &ExportDialog::updateFiles);
    connect(m_picturesButton, &QRadioButton::toggled, this, &ExportDialog::updateFiles);
    updateFiles();
    resize(560, 480);
}

ExportSettings ExportDialog::settings() const
{
    ExportSettings s;
    s.folder = folder();
    s.headerStyle = HeaderStyle(m_style->currentData().toInt());
    s.patternFrames = m_rows->value();
    return s;
}

QString ExportDialog::folder() const
{
    const QString text = QDir::fromNativeSeparators(m_folder->text().trimmed());
    if (text.isEmpty())
        return QFileInfo(m_documentPath).absolutePath();
    // A relative folder is taken from the layout's.
    return QDir::cleanPath(QDir(QFileInfo(m_documentPath).absolutePath()).absoluteFilePath(text));
}

bool ExportDialog::isUserPatternFile(const QString &patternName)
{
    return patternName.endsWith(".js", Qt::CaseInsensitive) && QFileInfo(patternName).isAbsolute();
}

QString ExportDialog::patternName() const
{
    return m_pattern->currentData().toString();
}

bool ExportDialog::animation() const
{
    return m_framesButton->isChecked();
}

QStringList ExportDialog::fileLines() const
{
    QStringList lines;
    for (int i = 0; i < m_files->count(); ++i)
        lines.append(m_files->item(i)->text());
    return lines;
}

void ExportDialog::chooseFolder()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Export Into"), folder());
    if (!chosen.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(chosen));
}

void ExportDialog::updateFiles()
{
    m_files->clear();
    // A pattern of the user's names its PPM after its file.
    const QString pattern = isUserPatternFile(patternName()) ? QFileInfo(patternName()).completeBaseName() : patternName();
    const auto files = plannedExportFiles(folder(), pattern, animation() ? m_frames : m_pictures, animation());
    for (const PlannedFile &file : files)
        m_files->addItem(file.replaced ? tr("%1 (replaced)").arg(file.name) : file.name);
    if (files.isEmpty())
        m_files->addItem(tr("Nothing: no pattern is chosen and there are no %1.")
                             .arg(animation() ? tr("frames") : tr("pictures")));
    m_files->setEnabled(!files.isEmpty());
}

} // namespace lumora
