#pragma once
// Pieces shared by the expression lexer, parser and evaluator; not for use
// outside the expression sources.

#include "expression.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::store {

namespace expr {

enum class Tok {
    End,
    Ident,
    Number,
    String,
    True,
    False,
    LParen,
    RParen,
    Comma,
    Plus,
    Minus,
    Star,
    Slash,
    Percent,
    Power,
    Eq,      // =
    ExactEq, // ==
    Ne,      // <> # !=
    Lt,
    Le,
    Gt,
    Ge,
    Dollar,
    Not, // ! .NOT.
    And, // .AND.
    Or,  // .OR.
};

struct Token {
    Tok kind = Tok::End;
    int pos = 0;           // 0-based byte offset in the text
    std::string_view text; // identifier name or string contents
    double number = 0;
};

// Tokens of the whole text, ending with Tok::End; or a positioned error.
Result<std::vector<Token>> tokenize(std::string_view text);

std::string positionError(int pos, std::string_view what);

// What nodes see while evaluating: the record, SET EXACT, and one scratch
// buffer per node that builds text, reused from record to record.
struct EvalContext {
    const char* bytes;
    std::uint32_t recno;
    bool exact;
    std::string* slots;
};

} // namespace expr

class ExpressionNode {
public:
    static constexpr int kUnknownWidth = -1;

    ExpressionNode(ValueType type, int width) : type_(type), width_(width) {}
    virtual ~ExpressionNode() = default;

    ValueType type() const { return type_; }
    // Fixed width of a character result, or kUnknownWidth.
    int width() const { return width_; }

    // Only the one matching type() is called. A returned view lives until the
    // same node is evaluated again.
    virtual std::string_view text(const expr::EvalContext&) const { return {}; }
    virtual double number(const expr::EvalContext&) const { return 0; }
    virtual bool logical(const expr::EvalContext&) const { return false; }

    // The value of a numeric literal, to give LEFT(s, 3) and the like a width.
    virtual std::optional<double> constant() const { return std::nullopt; }

private:
    ValueType type_;
    int width_;
};

namespace expr {

using NodePtr = std::shared_ptr<const ExpressionNode>;

// Hands out scratch buffer numbers while a tree is built.
struct SlotCounter {
    int count = 0;
    int next() { return count++; }
};

enum class BinaryOp {
    Add,
    Subtract,
    Multiply,
    Divide,
    Modulo,
    Power,
    Eq,
    ExactEq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Contains,
    And,
    Or,
};

// Field nodes; the caller has refused memo-like fields already.
bool isMemoField(const FieldDef& field);
NodePtr makeField(const FieldDef& field, SlotCounter& slots);
NodePtr makeStringLiteral(std::string value);
NodePtr makeNumberLiteral(double value);
NodePtr makeLogicalLiteral(bool value);
NodePtr makeDeleted();
NodePtr makeRecno();
NodePtr makeNot(NodePtr operand);
NodePtr makeNegate(NodePtr operand);
// Operand types must have been checked: see binaryTypeError.
NodePtr makeBinary(BinaryOp op, NodePtr left, NodePtr right, SlotCounter& slots);
// Empty when the operand types suit the operator, else what is wrong.
std::string binaryTypeError(BinaryOp op, const ExpressionNode& left, const ExpressionNode& right);

struct FunctionSpec;
// Exact name, or a unique abbreviation of at least four letters (xBase habit).
const FunctionSpec* findFunction(std::string_view upperName);
// Empty when the arguments suit the function, else what is wrong.
std::string functionArgumentError(const FunctionSpec& spec, const std::vector<NodePtr>& args);
NodePtr makeCall(const FunctionSpec& spec, std::vector<NodePtr> args, SlotCounter& slots);

// Shared by the evaluator and VAL(): leading blanks, sign, digits, point.
double parseNumber(std::string_view text);

} // namespace expr

} // namespace qp::store
