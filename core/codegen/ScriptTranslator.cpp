#include "ScriptTranslator.h"

#include "maps/PixelblazeMap.h"
#include "script/Builtins.h"
#include "script/Instance.h"
#include "script/Parser.h"
#include "script/Program.h"

#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace lumora {

using script::Kind;
using script::Node;

namespace {

struct Refusal {
    int line, column;
    std::string message;
};

// A translated expression and whether running it changes anything (an assignment, a call
// of something other than pure maths); operands with effects are evaluated into
// temporaries so that they run in the editor's order.
struct Code {
    std::string text;
    bool effects = false;
};

std::string number(double v)
{
    if (std::isnan(v))
        return "__builtin_nanf(\"\")";
    if (std::isinf(v))
        return v > 0 ? "__builtin_inff()" : "(-__builtin_inff())";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return (v < 0 ? "(" + s + "f)" : s + "f");
}

std::string identifier(const std::string &name)
{
    std::string out;
    for (char c : name)
        out += c == '$' ? std::string("_S_") : std::string(1, c);
    return out;
}

// The runtime piece and C++ name of each built-in that maps onto one function.
struct Simple {
    const char *name, *piece, *function;
};
const Simple simpleBuiltins[] = {
    {"abs", "base", "fabsf"},       {"acos", "base", "acosf"},     {"asin", "base", "asinf"},
    {"atan", "base", "atanf"},      {"atan2", "base", "atan2f"},   {"ceil", "base", "ceilf"},
    {"clamp", "base", "lm_clamp"},  {"cos", "base", "cosf"},       {"exp", "base", "expf"},
    {"floor", "base", "floorf"},    {"frac", "frac", "lm_frac"},   {"hypot", "hypot", "lm_hypot"},
    {"hypot3", "hypot3", "lm_hypot3"}, {"log", "base", "logf"},    {"log2", "log2", "lm_log2"},
    {"max", "base", "lm_max"},      {"min", "base", "lm_min"},     {"mod", "mod", "lm_mod"},
    {"pow", "base", "powf"},        {"round", "round", "lm_round"}, {"sin", "base", "sinf"},
    {"sqrt", "base", "sqrtf"},      {"tan", "base", "tanf"},       {"trunc", "base", "truncf"},
    {"wave", "wave", "lm_wave"},    {"square", "square", "lm_square"}, {"triangle", "triangle", "lm_triangle"},
    {"mix", "mix", "lm_mix"},       {"smoothstep", "smoothstep", "lm_smoothstep"},
    {"bezierQuadratic", "bezier", "lm_bezierQuadratic"}, {"bezierCubic", "bezier", "lm_bezierCubic"},
    {"time", "time", "lm_time"},    {"random", "random", "lm_random"}, {"prng", "prng", "lm_prng"},
    {"prngSeed", "prng", "lm_prngSeed"}, {"hsv", "hsv", "lm_hsv"}, {"hsv24", "hsv", "lm_hsv"},
    {"rgb", "colour", "lm_rgb"},    {"setPalette", "palette", "lm_setPalette"},
    {"arraySort", "arrays", "lm_arraySort"}, {"arraySum", "arrays", "lm_arraySum"},
    {"resetTransform", "transform", "lm_resetTransform"}, {"rotate", "transform", "lm_rotateZ"},
    {"rotateX", "transform", "lm_rotateX"}, {"rotateY", "transform", "lm_rotateY"},
    {"rotateZ", "transform", "lm_rotateZ"}, {"perlinFbm", "noise", "lm_perlinFbm"},
    {"perlinRidge", "noise", "lm_perlinRidge"}, {"perlinTurbulence", "noise", "lm_perlinTurbulence"},
    {"setPerlinWrap", "noise", "lm_setPerlinWrap"},
};
const char *pureBuiltins[] = {"abs", "acos", "asin", "atan", "atan2", "ceil", "clamp", "cos", "exp", "floor",
                              "frac", "hypot", "hypot3", "log", "log2", "max", "min", "mod", "pow", "round",
                              "sin", "sqrt", "tan", "trunc", "wave", "square", "triangle", "mix", "smoothstep",
                              "bezierQuadratic", "bezierCubic", "time"};

bool isPure(const std::string &name)
{
    for (const char *p : pureBuiltins)
        if (name == p)
            return true;
    return false;
}

const char *sensorArrays[][2] = {{"frequencyData", "32"}, {"accelerometer", "3"}, {"analogInputs", "5"}};

class Translator
{
public:
    Translator(script::Script &script) : m_script(script) {}

