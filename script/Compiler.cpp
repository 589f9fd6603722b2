// Turns the syntax tree into the compiled node tree: resolves every name to a local slot,
// a global slot, a function or a built-in, checks argument counts, and reports every
// error it finds with its line and column.

#include "script/Builtins.h"
#include "script/Nodes.h"
#include "script/Parser.h"
#include "script/Program.h"

#include <algorithm>
#include <map>
#include <set>
#include <type_traits>
#include <unordered_map>

namespace lumora::script {

using namespace nodes;

namespace {

// Names assigned anywhere, top-level declarations and how often each name is assigned
// (a function only a declaration ever sets can be called directly).
struct Survey {
    std::set<std::string> globals;
    std::map<std::string, int> topFunctions; // name -> function index
    std::map<std::string, int> assignments;
};

void surveyNode(const Node *n, bool topLevel, Survey &s)
{
    if (!n)
        return;
    switch (n->kind) {
    case Kind::Assign:
    case Kind::Update:
        if (n->kids[0]->kind == Kind::Name) {
            s.globals.insert(n->kids[0]->text);
            ++s.assignments[n->kids[0]->text];
        }
        break;
    case Kind::Var:
        for (auto &k : n->kids) {
            if (topLevel)
                s.globals.insert(k->text);
            ++s.assignments[k->text];
        }
        break;
    case Kind::FunctionDeclaration:
        if (topLevel) {
            s.globals.insert(n->text);
            if (s.topFunctions.count(n->text))
                ++s.assignments[n->text];
            s.topFunctions[n->text] = n->fn;
        } else {
            ++s.assignments[n->text];
        }
        break;
    default:
        break;
    }
    for (auto &k : n->kids)
        surveyNode(k.get(), topLevel, s);
}

// Calls f(operand) with the operand policy that reads `e` fastest.
template<class F>
auto withOperand(ExprPtr e, F &&f)
{
    if (auto *c = dynamic_cast<Constant *>(e.get()))
        return f(ConstantOperand{c->value});
    if (auto *l = dynamic_cast<LocalGet *>(e.get()))
        return f(LocalOperand{l->slot});
    if (auto *g = dynamic_cast<GlobalGet *>(e.get()))
        return f(GlobalOperand{g->slot});
    return f(ExprOperand{std::move(e)});
}

template<class Op>
ExprPtr makeBinary(ExprPtr left, ExprPtr right)
{
    int line = left->line, column = left->column;
    auto *lc = dynamic_cast<Constant *>(left.get());
    auto *rc = dynamic_cast<Constant *>(right.get());
    ExprPtr out;
    if (lc && rc) {
        out = std::make_unique<Constant>(Op::apply(lc->value, rc->value));
    } else {
        out = withOperand(std::move(left), [&](auto l) {
            return withOperand(std::move(right), [&](auto r) -> ExprPtr {
                auto n = std::make_unique<Binary<Op, decltype(l), decltype(r)>>();
                n->left = std::move(l);
                n->right = std::move(r);
                return n;
            });
        });
    }
    out->line = line;
    out->column = column;
    return out;
}

ExprPtr makeIndexGet(ExprPtr array, ExprPtr index)
{
    return withOperand(std::move(array), [&](auto a) -> ExprPtr {
        if constexpr (std::is_same_v<decltype(a), ConstantOperand>) {
            auto n = std::make_unique<IndexGet<ExprOperand, ExprOperand>>(); // reading a number: an error
            n->array = ExprOperand{std::make_unique<Constant>(a.k)};
            n->index = ExprOperand{std::move(index)};
            return n;
        } else {
            return withOperand(std::move(index), [&](auto i) -> ExprPtr {
                auto n = std::make_unique<IndexGet<decltype(a), decltype(i)>>();
                n->array = std::move(a);
                n->index = std::move(i);
                return n;
            });
        }
    });
}

// Calls `f.template operator()<Op>()` for the operator spelt `op`; false when unknown.
template<class F>
bool withOperator(const std::string &op, F &&f)
{
    if (op == "+") f.template operator()<Add>();
    else if (op == "-") f.template operator()<Sub>();
    else if (op == "*") f.template operator()<Mul>();
    else if (op == "/") f.template operator()<Div>();
    else if (op == "%") f.template operator()<Mod>();
    else if (op == "**") f.template operator()<Pow>();
    else if (op == "<") f.template operator()<Lt>();
    else if (op == ">") f.template operator()<Gt>();
    else if (op == "<=") f.template operator()<Le>();
    else if (op == ">=") f.template operator()<Ge>();
    else if (op == "==") f.template operator()<Eq>();
    else if (op == "!=") f.template operator()<Ne>();
    else if (op == "&") f.template operator()<BitAnd>();
    else if (op == "|") f.template operator()<BitOr>();
    else if (op == "^") f.template operator()<BitXor>();
    else if (op == "<<") f.template operator()<Shl>();
    else if (op == ">>") f.template operator()<Shr>();
    else if (op == ">>>") f.template operator()<UShr>();
    else if (op == "=") f.template operator()<nodes::Assign>();
    else return false;
    return true;
}

class Compiler
{
public:
    Compiler(Script &script, Program &program, std::vector<Diagnostic> &errors)
        : m_script(script), m_program(program), m_errors(errors)
    {
    }

