#include "PatternCodeEditor.h"

#include "PatternHighlighter.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QPainter>
#include <QTextBlock>
#include <QToolTip>

namespace lumora {

namespace {
class LineNumberMargin : public QWidget {
public:
    explicit LineNumberMargin(PatternCodeEditor *editor)
        : QWidget(editor), m_editor(editor)
    {
    }
    QSize sizeHint() const override { return {m_editor->lineNumberWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_editor->paintLineNumbers(event); }

private:
    PatternCodeEditor *m_editor;
};
} // namespace

PatternCodeEditor::PatternCodeEditor(QWidget *parent)
    : QPlainTextEdit(parent), m_numbers(new LineNumberMargin(this))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(fontMetrics().horizontalAdvance(' ') * 2);
    new PatternHighlighter(document());
    connect(this, &QPlainTextEdit::blockCountChanged, this, &PatternCodeEditor::updateMargin);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
        if (dy)
            m_numbers->scroll(0, dy);
        else
            m_numbers->update(0, rect.y(), m_numbers->width(), rect.height());
    });
    updateMargin();
}

int PatternCodeEditor::lineNumberWidth() const
{
    int digits = 2;
    for (int n = std::max(1, blockCount()); n >= 100; n /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void PatternCodeEditor::updateMargin()
{
    setViewportMargins(lineNumberWidth(), 0, 0, 0);
}

void PatternCodeEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_numbers->setGeometry(QRect(area.left(), area.top(), lineNumberWidth(), area.height()));
}

void PatternCodeEditor::paintLineNumbers(QPaintEvent *event)
{
    QPainter painter(m_numbers);
    painter.fillRect(event->rect(), palette().window());
    QSet<int> errorLines;
    for (const Mark &mark : std::as_const(m_marks))
        errorLines.insert(mark.line);
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            painter.setPen(errorLines.contains(line) ? QColor(Qt::red) : palette().color(QPalette::PlaceholderText));
            painter.drawText(0, top, m_numbers->width() - 4, height, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(line));
        }
        top += height;
        block = block.next();
    }
}

void PatternCodeEditor::setErrorMarks(const QList<Mark> &marks)
{
    m_marks = marks;
    m_selections.clear();
    for (const Mark &mark : marks) {
        const QTextBlock block = document()->findBlockByNumber(mark.line - 1);
        if (!block.isValid())
            continue;
        const QString text = block.text();
        int start = std::clamp(mark.column - 1, 0, int(text.size()));
        int end = start;
        while (end < text.size() && (text[end].isLetterOrNumber() || text[end] == '_' || text[end] == '$'))
            ++end;
        // A mark on a symbol or past the end of the line still shows.
        if (end == start) {
            if (start == text.size() && start > 0)
                --start;
            end = std::min<int>(start + 1, std::max<int>(int(text.size()), start + 1));
        }
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(block);
        selection.cursor.setPosition(block.position() + start);
        selection.cursor.setPosition(std::min(block.position() + end, document()->characterCount() - 1),
                                     QTextCursor::KeepAnchor);
        selection.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        selection.format.setUnderlineColor(Qt::red);
        selection.format.setToolTip(mark.message);
        m_selections.append(selection);
    }
    setExtraSelections(m_selections);
    m_numbers->update();
}

bool PatternCodeEditor::event(QEvent *event)
{
    // The message of an underlined place when the pointer rests on it.
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int position = cursorForPosition(viewport()->mapFromGlobal(help->globalPos())).position();
        for (const QTextEdit::ExtraSelection &s : std::as_const(m_selections))
            if (position >= s.cursor.selectionStart() && position <= s.cursor.selectionEnd()) {
                QToolTip::showText(help->globalPos(), s.format.toolTip(), this);
                return true;
            }
        QToolTip::hideText();
        return true;
    }
    return QPlainTextEdit::event(event);
}

} // namespace lumora