    void run()
    {
        survey();
        findRunTimeFunctions();
        std::string setup;
        m_scope = nullptr;
        for (auto &s : m_script.statements)
            setup += statement(*s, 1);
        for (size_t i = 0; i < m_script.functions.size(); ++i)
            function(int(i));
        m_setup = setup;
    }

    std::string text(int renderEntry, int renderParams, bool coordinates) const
    {
        std::string out;
        for (const std::string &g : m_globalsUsed) {
            double initial = 0;
            for (auto &[name, value] : script::builtinConstants())
                if (name == g)
                    initial = value;
            out += "static float LM_UNUSED g_" + identifier(g) + " = " + number(initial) + ";\n";
        }
        for (const std::string &d : m_declarations)
            out += d;
        out += m_functions;
        out += "static void lm_patternSetup()\n{\n";
        if (m_globalsUsed.count("pixelCount"))
            out += "    g_pixelCount = LM_NUM_LEDS;\n";
        for (auto &sensor : sensorArrays)
            if (m_globalsUsed.count(sensor[0]))
                out += std::string("    g_") + sensor[0] + " = lm_newArray(" + sensor[1] + ");\n";
        out += m_setup + "}\n\n";
        out += "static void lm_patternBeforeRender(float LM_UNUSED deltaMs)\n{\n";
        if (int before = function("beforeRender"); before >= 0)
            out += "    (void)" + call(before, {"deltaMs"}) + ";\n";
        out += "}\n\n";
        out += "static void lm_patternPixel(uint16_t LM_UNUSED i, float LM_UNUSED x, float LM_UNUSED y, float *rgb)\n{\n";
        if (renderEntry >= 0) {
            out += "    lm_r = lm_g = lm_b = 0;\n";
            std::vector<std::string> args = {"(float)i"};
            if (coordinates) {
                if (m_runtime.count("transform")) {
                    out += "    float tx = x, ty = y, LM_UNUSED tz = 0;\n"
                           "    if (lm_transformed) {\n"
                           "        tx = lm_matrix[0] * x + lm_matrix[1] * y + lm_matrix[3];\n"
                           "        ty = lm_matrix[4] * x + lm_matrix[5] * y + lm_matrix[7];\n";
                    if (renderParams > 3)
                        out += "        tz = lm_matrix[8] * x + lm_matrix[9] * y + lm_matrix[11];\n";
                    out += "    }\n";
                    args.insert(args.end(), {"tx", "ty", "tz"});
                } else {
                    args.insert(args.end(), {"x", "y", "0"});
                }
            }
            out += "    (void)" + call(renderEntry, args) + ";\n";
            out += "    rgb[0] = lm_r > 0 ? (lm_r < 1 ? lm_r : 1) : 0;\n"
                   "    rgb[1] = lm_g > 0 ? (lm_g < 1 ? lm_g : 1) : 0;\n"
                   "    rgb[2] = lm_b > 0 ? (lm_b < 1 ? lm_b : 1) : 0;\n";
        } else {
            out += "    rgb[0] = rgb[1] = rgb[2] = 0;\n";
        }
        out += "}\n";
        return out;
    }

    std::set<std::string> runtime() const { return m_runtime; }
    const std::vector<Refusal> &refusals() const { return m_refusals; }
    int function(const char *name) const
    {
        auto it = m_topFunctions.find(name);
        return it == m_topFunctions.end() ? -1 : it->second;
    }

private:
    struct Scope {
        std::set<std::string> locals;
        std::vector<std::string> order;
    };

    void refuse(const Node &at, std::string message) { m_refusals.push_back({at.line, at.column, std::move(message)}); }

    // The same survey the compiler makes: which names are globals, which functions are
    // declared at the top and never assigned (those are called directly).
    void surveyNode(const Node *n, bool topLevel)
    {
        if (!n)
            return;
        switch (n->kind) {
        case Kind::Assign:
        case Kind::Update:
            if (n->kids[0]->kind == Kind::Name) {
                m_globals.insert(n->kids[0]->text);
                ++m_assignments[n->kids[0]->text];
            }
            break;
        case Kind::Var:
            for (auto &k : n->kids) {
                if (topLevel)
                    m_globals.insert(k->text);
                ++m_assignments[k->text];
            }
            break;
        case Kind::FunctionDeclaration:
            if (topLevel) {
                m_globals.insert(n->text);
                if (m_topFunctions.count(n->text))
                    ++m_assignments[n->text];
                m_topFunctions[n->text] = n->fn;
            } else {
                ++m_assignments[n->text];
            }
            break;
        default:
            break;
        }
        for (auto &k : n->kids)
            surveyNode(k.get(), topLevel);
    }
    void survey()
    {
        for (auto &s : m_script.statements)
            surveyNode(s.get(), true);
        for (auto &f : m_script.functions)
            surveyNode(f.body.get(), false);
        for (auto &[name, value] : script::builtinConstants())
            m_globals.insert(std::string(name));
        m_globals.insert("pixelCount");
    }