    void run()
    {
        for (auto &s : m_script.statements)
            surveyNode(s.get(), true, m_survey);
        // Function bodies only add implicit globals (their `var`s are local).
        for (auto &f : m_script.functions)
            surveyNode(f.body.get(), false, m_survey);

        for (auto &[name, value] : builtinConstants())
            m_program.globalInitial[size_t(globalSlot(std::string(name)))] = value;
        m_program.pixelCountSlot = globalSlot("pixelCount");
        for (auto &[name, fn] : m_survey.topFunctions)
            m_program.globalInitial[size_t(globalSlot(name))] = functionValue(uint32_t(fn));

        m_program.functions.resize(m_script.functions.size());
        // Top-level code.
        m_scope = nullptr;
        auto init = std::make_unique<Block>();
        for (auto &s : m_script.statements)
            init->body.push_back(statement(*s));
        m_program.init = std::move(init);
        for (size_t i = 0; i < m_script.functions.size(); ++i)
            compileFunction(int(i));
        for (DirectCall *call : m_directCalls)
            call->function = &m_program.functions[size_t(call->functionIndex)];

        auto entry = [&](const char *name) {
            auto it = m_survey.topFunctions.find(name);
            return it == m_survey.topFunctions.end() ? -1 : it->second;
        };
        m_program.beforeRender = entry("beforeRender");
        m_program.render = entry("render");
        m_program.render2D = entry("render2D");
        m_program.render3D = entry("render3D");
        findControls();
        for (auto &[name, position] : m_undefined)
            m_errors.push_back({position.first, position.second, "'" + name + "' is not defined"});
    }

private:
    static constexpr int maxLocals = 4096; // a frame must fit the runtime's stack many times

    struct Scope {
        std::unordered_map<std::string, int> locals;
        int size = 0;
    };

    void error(const Node &at, std::string message) { m_errors.push_back({at.line, at.column, std::move(message)}); }

    int globalSlot(const std::string &name)
    {
        auto it = m_globals.find(name);
        if (it != m_globals.end())
            return it->second;
        int slot = int(m_program.globalNames.size());
        m_globals.emplace(name, slot);
        m_program.globalNames.push_back(name);
        m_program.globalInitial.push_back(0);
        return slot;
    }
    bool isGlobal(const std::string &name) const
    {
        return m_globals.count(name) || m_survey.globals.count(name);
    }
    int localSlot(const std::string &name) const
    {
        if (!m_scope)
            return -1;
        auto it = m_scope->locals.find(name);
        return it == m_scope->locals.end() ? -1 : it->second;
    }
    int declareLocal(const std::string &name)
    {
        int slot = localSlot(name);
        if (slot >= 0)
            return slot;
        slot = m_scope->size++;
        m_scope->locals.emplace(name, slot);
        return slot;
    }

    template<class T>
    std::unique_ptr<T> at(std::unique_ptr<T> n, const Node &where)
    {
        n->line = where.line;
        n->column = where.column;
        return n;
    }
    ExprPtr placeholder(const Node &where) { return at(std::make_unique<Constant>(0), where); }

