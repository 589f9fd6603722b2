#include "script/Lexer.h"

#include <cctype>
#include <cstdlib>

namespace lumora::script {

namespace {

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
bool isNameChar(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

// Longest first, so that ">>=" wins over ">>" and ">".
constexpr std::string_view punctuators[] = {
    ">>>=", ">>=", "<<=", "===", "!==", ">>>", "**=", "=>", "==", "!=", "<=", ">=", "&&", "||", "++", "--",
    "+=",   "-=",  "*=",  "/=",  "%=",  "&=",  "|=",  "^=", "<<", ">>", "**", "+",  "-",  "*",  "/",
    "%",    "=",   "<",   ">",   "!",   "~",   "&",   "|",  "^",  "?",  ":",  ",",  ";",  ".",  "(",
    ")",    "[",   "]",   "{",   "}",
};

} // namespace

std::vector<Token> tokenize(std::string_view s, std::vector<Diagnostic> &errors)
{
    std::vector<Token> out;
    size_t i = 0;
    int line = 1;
    size_t lineStart = 0;
    bool newLine = true;
    auto column = [&](size_t at) { return int(at - lineStart) + 1; };
    while (i < s.size()) {
        char c = s[i];
        if (c == '\n') {
            ++line;
            lineStart = ++i;
            newLine = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
            while (i < s.size() && s[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            size_t startLine = line, startCol = column(i);
            i += 2;
            while (i + 1 < s.size() && !(s[i] == '*' && s[i + 1] == '/')) {
                if (s[i] == '\n') {
                    ++line;
                    lineStart = i + 1;
                    newLine = true;
                }
                ++i;
            }
            if (i + 1 >= s.size()) {
                errors.push_back({int(startLine), int(startCol), "unterminated comment"});
                i = s.size();
            } else {
                i += 2;
            }
            continue;
        }
        Token t;
        t.line = line;
        t.column = column(i);
        t.newLine = newLine;
        newLine = false;
        if (isNameStart(c)) {
            size_t b = i;
            while (i < s.size() && isNameChar(s[i]))
                ++i;
            t.kind = Tok::Name;
            t.text = std::string(s.substr(b, i - b));
        } else if (std::isdigit(static_cast<unsigned char>(c))
                   || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            size_t b = i;
            t.kind = Tok::Number;
            if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X' || s[i + 1] == 'b' || s[i + 1] == 'B')) {
                int base = (s[i + 1] == 'x' || s[i + 1] == 'X') ? 16 : 2;
                i += 2;
                size_t digits = i;
                while (i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])))
                    ++i;
                std::string text(s.substr(digits, i - digits));
                char *end = nullptr;
                t.number = double(std::strtoull(text.c_str(), &end, base));
                if (text.empty() || *end)
                    errors.push_back({t.line, t.column, "malformed number"});
            } else {
                while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'))
                    ++i;
                if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
                    size_t e = i + 1;
                    if (e < s.size() && (s[e] == '+' || s[e] == '-'))
                        ++e;
                    if (e < s.size() && std::isdigit(static_cast<unsigned char>(s[e]))) {
                        i = e;
                        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                            ++i;
                    }
                }
                std::string text(s.substr(b, i - b));
                char *end = nullptr;
                t.number = std::strtod(text.c_str(), &end);
                if (*end)
                    errors.push_back({t.line, t.column, "malformed number '" + text + "'"});
            }
            t.text = std::string(s.substr(b, i - b));
            if (i < s.size() && isNameStart(s[i]))
                errors.push_back({t.line, t.column, "malformed number"});
        } else {
            bool found = false;
            for (std::string_view p : punctuators) {
                if (s.substr(i, p.size()) == p) {
                    t.kind = Tok::Punct;
                    t.text = std::string(p);
                    i += p.size();
                    found = true;
                    break;
                }
            }
            if (!found) {
                if (c == '"' || c == '\'' || c == '`')
                    errors.push_back({t.line, t.column, "strings are not supported"});
                else
                    errors.push_back({t.line, t.column, std::string("unexpected character '") + c + "'"});
                // Skip a whole string so that its content does not add errors.
                if (c == '"' || c == '\'' || c == '`') {
                    ++i;
                    while (i < s.size() && s[i] != c && s[i] != '\n')
                        ++i;
                }
                ++i;
                continue;
            }
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.line = line;
    end.column = column(i);
    end.newLine = true;
    out.push_back(end);
    return out;
}

} // namespace lumora::script