    // Direct calls and callbacks from function `f`, by function index.
    void calls(const Node *n, std::set<int> &out)
    {
        if (!n)
            return;
        if (n->kind == Kind::Name) {
            auto it = m_topFunctions.find(n->text);
            if (it != m_topFunctions.end())
                out.insert(it->second);
        }
        if (n->kind == Kind::Function)
            out.insert(n->fn);
        for (auto &k : n->kids)
            calls(k.get(), out);
    }
    // The functions that run once a frame or per LED: arrays cannot be made there.
    void findRunTimeFunctions()
    {
        std::vector<int> todo;
        for (const char *entry : {"beforeRender", "render", "render2D", "render3D"}) {
            auto it = m_topFunctions.find(entry);
            if (it != m_topFunctions.end())
                todo.push_back(it->second);
        }
        while (!todo.empty()) {
            int f = todo.back();
            todo.pop_back();
            if (!m_runTime.insert(f).second)
                continue;
            std::set<int> callees;
            calls(m_script.functions[size_t(f)].body.get(), callees);
            todo.insert(todo.end(), callees.begin(), callees.end());
        }
    }

    std::string functionName(int index) const
    {
        const std::string &name = m_script.functions[size_t(index)].name;
        return "lm_f" + std::to_string(index) + (name.empty() ? "" : "_" + identifier(name));
    }

    // A call of function `index`: arguments beyond its parameters are dropped (the caller
    // evaluates them), missing ones are 0.
    std::string call(int index, std::vector<std::string> args) const
    {
        size_t params = m_script.functions[size_t(index)].params.size();
        args.resize(params, "0");
        std::string out = functionName(index) + "(";
        for (size_t i = 0; i < args.size(); ++i)
            out += (i ? ", " : "") + args[i];
        return out + ")";
    }

    void function(int index)
    {
        script::FunctionSyntax &f = m_script.functions[size_t(index)];
        Scope scope;
        for (const std::string &p : f.params) {
            scope.locals.insert(p);
        }
        Scope *saved = m_scope;
        int savedFunction = m_function;
        m_scope = &scope;
        m_function = index;
        std::string body;
        if (f.expressionBody)
            body = "    return " + expression(*f.body).text + ";\n";
        else
            body = statement(*f.body, 1) + "    return 0;\n";
        m_scope = saved;
        m_function = savedFunction;
        std::string head = "static float LM_UNUSED " + functionName(index) + "(";
        for (size_t i = 0; i < f.params.size(); ++i)
            head += std::string(i ? ", " : "") + "float l_" + identifier(f.params[i]);
        std::string declaration = head + (f.params.empty() ? "void" : "") + ");\n";
        m_declarations.push_back(declaration);
        std::string locals;
        for (const std::string &l : scope.order)
            locals += "    float LM_UNUSED l_" + identifier(l) + " = 0;\n";
        m_functions += head + ")\n{\n" + locals + body + "}\n\n";
    }

    static std::string indent(int depth) { return std::string(size_t(depth) * 4, ' '); }

    bool isLocal(const std::string &name) const { return m_scope && m_scope->locals.count(name); }
    std::string global(const std::string &name)
    {
        m_globalsUsed.insert(name);
        return "g_" + identifier(name);
    }
    std::string variable(const Node &n)
    {
        if (isLocal(n.text))
            return "l_" + identifier(n.text);
        return global(n.text);
    }

    std::string statement(const Node &n, int depth)
    {
        const std::string in = indent(depth);
        switch (n.kind) {
        case Kind::ExpressionStatement:
            return in + "(void)(" + expression(*n.kids[0]).text + ");\n";
        case Kind::Var:
            return declaration(n, in);
        case Kind::If:
            return ifStatement(n, depth);
        case Kind::While:
            return in + "while (lm_truthy(" + expression(*n.kids[0]).text + ")) {\n" + statement(*n.kids[1], depth + 1)
                + in + "}\n";
        case Kind::DoWhile: {
            std::string body = statement(*n.kids[0], depth + 1);
            return in + "do {\n" + body + in + "} while (lm_truthy(" + expression(*n.kids[1]).text + "));\n";
        }
        case Kind::For:
            return forLoop(n, depth);
        case Kind::Break:
            return in + "break;\n";
        case Kind::Continue:
            return in + "continue;\n";
        case Kind::Return:
            return in + "return " + (n.kids.empty() ? std::string("0") : expression(*n.kids[0]).text) + ";\n";
        case Kind::Block: {
            std::string out = in + "{\n";
            for (auto &k : n.kids)
                out += statement(*k, depth + 1);
            return out + in + "}\n";
        }
        case Kind::FunctionDeclaration:
            if (m_scope)
                refuse(n, "a function declared inside another is a value called at run time, which a sketch cannot do");
            return "";
        case Kind::Empty:
            return "";
        default:
            return in + "(void)(" + expression(n).text + ");\n";
        }
    }