    void compileFunction(int index)
    {
        FunctionSyntax &syntax = m_script.functions[size_t(index)];
        CompiledFunction &f = m_program.functions[size_t(index)];
        f.name = syntax.name;
        f.params = int(syntax.params.size());
        f.exported = syntax.exported;
        f.line = syntax.line;
        f.column = syntax.column;
        Scope scope;
        for (const std::string &p : syntax.params) {
            if (scope.locals.count(p))
                m_errors.push_back({syntax.line, syntax.column, "parameter '" + p + "' appears twice"});
            scope.locals[p] = scope.size++;
        }
        Scope *saved = m_scope;
        m_scope = &scope;
        if (syntax.expressionBody)
            f.result = expression(*syntax.body);
        else
            f.body = statement(*syntax.body);
        m_scope = saved;
        f.frameSize = scope.size;
        if (f.frameSize > maxLocals)
            m_errors.push_back({syntax.line, syntax.column, "too many parameters and local variables (more than "
                                                                + std::to_string(maxLocals) + ")"});
    }

    void findControls()
    {
        static const std::pair<std::string_view, ControlKind> prefixes[] = {
            {"slider", ControlKind::Slider},     {"hsvPicker", ControlKind::HsvPicker},
            {"rgbPicker", ControlKind::RgbPicker}, {"toggle", ControlKind::Toggle},
            {"trigger", ControlKind::Trigger},   {"inputNumber", ControlKind::InputNumber},
            {"showNumber", ControlKind::ShowNumber}, {"gauge", ControlKind::Gauge},
        };
        for (const FunctionSyntax &f : m_script.functions) {
            if (!f.exported)
                continue;
            for (auto &[prefix, kind] : prefixes) {
                if (f.name.size() > prefix.size() && f.name.compare(0, prefix.size(), prefix) == 0) {
                    Control c;
                    c.function = f.name;
                    c.label = f.name.substr(prefix.size());
                    c.kind = kind;
                    c.values = kind == ControlKind::HsvPicker || kind == ControlKind::RgbPicker ? 3
                        : kind == ControlKind::Trigger || kind == ControlKind::ShowNumber
                            || kind == ControlKind::Gauge
                        ? 0
                        : 1;
                    m_program.controls.push_back(c);
                    break;
                }
            }
        }
    }

    // ---- statements ----

    StmtPtr statement(const Node &n)
    {
        switch (n.kind) {
        case Kind::ExpressionStatement: {
            if (StmtPtr set = assignmentStatement(*n.kids[0]))
                return set;
            auto s = at(std::make_unique<ExpressionStatement>(), n);
            s->expr = expression(*n.kids[0]);
            return s;
        }
        case Kind::Var: {
            auto block = at(std::make_unique<Block>(), n);
            for (auto &d : n.kids) {
                int local = -1;
                int global = -1;
                if (m_scope) {
                    local = declareLocal(d->text);
                } else {
                    global = globalSlot(d->text);
                    if (n.flag)
                        m_program.exportedGlobals.push_back(global);
                }
                // `var x` alone changes nothing: locals start at 0 on every call.
                if (d->kids.empty())
                    continue;
                auto s = at(std::make_unique<ExpressionStatement>(), *d);
                ExprPtr value = expression(*d->kids[0]);
                if (local >= 0) {
                    auto set = at(std::make_unique<LocalSet<nodes::Assign>>(), *d);
                    set->slot = local;
                    set->value = std::move(value);
                    s->expr = std::move(set);
                } else {
                    auto set = at(std::make_unique<GlobalSet<nodes::Assign>>(), *d);
                    set->slot = global;
                    set->value = std::move(value);
                    s->expr = std::move(set);
                }
                block->body.push_back(std::move(s));
            }
            if (block->body.size() == 1)
                return std::move(block->body[0]);
            return block;
        }
        case Kind::If: {
            auto s = at(std::make_unique<If>(), n);
            s->test = expression(*n.kids[0]);
            s->then = statement(*n.kids[1]);
            if (n.kids.size() > 2)
                s->otherwise = statement(*n.kids[2]);
            return s;
        }
        case Kind::While: {
            auto s = at(std::make_unique<While>(), n);
            s->test = expression(*n.kids[0]);
            ++m_loops;
            s->body = statement(*n.kids[1]);
            --m_loops;
            return s;
        }
        case Kind::DoWhile: {
            auto s = at(std::make_unique<DoWhile>(), n);
            ++m_loops;
            s->body = statement(*n.kids[0]);
            --m_loops;
            s->test = expression(*n.kids[1]);
            return s;
        }
        case Kind::For: {
            auto s = at(std::make_unique<For>(), n);
            if (n.kids[0])
                s->init = statement(*n.kids[0]);
            if (n.kids[1])
                s->test = expression(*n.kids[1]);
            if (n.kids[2])
                s->step = expression(*n.kids[2]);
            ++m_loops;
            s->body = statement(*n.kids[3]);
            --m_loops;
            return s;
        }
        case Kind::Break:
        case Kind::Continue:
            if (m_loops == 0)
                error(n, std::string("'") + (n.kind == Kind::Break ? "break" : "continue") + "' outside a loop");
            return at(std::make_unique<Jump>(n.kind == Kind::Break ? Flow::Break : Flow::Continue), n);
        case Kind::Return: {
            if (!m_scope)
                error(n, "'return' outside a function");
            auto s = at(std::make_unique<Return>(), n);
            if (!n.kids.empty())
                s->value = expression(*n.kids[0]);
            return s;
        }
        case Kind::Block: {
            auto s = at(std::make_unique<Block>(), n);
            for (auto &k : n.kids)
                s->body.push_back(statement(*k));
            return s;
        }
        case Kind::FunctionDeclaration: {
            if (!m_scope)
                return at(std::make_unique<Empty>(), n); // set before the top-level code runs
            // A function declared inside another is a local holding the function.
            auto s = at(std::make_unique<ExpressionStatement>(), n);
            auto set = at(std::make_unique<LocalSet<nodes::Assign>>(), n);
            set->slot = declareLocal(n.text);
            set->value = at(std::make_unique<Constant>(functionValue(uint32_t(n.fn))), n);
            s->expr = std::move(set);
            return s;
        }
        case Kind::Empty:
            return at(std::make_unique<Empty>(), n);
        default: {
            auto s = at(std::make_unique<ExpressionStatement>(), n);
            s->expr = expression(n);
            return s;
        }
        }
    }

