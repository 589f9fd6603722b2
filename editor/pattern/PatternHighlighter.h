#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace lumora {

/// Colours a pattern's text: keywords, numbers, strings, comments, and the names of the
/// language's built-in functions and of the entry points.
class PatternHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit PatternHighlighter(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;

private:
    struct Rule {
        QRegularExpression pattern;
        QTextCharFormat format;
    };
    QList<Rule> m_rules;
    QTextCharFormat m_comment;
};

} // namespace lumora