    std::string declaration(const Node &n, const std::string &in)
    {
        std::string out;
        for (auto &d : n.kids) {
            std::string target;
            if (m_scope) {
                if (m_scope->locals.insert(d->text).second)
                    m_scope->order.push_back(d->text);
                target = "l_" + identifier(d->text);
            } else {
                target = global(d->text);
            }
            if (!d->kids.empty())
                out += in + target + " = " + expression(*d->kids[0]).text + ";\n";
        }
        return out;
    }

    std::string ifStatement(const Node &n, int depth)
    {
        const std::string in = indent(depth);
        std::string out = in + "if (lm_truthy(" + expression(*n.kids[0]).text + ")) {\n"
            + statement(*n.kids[1], depth + 1) + in + "}";
        if (n.kids.size() > 2)
            out += " else {\n" + statement(*n.kids[2], depth + 1) + in + "}";
        return out + "\n";
    }

    std::string forLoop(const Node &n, int depth)
    {
        const std::string in = indent(depth);
        std::string out = in + "{\n";
        if (n.kids[0])
            out += statement(*n.kids[0], depth + 1);
        std::string test = n.kids[1] ? "lm_truthy(" + expression(*n.kids[1]).text + ")" : "";
        std::string step = n.kids[2] ? "(void)(" + expression(*n.kids[2]).text + ")" : "";
        out += in + "    for (; " + test + "; " + step + ") {\n" + statement(*n.kids[3], depth + 2) + in + "    }\n";
        return out + in + "}\n";
    }

    std::string temporary() { return "t" + std::to_string(++m_temporaries); }

    // Evaluates `parts` left to right into temporaries when more than one has effects;
    // `make` builds the result from the operands' texts.
    template<class F>
    Code ordered(std::vector<Code> parts, F &&make, bool effects)
    {
        int withEffects = 0;
        for (const Code &c : parts)
            withEffects += c.effects;
        for (const Code &c : parts)
            effects = effects || c.effects;
        std::vector<std::string> texts;
        if (withEffects < 1 || (withEffects == 1 && parts.size() == 1)) {
            for (const Code &c : parts)
                texts.push_back(c.text);
            return {make(texts), effects};
        }
        std::string out = "({ ";
        for (const Code &c : parts) {
            std::string t = temporary();
            out += "float " + t + " = " + c.text + "; ";
            texts.push_back(t);
        }
        return {out + make(texts) + "; })", effects};
    }

    static std::string binaryText(const std::string &op, const std::string &a, const std::string &b)
    {
        if (op == "+" || op == "-" || op == "*" || op == "/")
            return "(" + a + " " + op + " " + b + ")";
        if (op == "%")
            return "fmodf(" + a + ", " + b + ")";
        if (op == "**")
            return "powf(" + a + ", " + b + ")";
        if (op == "<" || op == ">" || op == "<=" || op == ">=")
            return "(" + a + " " + op + " " + b + " ? 1.0f : 0.0f)";
        if (op == "==")
            return "lm_eq(" + a + ", " + b + ")";
        if (op == "!=")
            return "(1.0f - lm_eq(" + a + ", " + b + "))";
        static const std::map<std::string, std::string> bits = {{"&", "lm_band"}, {"|", "lm_bor"}, {"^", "lm_bxor"},
                                                                {"<<", "lm_shl"}, {">>", "lm_shr"}, {">>>", "lm_ushr"}};
        auto it = bits.find(op);
        if (it != bits.end())
            return it->second + "(" + a + ", " + b + ")";
        return b; // "="
    }
    void usesOperator(const std::string &op)
    {
        if (op == "==" || op == "!=")
            m_runtime.insert("eq");
        else if (op == "&" || op == "|" || op == "^" || op == "<<" || op == ">>" || op == ">>>")
            m_runtime.insert("fixed");
    }