    // ---- expressions ----

    ExprPtr name(const Node &n)
    {
        int local = localSlot(n.text);
        if (local >= 0)
            return at(std::make_unique<LocalGet>(local), n);
        if (isGlobal(n.text))
            return at(std::make_unique<GlobalGet>(globalSlot(n.text)), n);
        if (findBuiltin(n.text)) {
            error(n, "built-in function '" + n.text + "' can only be called");
            return placeholder(n);
        }
        m_undefined.emplace(n.text, std::make_pair(n.line, n.column));
        return placeholder(n);
    }

    ExprPtr expression(const Node &n)
    {
        switch (n.kind) {
        case Kind::Number:
            return at(std::make_unique<Constant>(n.num), n);
        case Kind::Name:
            return name(n);
        case Kind::Function:
            return at(std::make_unique<Constant>(functionValue(uint32_t(n.fn))), n);
        case Kind::Unary: {
            ExprPtr operand = expression(*n.kids[0]);
            if (n.text == "+")
                return operand;
            if (auto *c = dynamic_cast<Constant *>(operand.get())) {
                double v = c->value;
                if (n.text == "!")
                    return at(std::make_unique<Constant>(double(!truthy(v))), n);
                if (n.text == "-")
                    return at(std::make_unique<Constant>(-v), n);
            }
            if (n.text == "-") {
                auto e = at(std::make_unique<Negate>(), n);
                e->operand = std::move(operand);
                return e;
            }
            if (n.text == "!") {
                auto e = at(std::make_unique<Not>(), n);
                e->operand = std::move(operand);
                return e;
            }
            auto e = at(std::make_unique<BitNot>(), n);
            e->operand = std::move(operand);
            return e;
        }
        case Kind::Binary: {
            ExprPtr left = expression(*n.kids[0]);
            ExprPtr right = expression(*n.kids[1]);
            if (n.text == ",") {
                auto e = at(std::make_unique<Comma>(), n);
                e->left = std::move(left);
                e->right = std::move(right);
                return e;
            }
            ExprPtr out;
            withOperator(n.text, [&]<class Op>() { out = makeBinary<Op>(std::move(left), std::move(right)); });
            if (!out) {
                error(n, "unknown operator '" + n.text + "'");
                return placeholder(n);
            }
            out->line = n.line;
            out->column = n.column;
            return out;
        }
        case Kind::Logical: {
            ExprPtr left = expression(*n.kids[0]);
            ExprPtr right = expression(*n.kids[1]);
            if (n.text == "&&") {
                auto e = at(std::make_unique<And>(), n);
                e->left = std::move(left);
                e->right = std::move(right);
                return e;
            }
            auto e = at(std::make_unique<Or>(), n);
            e->left = std::move(left);
            e->right = std::move(right);
            return e;
        }
        case Kind::Conditional: {
            auto e = at(std::make_unique<Conditional>(), n);
            e->test = expression(*n.kids[0]);
            e->then = expression(*n.kids[1]);
            e->otherwise = expression(*n.kids[2]);
            return e;
        }
        case Kind::Assign:
            return assignment(n);
        case Kind::Update:
            return update(n);
        case Kind::Call:
            return call(n);
        case Kind::Index: {
            ExprPtr array = expression(*n.kids[0]);
            return at(makeIndexGet(std::move(array), expression(*n.kids[1])), n);
        }
        case Kind::Member: {
            if (n.text == "length") {
                auto e = at(std::make_unique<Length>(), n);
                e->array = expression(*n.kids[0]);
                return e;
            }
            error(n, "unknown property '" + n.text + "'");
            return placeholder(n);
        }
        case Kind::ArrayLiteral: {
            auto e = at(std::make_unique<ArrayLiteral>(), n);
            for (auto &k : n.kids)
                e->elements.push_back(expression(*k));
            return e;
        }
        default:
            error(n, "expected an expression");
            return placeholder(n);
        }
    }

