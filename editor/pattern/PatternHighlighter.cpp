#include "PatternHighlighter.h"

namespace lumora {

namespace {
QTextCharFormat colored(const QColor &color, bool bold = false)
{
    QTextCharFormat f;
    f.setForeground(color);
    if (bold)
        f.setFontWeight(QFont::Bold);
    return f;
}
} // namespace

PatternHighlighter::PatternHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document), m_comment(colored(QColor(0x6a, 0x8a, 0x5a)))
{
    const QString keywords = "var|let|const|function|return|if|else|while|for|do|break|continue|export|true|false";
    m_rules.append({QRegularExpression(QString("\\b(%1)\\b").arg(keywords)), colored(QColor(0x3a, 0x5f, 0xcd), true)});
    const QString builtins =
        "time|wave|triangle|square|mix|smoothstep|bezierQuadratic|bezierCubic|hsv|hsv24|rgb|setPalette|paint|"
        "perlin|perlinFbm|perlinRidge|perlinTurbulence|setPerlinWrap|random|prng|prngSeed|abs|floor|ceil|round|"
        "frac|min|max|clamp|sqrt|pow|exp|log|log2|sin|cos|tan|asin|acos|atan|atan2|hypot|hypot3|trunc|mod|"
        "array|translate|scale|rotate|rotateX|rotateY|rotateZ|translate3D|scale3D|transform|resetTransform|"
        "pixelMapDimensions|has2DMap|has3DMap|mapPixels|pixelCount|PI|PI2|PI3_4|PI_2|PI_4|E|LN2|LN10|SQRT2";
    m_rules.append({QRegularExpression(QString("\\b(%1)\\b").arg(builtins)), colored(QColor(0x8a, 0x3a, 0xb0))});
    m_rules.append({QRegularExpression("\\b(beforeRender|render|render2D|render3D|(slider|hsvPicker|rgbPicker|"
                                       "toggle|trigger|inputNumber|showNumber|gauge)\\w*)\\b"),
                    colored(QColor(0xb0, 0x5a, 0x00), true)});
    m_rules.append({QRegularExpression("\\b(0x[0-9a-fA-F]+|0b[01]+|\\d+\\.?\\d*([eE][-+]?\\d+)?|\\.\\d+)\\b"),
                    colored(QColor(0x0a, 0x80, 0x80))});
    m_rules.append({QRegularExpression("\"[^\"]*\"|'[^']*'"), colored(QColor(0xa0, 0x30, 0x30))});
}

void PatternHighlighter::highlightBlock(const QString &text)
{
    for (const Rule &rule : std::as_const(m_rules))
        for (auto it = rule.pattern.globalMatch(text); it.hasNext();) {
            const auto match = it.next();
            setFormat(int(match.capturedStart()), int(match.capturedLength()), rule.format);
        }

    // Comments last, over whatever they contain; a block comment may span lines.
    int start = previousBlockState() == 1 ? 0 : -1;
    int from = 0;
    while (true) {
        if (start < 0) {
            const int line = int(text.indexOf("//", from));
            const int block = int(text.indexOf("/*", from));
            if (line >= 0 && (block < 0 || line < block)) {
                setFormat(line, int(text.size()) - line, m_comment);
                setCurrentBlockState(0);
                return;
            }
            if (block < 0) {
                setCurrentBlockState(0);
                return;
            }
            start = block;
            from = block + 2;
        }
        const int end = int(text.indexOf("*/", std::max(from, start)));
        if (end < 0) {
            setFormat(start, int(text.size()) - start, m_comment);
            setCurrentBlockState(1);
            return;
        }
        setFormat(start, end + 2 - start, m_comment);
        from = end + 2;
        start = -1;
    }
}

} // namespace lumora
