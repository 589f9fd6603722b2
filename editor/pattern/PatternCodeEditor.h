#pragma once

#include <QPlainTextEdit>

namespace lumora {

/// The text of a pattern: a plain text editor with line numbers in a margin and the places
/// of errors underlined.
class PatternCodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PatternCodeEditor(QWidget *parent = nullptr);

    /// A place in the text, 1-based as the compiler counts.
    struct Mark {
        int line;
        int column;
        QString message;
    };
    /// Underlines each place from its column to the end of the word there (at least one
    /// character); none clears them.
    void setErrorMarks(const QList<Mark> &marks);
    const QList<Mark> &errorMarks() const { return m_marks; }
    /// The underlined ranges as selections of the text, for tests and tooltips.
    QList<QTextEdit::ExtraSelection> errorSelections() const { return m_selections; }

    int lineNumberWidth() const;
    void paintLineNumbers(QPaintEvent *event);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void updateMargin();

    QWidget *m_numbers;
    QList<Mark> m_marks;
    QList<QTextEdit::ExtraSelection> m_selections;
};

} // namespace lumora