    ExprPtr assignment(const Node &n)
    {
        const Node &target = *n.kids[0];
        std::string op = n.text == "=" ? "=" : n.text.substr(0, n.text.size() - 1);
        ExprPtr value = expression(*n.kids[1]);
        ExprPtr out;
        if (target.kind == Kind::Name) {
            int local = localSlot(target.text);
            if (local >= 0) {
                withOperator(op, [&]<class Op>() {
                    auto e = std::make_unique<LocalSet<Op>>();
                    e->slot = local;
                    e->value = std::move(value);
                    out = std::move(e);
                });
            } else {
                int global = globalSlot(target.text);
                withOperator(op, [&]<class Op>() {
                    auto e = std::make_unique<GlobalSet<Op>>();
                    e->slot = global;
                    e->value = std::move(value);
                    out = std::move(e);
                });
            }
        } else {
            ExprPtr array = expression(*target.kids[0]);
            ExprPtr index = expression(*target.kids[1]);
            withOperator(op, [&]<class Op>() {
                auto e = std::make_unique<IndexSet<Op>>();
                e->array = std::move(array);
                e->index = std::move(index);
                e->value = std::move(value);
                out = std::move(e);
            });
        }
        if (!out) {
            error(n, "unknown operator '" + n.text + "'");
            return placeholder(n);
        }
        return at(std::move(out), target);
    }

    // `x = value` or `x op= value` as a statement, for a variable x; null otherwise.
    StmtPtr assignmentStatement(const Node &n)
    {
        if (n.kind != Kind::Assign || n.kids[0]->kind != Kind::Name)
            return nullptr;
        const std::string &target = n.kids[0]->text;
        std::string op = n.text == "=" ? "=" : n.text.substr(0, n.text.size() - 1);
        int local = localSlot(target);
        int slot = local >= 0 ? local : globalSlot(target);
        StmtPtr out;
        ExprPtr value = expression(*n.kids[1]);
        withOperator(op, [&]<class Op>() {
            out = withOperand(std::move(value), [&](auto v) -> StmtPtr {
                if (local >= 0) {
                    auto s = std::make_unique<LocalSetStatement<Op, decltype(v)>>();
                    s->slot = slot;
                    s->value = std::move(v);
                    return s;
                }
                auto s = std::make_unique<GlobalSetStatement<Op, decltype(v)>>();
                s->slot = slot;
                s->value = std::move(v);
                return s;
            });
        });
        if (!out)
            return nullptr;
        return at(std::move(out), *n.kids[0]);
    }

    template<bool Prefix>
    ExprPtr updateNode(const Node &target, double delta)
    {
        if (target.kind == Kind::Name) {
            int local = localSlot(target.text);
            if (local >= 0) {
                auto e = std::make_unique<LocalUpdate<Prefix>>();
                e->slot = local;
                e->delta = delta;
                return e;
            }
            auto e = std::make_unique<GlobalUpdate<Prefix>>();
            e->slot = globalSlot(target.text);
            e->delta = delta;
            return e;
        }
        auto e = std::make_unique<IndexUpdate<Prefix>>();
        e->array = expression(*target.kids[0]);
        e->index = expression(*target.kids[1]);
        e->delta = delta;
        return e;
    }

    ExprPtr update(const Node &n)
    {
        double delta = n.text == "++" ? 1 : -1;
        ExprPtr e = n.flag ? updateNode<true>(*n.kids[0], delta) : updateNode<false>(*n.kids[0], delta);
        return at(std::move(e), n);
    }

