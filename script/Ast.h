#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lumora::script {

/// What a syntax node is. Expressions first, then statements.
enum class Kind {
    Number,    // num
    Name,      // text
    Unary,     // text: "-", "+", "!", "~"; kids[0]
    Binary,    // text: the operator; kids[0], kids[1]
    Logical,   // text: "&&" or "||"
    Conditional, // kids: test, then, else
    Assign,    // text: "=", "+=", ...; kids: target, value
    Update,    // text: "++" or "--"; flag: prefix; kids[0] the target
    Call,      // kids[0] callee, then the arguments
    Index,     // kids: array, index
    Member,    // text: the property; kids[0]
    ArrayLiteral,
    Function,  // fn: index into the parsed functions (arrow functions and function expressions)
    // Statements
    ExpressionStatement,
    Var,       // flag: exported; kids: Name nodes, each with an optional initial value kid
    If,        // kids: test, then, [else]
    While,     // kids: test, body
    DoWhile,   // kids: body, test
    For,       // kids: init, test, step, body (any of the first three may be null)
    Break,
    Continue,
    Return,    // optional kid
    Block,
    FunctionDeclaration, // fn; text: the name
    Empty,
};

/// A node of the syntax tree with where it starts in the source.
struct Node {
    Kind kind;
    int line = 0;
    int column = 0;
    std::string text;
    double num = 0;
    int fn = -1;
    bool flag = false;
    std::vector<std::unique_ptr<Node>> kids;
};

using NodePtr = std::unique_ptr<Node>;

/// A function of the source: declared, a function expression or an arrow function.
struct FunctionSyntax {
    std::string name; // empty for anonymous ones
    std::vector<std::string> params;
    std::vector<std::pair<int, int>> paramPositions;
    NodePtr body;            // a Block, or the expression of an arrow function
    bool expressionBody = false;
    bool exported = false;
    int line = 0;
    int column = 0;
};

/// A parsed pattern: its top-level statements and every function in it.
struct Script {
    std::vector<NodePtr> statements;
    std::vector<FunctionSyntax> functions;
};

} // namespace lumora::script