    Code expression(const Node &n)
    {
        switch (n.kind) {
        case Kind::Number:
            return {number(n.num)};
        case Kind::Name:
            return nameValue(n);
        case Kind::Function:
            refuse(n, "a function used as a value cannot be translated; a sketch can only call functions by name");
            return {"0"};
        case Kind::Unary:
            return unary(n);
        case Kind::Binary:
            return binary(n);
        case Kind::Logical:
            return logical(n);
        case Kind::Conditional: {
            Code c = expression(*n.kids[0]);
            Code a = expression(*n.kids[1]);
            Code b = expression(*n.kids[2]);
            return {"(lm_truthy(" + c.text + ") ? " + a.text + " : " + b.text + ")", c.effects || a.effects || b.effects};
        }
        case Kind::Assign:
            return assignment(n);
        case Kind::Update:
            return update(n);
        case Kind::Call:
            return callExpression(n);
        case Kind::Index: {
            m_runtime.insert("arrays");
            Code a = expression(*n.kids[0]);
            Code i = expression(*n.kids[1]);
            return ordered({a, i}, [](const std::vector<std::string> &t) { return "lm_at(" + t[0] + ", " + t[1] + ")"; },
                           false);
        }
        case Kind::Member: {
            m_runtime.insert("arrays");
            Code a = expression(*n.kids[0]);
            return {"(float)lm_length(" + a.text + ")", a.effects};
        }
        case Kind::ArrayLiteral:
            return arrayLiteral(n);
        default:
            refuse(n, "cannot translate this expression");
            return {"0"};
        }
    }

    Code nameValue(const Node &n)
    {
        if (!isLocal(n.text) && m_topFunctions.count(n.text)) {
            refuse(n, "'" + n.text + "' is used as a value; a sketch can only call functions by name");
            return {"0"};
        }
        return {variable(n)};
    }

    Code unary(const Node &n)
    {
        Code a = expression(*n.kids[0]);
        if (n.text == "+")
            return a;
        if (n.text == "-")
            return {"(-" + a.text + ")", a.effects};
        if (n.text == "!")
            return {"(lm_truthy(" + a.text + ") ? 0.0f : 1.0f)", a.effects};
        m_runtime.insert("fixed");
        return {"lm_bnot(" + a.text + ")", a.effects};
    }

    Code binary(const Node &n)
    {
        Code a = expression(*n.kids[0]);
        Code b = expression(*n.kids[1]);
        if (n.text == ",")
            return {"((void)(" + a.text + "), " + b.text + ")", a.effects || b.effects};
        usesOperator(n.text);
        std::string op = n.text;
        return ordered({a, b}, [&](const std::vector<std::string> &t) { return binaryText(op, t[0], t[1]); }, false);
    }

    Code logical(const Node &n)
    {
        Code a = expression(*n.kids[0]);
        Code b = expression(*n.kids[1]);
        std::string t = temporary();
        // Both keep the operand's value, as the language's do.
        std::string pick = n.text == "&&" ? "lm_truthy(" + t + ") ? (" + b.text + ") : " + t
                                          : "lm_truthy(" + t + ") ? " + t + " : (" + b.text + ")";
        return {"({ float " + t + " = " + a.text + "; " + pick + "; })", a.effects || b.effects};
    }

    Code arrayLiteral(const Node &n)
    {
        m_runtime.insert("arrays");
        checkAllocation(n);
        std::string t = temporary();
        std::string out = "({ float " + t + " = lm_newArray(" + std::to_string(n.kids.size()) + "); ";
        for (size_t i = 0; i < n.kids.size(); ++i) {
            std::string v = temporary();
            out += "float " + v + " = " + expression(*n.kids[i]).text + "; lm_data(" + t + ")[" + std::to_string(i)
                + "] = " + v + "; ";
        }
        return {out + t + "; })", true};
    }

    void checkAllocation(const Node &n)
    {
        if (m_function >= 0 && m_runTime.count(m_function))
            refuse(n, "an array made while the pattern runs (from beforeRender or render) cannot be translated; "
                      "make it in the top-level code");
    }

    Code assignment(const Node &n)
    {
        const Node &target = *n.kids[0];
        std::string op = n.text == "=" ? "=" : n.text.substr(0, n.text.size() - 1);
        usesOperator(op);
        Code value = expression(*n.kids[1]);
        if (target.kind == Kind::Name) {
            if (!isLocal(target.text) && m_topFunctions.count(target.text))
                refuse(target, "'" + target.text + "' is a function; assigning it makes calls of it dynamic");
            std::string v = variable(target);
            return {"(" + v + " = " + binaryText(op, v, value.text) + ")", true};
        }
        m_runtime.insert("arrays");
        Code a = expression(*target.kids[0]);
        Code i = expression(*target.kids[1]);
        std::string ta = temporary(), ti = temporary(), tv = temporary(), te = temporary();
        return {"({ float " + ta + " = " + a.text + "; float " + ti + " = " + i.text + "; float " + tv + " = " + value.text
                    + "; float &" + te + " = lm_at(" + ta + ", " + ti + "); " + te + " = " + binaryText(op, te, tv) + "; })",
                true};
    }

