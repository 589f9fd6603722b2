#pragma once

// The compiled form of a pattern: a tree of nodes with every name resolved to a slot, an
// operator per node type and the common shapes (a constant or a local operand) given node
// types of their own, so that one virtual call does as much work as it can.

#include "script/Program.h"
#include "script/Runtime.h"

#include <cmath>
#include <vector>

namespace lumora::script {
void hsvToRgb(double h, double s, double v, double &r, double &g, double &b);
}

namespace lumora::script::nodes {

using script::hsvToRgb;

using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;

// ---- operators -------------------------------------------------------------------------

struct Add { static double apply(double a, double b) { return a + b; } };
struct Sub { static double apply(double a, double b) { return a - b; } };
struct Mul { static double apply(double a, double b) { return a * b; } };
struct Div { static double apply(double a, double b) { return a / b; } };
struct Mod { static double apply(double a, double b) { return std::fmod(a, b); } };
struct Pow { static double apply(double a, double b) { return std::pow(a, b); } };
struct Lt { static double apply(double a, double b) { return a < b; } };
struct Gt { static double apply(double a, double b) { return a > b; } };
struct Le { static double apply(double a, double b) { return a <= b; } };
struct Ge { static double apply(double a, double b) { return a >= b; } };
struct Eq { static double apply(double a, double b) { return sameValue(a, b); } };
struct Ne { static double apply(double a, double b) { return !sameValue(a, b); } };
struct BitAnd { static double apply(double a, double b) { return fromFixed(toFixed(a) & toFixed(b)); } };
struct BitOr { static double apply(double a, double b) { return fromFixed(toFixed(a) | toFixed(b)); } };
struct BitXor { static double apply(double a, double b) { return fromFixed(toFixed(a) ^ toFixed(b)); } };
// Shift counts are the integer part of the right operand, as on the device.
struct Shl {
    static double apply(double a, double b)
    {
        int n = int(toFixed(b) >> 16) & 31;
        return fromFixed(int32_t(uint32_t(toFixed(a)) << n));
    }
};
struct Shr {
    static double apply(double a, double b)
    {
        int n = int(toFixed(b) >> 16) & 31;
        return fromFixed(toFixed(a) >> n);
    }
};
struct UShr {
    static double apply(double a, double b)
    {
        int n = int(toFixed(b) >> 16) & 31;
        return fromFixed(int32_t(uint32_t(toFixed(a)) >> n));
    }
};
struct Assign { static double apply(double, double b) { return b; } };

// ---- values and variables ---------------------------------------------------------------

struct Constant final : Expr {
    double value;
    explicit Constant(double v) : value(v) {}
    double eval(Runtime &) const override { return value; }
};

struct LocalGet final : Expr {
    int slot;
    explicit LocalGet(int s) : slot(s) {}
    double eval(Runtime &rt) const override { return rt.fp[slot]; }
};

struct GlobalGet final : Expr {
    int slot;
    explicit GlobalGet(int s) : slot(s) {}
    double eval(Runtime &rt) const override { return rt.gp[slot]; }
};

template<class Op>
struct LocalSet final : Expr {
    int slot;
    ExprPtr value;
    double eval(Runtime &rt) const override
    {
        double v = value->eval(rt);
        return rt.fp[slot] = Op::apply(rt.fp[slot], v);
    }
};

template<class Op>
struct GlobalSet final : Expr {
    int slot;
    ExprPtr value;
    double eval(Runtime &rt) const override
    {
        double v = value->eval(rt);
        return rt.gp[slot] = Op::apply(rt.gp[slot], v);
    }
};

[[noreturn]] inline void outside(Runtime &rt, int64_t i, size_t length, const Expr *at)
{
    rt.fail(at, "index " + std::to_string(i) + " is outside the array (length " + std::to_string(length) + ")");
}

inline double &element(Runtime &rt, double array, double index, const Expr *at)
{
    std::span<double> a = rt.array(array, at);
    int64_t i = toIndex(index);
    if (uint64_t(i) >= a.size()) [[unlikely]]
        outside(rt, i, a.size(), at);
    return a[size_t(i)];
}

template<class A, class I>
struct IndexGet final : Expr {
    A array;
    I index;
    double eval(Runtime &rt) const override
    {
        double a = array.get(rt);
        double i = index.get(rt);
        return element(rt, a, i, this);
    }
};

template<class Op>
struct IndexSet final : Expr {
    ExprPtr array, index, value;
    double eval(Runtime &rt) const override
    {
        double a = array->eval(rt);
        double i = index->eval(rt);
        double v = value->eval(rt);
        double &e = element(rt, a, i, this);
        return e = Op::apply(e, v);
    }
};

// `++`/`--` before or after a variable or element.
template<bool Prefix>
struct LocalUpdate final : Expr {
    int slot;
    double delta;
    double eval(Runtime &rt) const override
    {
        double old = rt.fp[slot];
        rt.fp[slot] = old + delta;
        return Prefix ? old + delta : old;
    }
};

template<bool Prefix>
struct GlobalUpdate final : Expr {
    int slot;
    double delta;
    double eval(Runtime &rt) const override
    {
        double old = rt.gp[slot];
        rt.gp[slot] = old + delta;
        return Prefix ? old + delta : old;
    }
};

template<bool Prefix>
struct IndexUpdate final : Expr {
    ExprPtr array, index;
    double delta;
    double eval(Runtime &rt) const override
    {
        double a = array->eval(rt);
        double i = index->eval(rt);
        double &e = element(rt, a, i, this);
        double old = e;
        e = old + delta;
        return Prefix ? old + delta : old;
    }
};

// ---- operators on values ------------------------------------------------------------------

// Operands read without a virtual call when they are a constant, a local or a global.
struct ConstantOperand {
    double k;
    double get(Runtime &) const { return k; }
};
struct LocalOperand {
    int slot;
    double get(Runtime &rt) const { return rt.fp[slot]; }
};
struct GlobalOperand {
    int slot;
    double get(Runtime &rt) const { return rt.gp[slot]; }
};
struct ExprOperand {
    ExprPtr e;
    double get(Runtime &rt) const { return e->eval(rt); }
};

template<class Op, class L, class R>
struct Binary final : Expr {
    L left;
    R right;
    double eval(Runtime &rt) const override
    {
        double a = left.get(rt);
        return Op::apply(a, right.get(rt));
    }
};

struct Negate final : Expr {
    ExprPtr operand;
    double eval(Runtime &rt) const override { return -operand->eval(rt); }
};
struct Not final : Expr {
    ExprPtr operand;
    double eval(Runtime &rt) const override { return !truthy(operand->eval(rt)); }
};
// `~` inverts all 32 bits and clears the fraction, as on the device.
struct BitNot final : Expr {
    ExprPtr operand;
    double eval(Runtime &rt) const override
    {
        return fromFixed(int32_t(uint32_t(~toFixed(operand->eval(rt))) & 0xFFFF0000u));
    }
};

// `&&` and `||` give one of their operands, not a truth value.
struct And final : Expr {
    ExprPtr left, right;
    double eval(Runtime &rt) const override
    {
        double a = left->eval(rt);
        return truthy(a) ? right->eval(rt) : a;
    }
};
struct Or final : Expr {
    ExprPtr left, right;
    double eval(Runtime &rt) const override
    {
        double a = left->eval(rt);
        return truthy(a) ? a : right->eval(rt);
    }
};
struct Conditional final : Expr {
    ExprPtr test, then, otherwise;
    double eval(Runtime &rt) const override
    {
        return truthy(test->eval(rt)) ? then->eval(rt) : otherwise->eval(rt);
    }
};
struct Comma final : Expr {
    ExprPtr left, right;
    double eval(Runtime &rt) const override
    {
        left->eval(rt);
        return right->eval(rt);
    }
};

struct ArrayLiteral final : Expr {
    std::vector<ExprPtr> elements;
    double eval(Runtime &rt) const override
    {
        double handle = rt.newArray(int64_t(elements.size()), this);
        for (size_t i = 0; i < elements.size(); ++i) {
            double v = elements[i]->eval(rt);
            rt.arrays[handleIndex(handle)][i] = v; // the handle is fresh: no check
        }
        return handle;
    }
};

struct Length final : Expr {
    ExprPtr array;
    double eval(Runtime &rt) const override { return double(rt.array(array->eval(rt), this).size()); }
};

// ---- calls -------------------------------------------------------------------------------

/// A call of a function known when compiling: the arguments go straight into its frame.
struct DirectCall final : Expr {
    const CompiledFunction *function = nullptr; // set once every function is compiled
    int functionIndex = -1;
    std::vector<ExprPtr> args;
    std::vector<ExprPtr> extra; // arguments beyond the parameters: run, then dropped
    double eval(Runtime &rt) const override;
};

/// A call of a function value (a variable, an array element, a parameter).
struct ValueCall final : Expr {
    ExprPtr callee;
    std::vector<ExprPtr> args;
    double eval(Runtime &rt) const override
    {
        double f = callee->eval(rt);
        double values[16];
        size_t n = std::min<size_t>(args.size(), 16);
        for (size_t i = 0; i < n; ++i)
            values[i] = args[i]->eval(rt);
        return rt.call(f, values, int(n), this);
    }
};

using BuiltinFunction = double (*)(Runtime &rt, const double *args, int count);

/// A call of a built-in that needs the runtime or takes any number of arguments.
struct BuiltinCall final : Expr {
    BuiltinFunction function = nullptr;
    std::vector<ExprPtr> args;
    double eval(Runtime &rt) const override
    {
        double values[20];
        size_t n = args.size();
        for (size_t i = 0; i < n; ++i)
            values[i] = args[i]->eval(rt);
        rt.where = this;
        return function(rt, values, int(n));
    }
};

// `hsv` and `hsv24`, the most called built-in, inlined.
struct HsvCall final : Expr {
    ExprPtr h, s, v;
    double eval(Runtime &rt) const override
    {
        double hue = h->eval(rt);
        double saturation = s->eval(rt);
        double value = v->eval(rt);
        hsvToRgb(hue, saturation, value, rt.r, rt.g, rt.b);
        return 0;
    }
};

// Pure maths built-ins, inlined.
template<double (*F)(double)>
struct Pure1 final : Expr {
    ExprPtr a;
    double eval(Runtime &rt) const override { return F(a->eval(rt)); }
};
template<double (*F)(double, double)>
struct Pure2 final : Expr {
    ExprPtr a, b;
    double eval(Runtime &rt) const override
    {
        double x = a->eval(rt);
        return F(x, b->eval(rt));
    }
};
template<double (*F)(double, double, double)>
struct Pure3 final : Expr {
    ExprPtr a, b, c;
    double eval(Runtime &rt) const override
    {
        double x = a->eval(rt);
        double y = b->eval(rt);
        return F(x, y, c->eval(rt));
    }
};

// ---- statements --------------------------------------------------------------------------

struct ExpressionStatement final : Stmt {
    ExprPtr expr;
    Flow exec(Runtime &rt) const override
    {
        expr->eval(rt);
        return Flow::Normal;
    }
};

// An assignment standing as a statement: one dispatch instead of two.
template<class Op, class V>
struct LocalSetStatement final : Stmt {
    int slot;
    V value;
    Flow exec(Runtime &rt) const override
    {
        double v = value.get(rt);
        rt.fp[slot] = Op::apply(rt.fp[slot], v);
        return Flow::Normal;
    }
};

template<class Op, class V>
struct GlobalSetStatement final : Stmt {
    int slot;
    V value;
    Flow exec(Runtime &rt) const override
    {
        double v = value.get(rt);
        rt.gp[slot] = Op::apply(rt.gp[slot], v);
        return Flow::Normal;
    }
};

struct Block final : Stmt {
    std::vector<StmtPtr> body;
    Flow exec(Runtime &rt) const override
    {
        for (const StmtPtr &s : body) {
            Flow f = s->exec(rt);
            if (f != Flow::Normal)
                return f;
        }
        return Flow::Normal;
    }
};

struct If final : Stmt {
    ExprPtr test;
    StmtPtr then, otherwise;
    Flow exec(Runtime &rt) const override
    {
        if (truthy(test->eval(rt)))
            return then->exec(rt);
        return otherwise ? otherwise->exec(rt) : Flow::Normal;
    }
};

struct While final : Stmt {
    ExprPtr test;
    StmtPtr body;
    Flow exec(Runtime &rt) const override
    {
        while (truthy(test->eval(rt))) {
            rt.tick(line, column);
            Flow f = body->exec(rt);
            if (f == Flow::Break)
                break;
            if (f == Flow::Return)
                return f;
        }
        return Flow::Normal;
    }
};

struct DoWhile final : Stmt {
    ExprPtr test;
    StmtPtr body;
    Flow exec(Runtime &rt) const override
    {
        do {
            rt.tick(line, column);
            Flow f = body->exec(rt);
            if (f == Flow::Break)
                break;
            if (f == Flow::Return)
                return f;
        } while (truthy(test->eval(rt)));
        return Flow::Normal;
    }
};

struct For final : Stmt {
    StmtPtr init;
    ExprPtr test, step;
    StmtPtr body;
    Flow exec(Runtime &rt) const override
    {
        if (init)
            init->exec(rt);
        for (;;) {
            if (test && !truthy(test->eval(rt)))
                break;
            rt.tick(line, column);
            Flow f = body->exec(rt);
            if (f == Flow::Break)
                break;
            if (f == Flow::Return)
                return f;
            if (step)
                step->eval(rt);
        }
        return Flow::Normal;
    }
};

struct Jump final : Stmt {
    Flow flow;
    explicit Jump(Flow f) : flow(f) {}
    Flow exec(Runtime &) const override { return flow; }
};

struct Return final : Stmt {
    ExprPtr value;
    Flow exec(Runtime &rt) const override
    {
        rt.ret = value ? value->eval(rt) : 0;
        return Flow::Return;
    }
};

struct Empty final : Stmt {
    Flow exec(Runtime &) const override { return Flow::Normal; }
};

/// Runs a compiled function whose frame is already set up at rt.fp.
inline double runBody(Runtime &rt, const CompiledFunction &f)
{
    if (f.result)
        return f.result->eval(rt);
    rt.ret = 0;
    if (f.body->exec(rt) == Flow::Return)
        return rt.ret;
    return 0;
}

inline double DirectCall::eval(Runtime &rt) const
{
    const CompiledFunction &f = *function;
    double *frame = rt.sp;
    if (frame + f.frameSize + args.size() > rt.stackEnd || rt.depth >= Limits::maxDepth)
        rt.fail(this, "too many nested calls (more than " + std::to_string(Limits::maxDepth) + ")");
    // Arguments are evaluated in the caller's frame, so reserve the new one first.
    rt.sp = frame + std::max<size_t>(size_t(f.frameSize), args.size());
    size_t n = args.size();
    for (size_t i = 0; i < n; ++i)
        frame[i] = args[i]->eval(rt);
    for (const ExprPtr &e : extra)
        e->eval(rt);
    for (int i = int(n); i < f.frameSize; ++i)
        frame[i] = 0;
    double *savedFp = rt.fp;
    rt.fp = frame;
    ++rt.depth;
    rt.tick(line, column);
    double result = runBody(rt, f);
    --rt.depth;
    rt.fp = savedFp;
    rt.sp = frame;
    return result;
}

} // namespace lumora::script::nodes