    std::vector<ExprPtr> arguments(const Node &n, size_t first)
    {
        std::vector<ExprPtr> args;
        for (size_t i = first; i < n.kids.size(); ++i)
            args.push_back(expression(*n.kids[i]));
        return args;
    }

    ExprPtr builtinCall(const Node &n, const BuiltinInfo &b, std::vector<ExprPtr> args)
    {
        int count = int(args.size());
        if (count < b.minArgs || count > b.maxArgs) {
            std::string expected = b.minArgs == b.maxArgs ? std::to_string(b.minArgs)
                : b.maxArgs >= 20                     ? "at least " + std::to_string(b.minArgs)
                                                      : std::to_string(b.minArgs) + " or " + std::to_string(b.maxArgs);
            error(n, "'" + std::string(b.name) + "' takes " + expected + " argument" + (expected == "1" ? "" : "s")
                         + " but " + std::to_string(count) + (count == 1 ? " was" : " were") + " given");
            return placeholder(n);
        }
        if (ExprPtr pure = makePureCall(b.name, args))
            return at(std::move(pure), n);
        auto e = at(std::make_unique<BuiltinCall>(), n);
        e->function = b.function;
        e->args = std::move(args);
        return e;
    }

    ExprPtr call(const Node &n)
    {
        const Node &callee = *n.kids[0];
        if (callee.kind == Kind::Member) {
            std::string_view builtin = methodBuiltin(callee.text);
            if (builtin.empty()) {
                error(callee, "unknown method '" + callee.text + "'");
                return placeholder(n);
            }
            std::vector<ExprPtr> args;
            args.push_back(expression(*callee.kids[0]));
            for (auto &a : arguments(n, 1))
                args.push_back(std::move(a));
            // `a.replace(offset, ...)` is spelt like arrayReplace; both forms are accepted.
            return builtinCall(*callee.kids[0], *findBuiltin(builtin), std::move(args));
        }
        if (callee.kind == Kind::Name && localSlot(callee.text) < 0) {
            auto fn = m_survey.topFunctions.find(callee.text);
            if (fn != m_survey.topFunctions.end() && m_survey.assignments[callee.text] == 0) {
                const FunctionSyntax &syntax = m_script.functions[size_t(fn->second)];
                auto e = at(std::make_unique<DirectCall>(), n);
                e->functionIndex = fn->second;
                e->args = arguments(n, 1);
                // The device ignores arguments beyond the parameters; they still run.
                while (e->args.size() > syntax.params.size()) {
                    e->extra.insert(e->extra.begin(), std::move(e->args.back()));
                    e->args.pop_back();
                }
                m_directCalls.push_back(e.get());
                return e;
            }
            if (!isGlobal(callee.text)) {
                if (const BuiltinInfo *b = findBuiltin(callee.text))
                    return builtinCall(n, *b, arguments(n, 1));
            }
        }
        auto e = at(std::make_unique<ValueCall>(), n);
        e->callee = expression(callee);
        e->args = arguments(n, 1);
        if (e->args.size() > 16) {
            error(n, "too many arguments (at most 16)");
            return placeholder(n);
        }
        return e;
    }

    Script &m_script;
    Program &m_program;
    std::vector<Diagnostic> &m_errors;
    Survey m_survey;
    std::unordered_map<std::string, int> m_globals;
    Scope *m_scope = nullptr;
    int m_loops = 0;
    std::vector<DirectCall *> m_directCalls;
    std::map<std::string, std::pair<int, int>> m_undefined; // first use of each
};

} // namespace

std::shared_ptr<const Program> Program::compile(std::string_view source, std::vector<Diagnostic> &errors)
{
    size_t before = errors.size();
    Script script = parse(source, errors);
    auto program = std::make_shared<Program>();
    Compiler(script, *program, errors).run();
    if (errors.size() > before) {
        std::stable_sort(errors.begin() + long(before), errors.end(), [](const Diagnostic &a, const Diagnostic &b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        return nullptr;
    }
    return program;
}

int Program::functionIndex(std::string_view name) const
{
    for (size_t i = 0; i < functions.size(); ++i)
        if (functions[i].name == name)
            return int(i);
    return -1;
}

int Program::globalIndex(std::string_view name) const
{
    for (size_t i = 0; i < globalNames.size(); ++i)
        if (globalNames[i] == name)
            return int(i);
    return -1;
}

} // namespace lumora::script