    Code update(const Node &n)
    {
        const Node &target = *n.kids[0];
        std::string delta = n.text == "++" ? "1" : "-1";
        std::string old = temporary();
        if (target.kind == Kind::Name) {
            std::string v = variable(target);
            return {"({ float " + old + " = " + v + "; " + v + " = " + old + " + " + delta + "; " + old
                        + (n.flag ? " + " + delta : "") + "; })",
                    true};
        }
        m_runtime.insert("arrays");
        Code a = expression(*target.kids[0]);
        Code i = expression(*target.kids[1]);
        std::string ta = temporary(), ti = temporary(), te = temporary();
        return {"({ float " + ta + " = " + a.text + "; float " + ti + " = " + i.text + "; float &" + te + " = lm_at(" + ta
                    + ", " + ti + "); float " + old + " = " + te + "; " + te + " = " + old + " + " + delta + "; " + old
                    + (n.flag ? " + " + delta : "") + "; })",
                true};
    }

    // The function a callback argument names: a function written in place or a top-level
    // function nobody reassigns.
    int callback(const Node &n)
    {
        if (n.kind == Kind::Function)
            return n.fn;
        if (n.kind == Kind::Name && !isLocal(n.text)) {
            auto it = m_topFunctions.find(n.text);
            if (it != m_topFunctions.end() && m_assignments[n.text] == 0)
                return it->second;
        }
        refuse(n, "a callback must be a function written here or declared by name; a function held in a value cannot be "
                  "translated");
        return -1;
    }

    Code callExpression(const Node &n)
    {
        const Node &callee = *n.kids[0];
        std::vector<const Node *> args;
        std::string name;
        if (callee.kind == Kind::Member) {
            std::string_view builtin = script::methodBuiltin(callee.text);
            name = std::string(builtin);
            args.push_back(callee.kids[0].get());
        } else if (callee.kind == Kind::Name && !isLocal(callee.text)) {
            auto fn = m_topFunctions.find(callee.text);
            if (fn != m_topFunctions.end() && m_assignments[callee.text] == 0) {
                std::vector<Code> codes;
                for (size_t i = 1; i < n.kids.size(); ++i)
                    codes.push_back(expression(*n.kids[i]));
                int index = fn->second;
                size_t params = m_script.functions[size_t(index)].params.size();
                return ordered(codes, [&](const std::vector<std::string> &t) {
                    std::vector<std::string> given(t.begin(), t.begin() + long(std::min(params, t.size())));
                    return call(index, given);
                }, true);
            }
            if (!m_globals.count(callee.text))
                name = callee.text;
        }
        if (name.empty()) {
            refuse(n, "calling a function held in a value cannot be translated; call functions by name");
            return {"0"};
        }
        for (size_t i = 1; i < n.kids.size(); ++i)
            args.push_back(n.kids[i].get());
        return builtin(n, name, args);
    }

    std::vector<Code> codes(const std::vector<const Node *> &args, size_t from = 0)
    {
        std::vector<Code> out;
        for (size_t i = from; i < args.size(); ++i)
            out.push_back(expression(*args[i]));
        return out;
    }

    Code builtin(const Node &n, const std::string &name, const std::vector<const Node *> &args)
    {
        if (std::optional<Code> c = simpleBuiltin(name, args))
            return *c;
        if (std::optional<Code> c = drawingBuiltin(name, args))
            return *c;
        if (std::optional<Code> c = arrayBuiltin(n, name, args))
            return *c;
        if (name == "pixelMapDimensions")
            return {"2.0f"};
        if (name == "has2DMap")
            return {"1.0f"};
        if (name == "has3DMap")
            return {"0.0f"};
        static const std::set<std::string> callbacks = {"arrayForEach", "arrayMutate", "arrayMapTo", "arrayReduce",
                                                        "arraySortBy", "mapPixels"};
        if (callbacks.count(name))
            return callbackBuiltin(name, args);
        // The device's hardware reads zero here: the arguments still run.
        Code out{"0.0f", false};
        for (Code &c : codes(args))
            if (c.effects)
                out = {"((void)(" + c.text + "), " + out.text + ")", true};
        if (!script::findBuiltin(name))
            refuse(n, "'" + name + "' cannot be translated");
        return out;
    }

