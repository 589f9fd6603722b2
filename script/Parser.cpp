#include "script/Parser.h"

#include "script/Lexer.h"

#include <stdexcept>

namespace lumora::script {

namespace {

struct SyntaxError {
    Diagnostic diagnostic;
};

class Parser
{
public:
    Parser(std::vector<Token> tokens, Script &script, std::vector<Diagnostic> &errors)
        : m_tokens(std::move(tokens)), m_script(script), m_errors(errors)
    {
    }

    void parseAll()
    {
        while (peek().kind != Tok::End) {
            size_t before = m_pos;
            try {
                if (auto s = statement(true))
                    m_script.statements.push_back(std::move(s));
            } catch (const SyntaxError &e) {
                m_errors.push_back(e.diagnostic);
                recover(before);
            }
        }
    }

private:
    const Token &peek(size_t ahead = 0) const
    {
        size_t i = std::min(m_pos + ahead, m_tokens.size() - 1);
        return m_tokens[i];
    }
    bool is(std::string_view punct, size_t ahead = 0) const
    {
        const Token &t = peek(ahead);
        return t.kind == Tok::Punct && t.text == punct;
    }
    bool isWord(std::string_view word) const
    {
        return peek().kind == Tok::Name && peek().text == word;
    }
    const Token &next() { return m_tokens[std::min(m_pos++, m_tokens.size() - 1)]; }
    bool accept(std::string_view punct)
    {
        if (is(punct)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    [[noreturn]] void fail(const Token &t, const std::string &message)
    {
        throw SyntaxError{{t.line, t.column, message}};
    }
    std::string describe(const Token &t)
    {
        if (t.kind == Tok::End)
            return "end of file";
        return "'" + t.text + "'";
    }
    void expect(std::string_view punct)
    {
        if (!accept(punct))
            fail(peek(), "expected '" + std::string(punct) + "' but found " + describe(peek()));
    }
    std::string expectName(const char *what)
    {
        const Token &t = peek();
        if (t.kind != Tok::Name || isReserved(t.text))
            fail(t, std::string("expected ") + what + " but found " + describe(t));
        ++m_pos;
        return t.text;
    }
    static bool isReserved(const std::string &w)
    {
        static const char *words[] = {"var", "function", "if", "else", "while", "for", "do", "break", "continue",
                                      "return", "export", "let", "const", "new", "switch", "case", "class"};
        for (const char *r : words)
            if (w == r)
                return true;
        return false;
    }
    // After an error, skip to the start of the next statement on a later line.
    void recover(size_t before)
    {
        if (m_pos == before)
            ++m_pos;
        int depth = 0;
        while (peek().kind != Tok::End) {
            if (is("{"))
                ++depth;
            if (is("}")) {
                if (depth == 0) {
                    ++m_pos;
                    return;
                }
                --depth;
            }
            if (depth == 0 && is(";")) {
                ++m_pos;
                return;
            }
            ++m_pos;
            if (depth == 0 && peek().newLine)
                return;
        }
    }
    NodePtr make(Kind kind, const Token &at)
    {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->line = at.line;
        n->column = at.column;
        return n;
    }
    void endStatement()
    {
        if (accept(";"))
            return;
        if (is("}") || peek().kind == Tok::End || peek().newLine)
            return;
        fail(peek(), "expected ';' or a new line but found " + describe(peek()));
    }

    NodePtr statement(bool topLevel)
    {
        Nesting nesting(*this);
        const Token &t = peek();
        if (t.kind == Tok::Punct) {
            if (t.text == ";") {
                ++m_pos;
                return make(Kind::Empty, t);
            }
            if (t.text == "{")
                return block();
        }
        if (t.kind == Tok::Name) {
            const std::string &w = t.text;
            if (w == "export") {
                ++m_pos;
                if (isWord("var")) {
                    auto v = varStatement();
                    v->flag = true;
                    return v;
                }
                if (isWord("function"))
                    return functionDeclaration(true);
                fail(peek(), "expected 'var' or 'function' after 'export'");
            }
            if (w == "var")
                return varStatement();
            if (w == "let" || w == "const") {
                // Read as `var`: many patterns written for browsers use them.
                return varStatement();
            }
            if (w == "function" && peek(1).kind == Tok::Name)
                return functionDeclaration(false);
            if (w == "if") {
                ++m_pos;
                auto n = make(Kind::If, t);
                expect("(");
                n->kids.push_back(expression());
                expect(")");
                n->kids.push_back(statement(false));
                if (isWord("else")) {
                    ++m_pos;
                    n->kids.push_back(statement(false));
                }
                return n;
            }
            if (w == "while") {
                ++m_pos;
                auto n = make(Kind::While, t);
                expect("(");
                n->kids.push_back(expression());
                expect(")");
                n->kids.push_back(statement(false));
                return n;
            }
            if (w == "do") {
                ++m_pos;
                auto n = make(Kind::DoWhile, t);
                n->kids.push_back(statement(false));
                if (!isWord("while"))
                    fail(peek(), "expected 'while' after the body of 'do'");
                ++m_pos;
                expect("(");
                n->kids.push_back(expression());
                expect(")");
                endStatement();
                return n;
            }
            if (w == "for") {
                ++m_pos;
                auto n = make(Kind::For, t);
                expect("(");
                if (is(";"))
                    n->kids.push_back(nullptr);
                else if (isWord("var") || isWord("let"))
                    n->kids.push_back(varDeclarations());
                else {
                    auto e = make(Kind::ExpressionStatement, peek());
                    e->kids.push_back(expression());
                    n->kids.push_back(std::move(e));
                }
                expect(";");
                n->kids.push_back(is(";") ? nullptr : expression());
                expect(";");
                n->kids.push_back(is(")") ? nullptr : expression());
                expect(")");
                n->kids.push_back(statement(false));
                return n;
            }
            if (w == "break" || w == "continue") {
                ++m_pos;
                auto n = make(w == "break" ? Kind::Break : Kind::Continue, t);
                endStatement();
                return n;
            }
            if (w == "return") {
                ++m_pos;
                auto n = make(Kind::Return, t);
                if (!is(";") && !is("}") && !peek().newLine && peek().kind != Tok::End)
                    n->kids.push_back(expression());
                endStatement();
                return n;
            }
            if (w == "switch" || w == "class" || w == "new")
                fail(t, "'" + w + "' is not supported");
        }
        (void)topLevel;
        auto n = make(Kind::ExpressionStatement, t);
        n->kids.push_back(expression());
        endStatement();
        return n;
    }

    NodePtr block()
    {
        auto n = make(Kind::Block, peek());
        expect("{");
        while (!is("}")) {
            if (peek().kind == Tok::End)
                fail(peek(), "expected '}' but found end of file");
            size_t before = m_pos;
            try {
                n->kids.push_back(statement(false));
            } catch (const SyntaxError &e) {
                m_errors.push_back(e.diagnostic);
                recover(before);
                if (m_pos > 0 && m_tokens[m_pos - 1].kind == Tok::Punct && m_tokens[m_pos - 1].text == "}")
                    return n; // the recovery consumed this block's end
            }
        }
        ++m_pos;
        return n;
    }

    NodePtr varDeclarations()
    {
        auto n = make(Kind::Var, peek());
        ++m_pos; // var / let / const
        do {
            const Token &at = peek();
            auto name = make(Kind::Name, at);
            name->text = expectName("a variable name");
            if (accept("="))
                name->kids.push_back(assignment());
            n->kids.push_back(std::move(name));
        } while (accept(","));
        return n;
    }

    NodePtr varStatement()
    {
        auto n = varDeclarations();
        endStatement();
        return n;
    }

    NodePtr functionDeclaration(bool exported)
    {
        const Token &at = peek();
        ++m_pos; // function
        auto n = make(Kind::FunctionDeclaration, at);
        n->text = expectName("a function name");
        n->fn = functionRest(at, n->text, exported);
        return n;
    }

    // `(a, b, …)`: the names and where each stands, for messages.
    void parameters(FunctionSyntax &f)
    {
        expect("(");
        if (!is(")")) {
            do {
                const Token &p = peek();
                f.params.push_back(expectName("a parameter name"));
                f.paramPositions.push_back({p.line, p.column});
            } while (accept(","));
        }
        expect(")");
    }

    // Parameters and body after `function name`.
    int functionRest(const Token &at, const std::string &name, bool exported)
    {
        FunctionSyntax f;
        f.name = name;
        f.exported = exported;
        f.line = at.line;
        f.column = at.column;
        parameters(f);
        f.body = block();
        m_script.functions.push_back(std::move(f));
        return int(m_script.functions.size()) - 1;
    }

    // Is the token at m_pos the start of an arrow function's parameter list?
    bool arrowAhead() const
    {
        if (peek().kind == Tok::Name && is("=>", 1))
            return true;
        if (!is("("))
            return false;
        size_t i = 1;
        int depth = 1;
        while (depth > 0) {
            const Token &t = peek(i);
            if (t.kind == Tok::End)
                return false;
            if (t.kind == Tok::Punct && t.text == "(")
                ++depth;
            if (t.kind == Tok::Punct && t.text == ")")
                --depth;
            ++i;
        }
        return is("=>", i);
    }

    NodePtr arrowFunction()
    {
        const Token &at = peek();
        FunctionSyntax f;
        f.line = at.line;
        f.column = at.column;
        if (peek().kind == Tok::Name) {
            f.params.push_back(next().text);
            f.paramPositions.push_back({at.line, at.column});
        } else {
            parameters(f);
        }
        expect("=>");
        if (is("{")) {
            f.body = block();
        } else {
            f.body = assignment();
            f.expressionBody = true;
        }
        m_script.functions.push_back(std::move(f));
        auto n = make(Kind::Function, at);
        n->fn = int(m_script.functions.size()) - 1;
        return n;
    }

    NodePtr expression()
    {
        auto e = assignment();
        int links = 0;
        // The comma operator: evaluate in order, keep the last.
        while (is(",")) {
            chainLink(links);
            const Token &at = next();
            auto n = make(Kind::Binary, at);
            n->text = ",";
            n->kids.push_back(std::move(e));
            n->kids.push_back(assignment());
            e = std::move(n);
        }
        return e;
    }

    // Nesting deeper than this is an error, not a stack overflow.
    static constexpr int maxNesting = 200;
    // Operator chains (a + b + c ..., a[1][2]..., f()()...) nest in the tree as well.
    static constexpr int maxChain = 1000;
    void chainLink(int &links)
    {
        if (++links > maxChain)
            fail(peek(), "expression too long (more than " + std::to_string(maxChain) + " operators in a row)");
    }
    struct Nesting {
        Parser &parser;
        explicit Nesting(Parser &p) : parser(p)
        {
            if (++parser.m_nesting > maxNesting)
                parser.fail(parser.peek(), "nested too deeply (more than " + std::to_string(maxNesting) + " levels)");
        }
        ~Nesting() { --parser.m_nesting; }
    };

    NodePtr assignment()
    {
        Nesting nesting(*this);
        if (arrowAhead())
            return arrowFunction();
        auto left = conditional();
        const Token &t = peek();
        if (t.kind == Tok::Punct && (t.text == "=" || t.text == "+=" || t.text == "-=" || t.text == "*=" || t.text == "/="
                                     || t.text == "%=" || t.text == "&=" || t.text == "|=" || t.text == "^="
                                     || t.text == "<<=" || t.text == ">>=" || t.text == ">>>=" || t.text == "**=")) {
            if (left->kind != Kind::Name && left->kind != Kind::Index)
                fail(t, "cannot assign to this expression");
            ++m_pos;
            auto n = make(Kind::Assign, t);
            n->text = t.text;
            n->kids.push_back(std::move(left));
            n->kids.push_back(assignment());
            return n;
        }
        return left;
    }

    NodePtr conditional()
    {
        auto test = binary(0);
        if (!is("?"))
            return test;
        const Token &at = next();
        auto n = make(Kind::Conditional, at);
        n->kids.push_back(std::move(test));
        n->kids.push_back(assignment());
        expect(":");
        n->kids.push_back(assignment());
        return n;
    }

    static int precedence(const Token &t)
    {
        if (t.kind != Tok::Punct)
            return -1;
        const std::string &o = t.text;
        if (o == "||")
            return 1;
        if (o == "&&")
            return 2;
        if (o == "|")
            return 3;
        if (o == "^")
            return 4;
        if (o == "&")
            return 5;
        if (o == "==" || o == "!=" || o == "===" || o == "!==")
            return 6;
        if (o == "<" || o == ">" || o == "<=" || o == ">=")
            return 7;
        if (o == "<<" || o == ">>" || o == ">>>")
            return 8;
        if (o == "+" || o == "-")
            return 9;
        if (o == "*" || o == "/" || o == "%")
            return 10;
        if (o == "**")
            return 11;
        return -1;
    }

    NodePtr binary(int minPrecedence)
    {
        auto left = unary();
        int links = 0;
        for (;;) {
            const Token &t = peek();
            int p = precedence(t);
            if (p < 0 || p < minPrecedence)
                return left;
            chainLink(links);
            ++m_pos;
            // ** groups to the right, the others to the left.
            auto right = t.text == "**" ? binary(p) : binary(p + 1);
            auto n = make(t.text == "&&" || t.text == "||" ? Kind::Logical : Kind::Binary, t);
            n->text = t.text == "===" ? "==" : t.text == "!==" ? "!=" : t.text;
            n->kids.push_back(std::move(left));
            n->kids.push_back(std::move(right));
            left = std::move(n);
        }
    }

    NodePtr unary()
    {
        Nesting nesting(*this);
        const Token &t = peek();
        if (t.kind == Tok::Punct && (t.text == "-" || t.text == "+" || t.text == "!" || t.text == "~")) {
            ++m_pos;
            auto operand = unary();
            if (t.text == "-" && operand->kind == Kind::Number) {
                operand->num = -operand->num;
                operand->line = t.line;
                operand->column = t.column;
                return operand;
            }
            auto n = make(Kind::Unary, t);
            n->text = t.text;
            n->kids.push_back(std::move(operand));
            return n;
        }
        if (t.kind == Tok::Punct && (t.text == "++" || t.text == "--")) {
            ++m_pos;
            auto target = unary();
            if (target->kind != Kind::Name && target->kind != Kind::Index)
                fail(t, "'" + t.text + "' needs a variable or an array element");
            auto n = make(Kind::Update, t);
            n->text = t.text;
            n->flag = true;
            n->kids.push_back(std::move(target));
            return n;
        }
        return postfix();
    }

    NodePtr postfix()
    {
        auto e = callOrMember();
        const Token &t = peek();
        if (t.kind == Tok::Punct && (t.text == "++" || t.text == "--") && !t.newLine) {
            if (e->kind != Kind::Name && e->kind != Kind::Index)
                fail(t, "'" + t.text + "' needs a variable or an array element");
            ++m_pos;
            auto n = make(Kind::Update, t);
            n->text = t.text;
            n->kids.push_back(std::move(e));
            return n;
        }
        return e;
    }

    NodePtr callOrMember()
    {
        auto e = primary();
        int links = 0;
        for (;;) {
            const Token &t = peek();
            if (is("(") || is("[") || is("."))
                chainLink(links);
            if (is("(")) {
                ++m_pos;
                auto n = make(Kind::Call, t);
                n->line = e->line;
                n->column = e->column;
                n->kids.push_back(std::move(e));
                if (!is(")")) {
                    do
                        n->kids.push_back(assignment());
                    while (accept(","));
                }
                expect(")");
                e = std::move(n);
            } else if (is("[")) {
                ++m_pos;
                auto n = make(Kind::Index, t);
                n->line = e->line; // errors point at the array
                n->column = e->column;
                n->kids.push_back(std::move(e));
                n->kids.push_back(expression());
                expect("]");
                e = std::move(n);
            } else if (is(".")) {
                ++m_pos;
                auto n = make(Kind::Member, t);
                const Token &name = peek();
                if (name.kind != Tok::Name)
                    fail(name, "expected a property name after '.'");
                ++m_pos;
                n->text = name.text;
                n->line = name.line;
                n->column = name.column;
                n->kids.push_back(std::move(e));
                e = std::move(n);
            } else {
                return e;
            }
        }
    }

    NodePtr primary()
    {
        const Token &t = peek();
        if (t.kind == Tok::Number) {
            ++m_pos;
            auto n = make(Kind::Number, t);
            n->num = t.number;
            return n;
        }
        if (t.kind == Tok::Name) {
            if (t.text == "function") {
                ++m_pos;
                std::string name;
                if (peek().kind == Tok::Name)
                    name = next().text;
                auto n = make(Kind::Function, t);
                n->fn = functionRest(t, name, false);
                return n;
            }
            if (t.text == "true" || t.text == "false") {
                ++m_pos;
                auto n = make(Kind::Number, t);
                n->num = t.text == "true" ? 1 : 0;
                return n;
            }
            if (isReserved(t.text))
                fail(t, "unexpected '" + t.text + "'");
            ++m_pos;
            auto n = make(Kind::Name, t);
            n->text = t.text;
            return n;
        }
        if (is("(")) {
            ++m_pos;
            auto e = expression();
            expect(")");
            return e;
        }
        if (is("[")) {
            ++m_pos;
            auto n = make(Kind::ArrayLiteral, t);
            while (!is("]")) {
                n->kids.push_back(assignment());
                if (!accept(","))
                    break;
            }
            expect("]");
            return n;
        }
        fail(t, "unexpected " + describe(t));
    }

    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
    Script &m_script;
    std::vector<Diagnostic> &m_errors;
};

} // namespace

Script parse(std::string_view source, std::vector<Diagnostic> &errors)
{
    Script script;
    Parser parser(tokenize(source, errors), script, errors);
    parser.parseAll();
    return script;
}

} // namespace lumora::script
