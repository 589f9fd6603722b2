#pragma once

#include "exports/ExportSettings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace lumora {

class PatternRegistry;

/// File ▸ Export…: where the export goes, which pattern it renders, pictures or frames, the
/// header style and the rows of the pattern PPM, with the list of files it is about to write
/// (those already there marked "replaced").
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    /// `pictures` and `frames` are the layout's counts; the choice of pattern is one of
    /// `patterns`, `currentPattern` preselected (none when empty); `animation` picks frames
    /// over pictures at first.
    ExportDialog(const QString &documentPath, const ExportSettings &settings, qsizetype pictures, qsizetype frames,
                 const PatternRegistry &patterns, const QString &currentPattern, bool animation,
                 QWidget *parent = nullptr);

    /// The choices to remember for this layout.
    ExportSettings settings() const;
    QString folder() const;
    /// Empty: no pattern PPM.
    /// A built-in pattern's name, or the absolute file of one of My Patterns.
    QString patternName() const;
    static bool isUserPatternFile(const QString &patternName);
    bool animation() const;

    /// The lines of the file list, as shown.
    QStringList fileLines() const;

private:
    void chooseFolder();
    void updateFiles();

    QString m_documentPath;
    qsizetype m_pictures;
    qsizetype m_frames;
    QLineEdit *m_folder;
    QComboBox *m_pattern;
    QRadioButton *m_picturesButton;
    QRadioButton *m_framesButton;
    QComboBox *m_style;
    QSpinBox *m_rows;
    QListWidget *m_files;
};

} // namespace lumora