    /// A built-in that maps onto one runtime function.
    std::optional<Code> simpleBuiltin(const std::string &name, const std::vector<const Node *> &args)
    {
        for (const Simple &s : simpleBuiltins) {
            if (name != s.name)
                continue;
            m_runtime.insert(s.piece);
            std::string function = s.function;
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                std::string out = function + "(";
                for (size_t i = 0; i < t.size(); ++i)
                    out += (i ? ", " : "") + t[i];
                return out + ")";
            }, !isPure(name));
        }
        return std::nullopt;
    }

    /// Noise, palette and transform built-ins whose arguments need rearranging.
    std::optional<Code> drawingBuiltin(const std::string &name, const std::vector<const Node *> &args)
    {
        if (name == "perlin") {
            m_runtime.insert("noise");
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                return "lm_perlin(" + t[0] + ", " + t[1] + ", " + t[2] + ", lm_variant(" + t[3] + "))";
            }, false);
        }
        if (name == "paint") {
            m_runtime.insert("palette");
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                return "lm_paint(" + t[0] + ", " + (t.size() > 1 ? t[1] : std::string("1")) + ")";
            }, true);
        }
        if (name == "translate" || name == "scale" || name == "translate3D" || name == "scale3D") {
            m_runtime.insert("transform");
            std::string f = name.substr(0, name.find('3'));
            std::string z = f == "scale" ? "1" : "0";
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                return "lm_" + f + "(" + t[0] + ", " + t[1] + ", " + (t.size() > 2 ? t[2] : z) + ")";
            }, true);
        }
        if (name == "transform") {
            m_runtime.insert("transform");
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                std::string matrix;
                for (size_t i = 0; i < t.size(); ++i)
                    matrix += (i > 0 ? ", " : "") + t[i];
                return "({ const float m[16] = {" + matrix + "}; lm_transform(m); })";
            }, true);
        }
        return std::nullopt;
    }

    /// The array built-ins that take no callback.
    std::optional<Code> arrayBuiltin(const Node &n, const std::string &name, const std::vector<const Node *> &args)
    {
        if (name == "array") {
            m_runtime.insert("arrays");
            checkAllocation(n);
            Code c = expression(*args[0]);
            return Code{"lm_newArray(" + c.text + ")", true};
        }
        if (name == "arrayLength") {
            m_runtime.insert("arrays");
            Code c = expression(*args[0]);
            return Code{"(float)lm_length(" + c.text + ")", c.effects};
        }
        if (name == "arrayReplace" || name == "arrayReplaceAt") {
            m_runtime.insert("arrays");
            bool at = name == "arrayReplaceAt";
            return ordered(codes(args), [&](const std::vector<std::string> &t) {
                std::string offset = at ? "lm_index(" + t[1] + ")" : "0";
                size_t first = at ? 2 : 1;
                std::string out = "({ int32_t o = " + offset + "; ";
                out += "if (o >= 0 && o + " + std::to_string(t.size() - first) + " <= (int32_t)lm_length(" + t[0]
                    + ")) { ";
                for (size_t i = first; i < t.size(); ++i)
                    out += "lm_data(" + t[0] + ")[o + " + std::to_string(i - first) + "] = " + t[i] + "; ";
                return out + "} 0.0f; })";
            }, true);
        }
        return std::nullopt;
    }

    Code callbackBuiltin(const std::string &name, const std::vector<const Node *> &args)
    {
        m_runtime.insert("arrays");
        if (name == "mapPixels") {
            int f = callback(*args[0]);
            if (f < 0)
                return {"0"};
            return {"({ for (uint16_t k = 0; k < LM_NUM_LEDS; ++k) (void)"
                        + call(f, {"(float)k", "LM_READ_FLOAT(&lm_ledX[k])", "LM_READ_FLOAT(&lm_ledY[k])", "0"})
                        + "; 0.0f; })",
                    true};
        }
        Code array = expression(*args[0]);
        std::string a = temporary(), k = temporary(), p = temporary();
        std::string head = "({ float " + a + " = " + array.text + "; float *" + p + " = lm_data(" + a + "); ";
        std::string loop = "for (lm_index_t " + k + " = 0; " + k + " < lm_length(" + a + "); ++" + k + ") ";
        std::string element = p + "[" + k + "]", index = "(float)" + k;
        if (name == "arrayForEach" || name == "arrayMutate") {
            int f = callback(*args[1]);
            if (f < 0)
                return {"0"};
            std::string c = call(f, {element, index, a});
            return {head + loop + (name == "arrayMutate" ? element + " = " + c : "(void)" + c) + "; 0.0f; })", true};
        }
        if (name == "arrayMapTo") {
            Code dest = expression(*args[1]);
            int f = callback(*args[2]);
            if (f < 0)
                return {"0"};
            std::string d = temporary(), v = temporary();
            return {head + "float " + d + " = " + dest.text + "; " + loop + "{ float " + v + " = " + call(f, {element, index, a})
                        + "; if (" + k + " < lm_length(" + d + ")) lm_data(" + d + ")[" + k + "] = " + v + "; } 0.0f; })",
                    true};
        }
        if (name == "arrayReduce") {
            int f = callback(*args[1]);
            Code initial = expression(*args[2]);
            if (f < 0)
                return {"0"};
            std::string acc = temporary();
            return {head + "float " + acc + " = " + initial.text + "; " + loop + acc + " = " + call(f, {acc, element, index, a})
                        + "; " + acc + "; })",
                    true};
        }
        // arraySortBy: a stable insertion sort by the compare function.
        int f = callback(*args[1]);
        if (f < 0)
            return {"0"};
        std::string v = temporary(), j = temporary();
        return {head + "for (lm_index_t " + k + " = 1; " + k + " < lm_length(" + a + "); ++" + k + ") { float " + v + " = " + element
                    + "; lm_index_t " + j + " = " + k + "; while (" + j + " > 0 && " + call(f, {v, p + "[" + j + " - 1]"})
                    + " < 0) { " + p + "[" + j + "] = " + p + "[" + j + " - 1]; --" + j + "; } " + p + "[" + j + "] = " + v
                    + "; } 0.0f; })",
                true};
    }

    script::Script &m_script;
    std::set<std::string> m_globals;
    std::map<std::string, int> m_topFunctions;
    std::map<std::string, int> m_assignments;
    std::set<int> m_runTime;
    Scope *m_scope = nullptr;
    int m_function = -1;
    int m_temporaries = 0;
    std::set<std::string> m_globalsUsed;
    std::vector<std::string> m_declarations;
    std::string m_functions;
    std::string m_setup;
    std::set<std::string> m_runtime = {"base", "colour"};
    std::vector<Refusal> m_refusals;
};

// The first state of `random` for a run with that key, as the editor's instances start.
std::uint64_t randomStart(std::uint64_t key)
{
    std::uint64_t x = key + 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x ? x : 1;
}

std::string cName(const QString &fileName)
{
    std::string out;
    for (QChar c : QFileInfo(fileName).completeBaseName())
        out += c.isLetterOrNumber() && c.unicode() < 128 ? char(c.unicode()) : '_';
    if (out.empty() || (out[0] >= '0' && out[0] <= '9'))
        out = "pattern_" + out;
    return out;
}

} // namespace

std::optional<SketchPattern> ScriptTranslator::translate(const QByteArray &source, const QString &fileName,
                                                         const QList<QPointF> &leds, QStringList &errors)
{
    const std::string file = fileName.toStdString();
    const std::string_view text(source.constData(), size_t(source.size()));
    std::vector<script::Diagnostic> diagnostics;
    std::shared_ptr<const script::Program> program = script::Program::compile(text, diagnostics);
    if (!program) {
        for (const script::Diagnostic &d : diagnostics)
            errors.append(QString::fromStdString(d.format(file)));
        return std::nullopt;
    }
    script::Script syntax = script::parse(text, diagnostics);
    Translator translator(syntax);
    translator.run();
    if (!translator.refusals().empty()) {
        for (const Refusal &r : translator.refusals())
            errors.append(QString::fromStdString(script::Diagnostic{r.line, r.column, r.message}.format(file)));
        return std::nullopt;
    }

    // Runs the pattern's start as the editor does to learn the coordinates it reads and
    // how large its arrays are on this layout.
    std::vector<double> x, y;
    for (const QPointF &led : leds) {
        const QPointF p = screenPoint(led);
        x.push_back(p.x());
        y.push_back(p.y());
    }
    script::Instance instance(program);
    instance.setPositions(x, y);
    std::vector<double> rgb(size_t(leds.size()) * 3);
    instance.renderFrame(0, rgb);
    if (const auto &e = instance.error()) {
        errors.append(QString::fromStdString(script::Diagnostic{e->line, e->column, e->message}.format(file)));
        return std::nullopt;
    }

    SketchPattern pattern;
    pattern.name = cName(fileName);
    for (int i = 0; i < instance.pixelCount(); ++i) {
        pattern.x.push_back(float(instance.worldX(i)));
        pattern.y.push_back(float(instance.worldY(i)));
    }
    pattern.poolSize = long(instance.arrayElements());
    pattern.arrayCount = long(instance.arrayCount());
    pattern.randomStart = randomStart(0);
    int entry = translator.function("render2D");
    if (entry < 0)
        entry = translator.function("render3D");
    bool coordinates = entry >= 0;
    if (entry < 0)
        entry = translator.function("render");
    int params = entry >= 0 ? int(syntax.functions[size_t(entry)].params.size()) : 0;
    pattern.code = translator.text(entry, params, coordinates);
    pattern.runtime = translator.runtime();
    return pattern;
}

} // namespace lumora
