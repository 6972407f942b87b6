// Recursive descent over the tokens, type checking as the tree is built.
// Precedence, loosest first: OR, AND, NOT, comparisons and $, + -, * / %,
// unary minus, ^.

#include "store/expression_internal.h"

#include <algorithm>
#include <cctype>

namespace qp::store {

namespace expr {

constexpr std::size_t kMaxTokens = 10000;

namespace {

constexpr int kMaxDepth = 200; // keeps hostile nesting from exhausting the stack

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool isWord(const Token& t, std::string_view upperWord) {
    return t.kind == Tok::Ident && upperAscii(t.text) == upperWord;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    out += s;
    out += '"';
    return out;
}

class Parser {
public:
    Parser(const std::vector<Token>& tokens, const std::vector<FieldDef>& fields)
        : tokens_(tokens), fields_(fields) {}

    NodePtr parseAll() {
        NodePtr root = parseOr();
        if (!root) {
            return nullptr;
        }
        const Token& t = peek();
        if (t.kind != Tok::End) {
            if (t.kind == Tok::RParen) {
                return syntax(t, "unexpected \")\"");
            }
            return syntax(t, "operator or end of expression expected");
        }
        return root;
    }

    const std::string& error() const { return error_; }
    SlotCounter& slots() { return slots_; }
    int recordSpan() const { return recordSpan_; }
    const std::vector<std::pair<int, int>>& fieldBytes() const { return fieldBytes_; }

private:
    const Token& peek(int ahead = 0) const {
        const std::size_t k = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[k];
    }
    const Token& take() {
        const Token& t = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) {
            ++pos_;
        }
        return t;
    }

    NodePtr failAt(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
        }
        return nullptr;
    }
    NodePtr syntax(const Token& t, std::string_view what) {
        return failAt(positionError(t.pos, what));
    }
    NodePtr mismatch(const Token& t, std::string_view what) {
        std::string message = "Type mismatch at position " + std::to_string(t.pos + 1) + ": ";
        message += what;
        return failAt(std::move(message));
    }

    NodePtr binary(const Token& op, BinaryOp kind, NodePtr left, NodePtr right) {
        const std::string problem = binaryTypeError(kind, *left, *right);
        if (!problem.empty()) {
            return mismatch(op, problem);
        }
        return makeBinary(kind, std::move(left), std::move(right), slots_);
    }

    NodePtr parseOr() {
        NodePtr left = parseAnd();
        while (left && (peek().kind == Tok::Or || isWord(peek(), "OR"))) {
            const Token& op = take();
            NodePtr right = parseAnd();
            if (!right) {
                return nullptr;
            }
            left = binary(op, BinaryOp::Or, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseAnd() {
        NodePtr left = parseNot();
        while (left && (peek().kind == Tok::And || isWord(peek(), "AND"))) {
            const Token& op = take();
            NodePtr right = parseNot();
            if (!right) {
                return nullptr;
            }
            left = binary(op, BinaryOp::And, std::move(left), std::move(right));
        }
        return left;
    }

    // NOT as a word, unless a field of that name stands alone.
    bool atNotWord() const {
        if (!isWord(peek(), "NOT")) {
            return false;
        }
        const Tok next = peek(1).kind;
        const bool operandFollows = next == Tok::Ident || next == Tok::Number ||
                                    next == Tok::String || next == Tok::True ||
                                    next == Tok::False || next == Tok::LParen || next == Tok::Not ||
                                    next == Tok::Minus || next == Tok::Plus;
        return operandFollows;
    }

    NodePtr parseNot() {
        if (peek().kind == Tok::Not || atNotWord()) {
            const Token& op = take();
            if (++depth_ > kMaxDepth) {
                return syntax(op, "expression nested too deeply");
            }
            NodePtr operand = parseNot();
            --depth_;
            if (!operand) {
                return nullptr;
            }
            if (operand->type() != ValueType::Logical) {
                return mismatch(op, "NOT needs a logical operand");
            }
            return makeNot(std::move(operand));
        }
        return parseComparison();
    }

    static bool comparisonOp(Tok kind, BinaryOp& out) {
        switch (kind) {
        case Tok::Eq:
            out = BinaryOp::Eq;
            return true;
        case Tok::ExactEq:
            out = BinaryOp::ExactEq;
            return true;
        case Tok::Ne:
            out = BinaryOp::Ne;
            return true;
        case Tok::Lt:
            out = BinaryOp::Lt;
            return true;
        case Tok::Le:
            out = BinaryOp::Le;
            return true;
        case Tok::Gt:
            out = BinaryOp::Gt;
            return true;
        case Tok::Ge:
            out = BinaryOp::Ge;
            return true;
        case Tok::Dollar:
            out = BinaryOp::Contains;
            return true;
        default:
            return false;
        }
    }

    NodePtr parseComparison() {
        NodePtr left = parseAdditive();
        BinaryOp kind{};
        while (left && comparisonOp(peek().kind, kind)) {
            const Token& op = take();
            NodePtr right = parseAdditive();
            if (!right) {
                return nullptr;
            }
            left = binary(op, kind, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseAdditive() {
        NodePtr left = parseMultiplicative();
        while (left && (peek().kind == Tok::Plus || peek().kind == Tok::Minus)) {
            const Token& op = take();
            NodePtr right = parseMultiplicative();
            if (!right) {
                return nullptr;
            }
            const BinaryOp kind = op.kind == Tok::Plus ? BinaryOp::Add : BinaryOp::Subtract;
            left = binary(op, kind, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseMultiplicative() {
        NodePtr left = parseUnary();
        while (left && (peek().kind == Tok::Star || peek().kind == Tok::Slash ||
                        peek().kind == Tok::Percent)) {
            const Token& op = take();
            NodePtr right = parseUnary();
            if (!right) {
                return nullptr;
            }
            const BinaryOp kind = op.kind == Tok::Star    ? BinaryOp::Multiply
                                  : op.kind == Tok::Slash ? BinaryOp::Divide
                                                          : BinaryOp::Modulo;
            left = binary(op, kind, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseUnary() {
        if (peek().kind == Tok::Minus || peek().kind == Tok::Plus) {
            const Token& op = take();
            if (++depth_ > kMaxDepth) {
                return syntax(op, "expression nested too deeply");
            }
            NodePtr operand = parseUnary();
            --depth_;
            if (!operand) {
                return nullptr;
            }
            if (operand->type() != ValueType::Numeric) {
                return mismatch(op, "sign needs a numeric operand");
            }
            return op.kind == Tok::Minus ? makeNegate(std::move(operand)) : operand;
        }
        return parsePower();
    }

    NodePtr parsePower() {
        NodePtr base = parsePrimary();
        if (base && peek().kind == Tok::Power) {
            const Token& op = take();
            NodePtr exponent = parseUnary();
            if (!exponent) {
                return nullptr;
            }
            return binary(op, BinaryOp::Power, std::move(base), std::move(exponent));
        }
        return base;
    }

    NodePtr parsePrimary() {
        const Token& t = peek();
        switch (t.kind) {
        case Tok::Number:
            take();
            return makeNumberLiteral(t.number);
        case Tok::String:
            take();
            return makeStringLiteral(std::string(t.text));
        case Tok::True:
        case Tok::False:
            take();
            return makeLogicalLiteral(t.kind == Tok::True);
        case Tok::LParen: {
            take();
            if (++depth_ > kMaxDepth) {
                return syntax(t, "expression nested too deeply");
            }
            NodePtr inner = parseOr();
            --depth_;
            if (!inner) {
                return nullptr;
            }
            if (peek().kind != Tok::RParen) {
                return syntax(peek(), "\")\" expected");
            }
            take();
            return inner;
        }
        case Tok::Ident:
            if (peek(1).kind == Tok::LParen) {
                return parseCall();
            }
            return parseName();
        case Tok::End:
            return syntax(t, "expression expected");
        default:
            return syntax(t, "operand expected");
        }
    }

    NodePtr parseName() {
        const Token& t = take();
        const std::string name = upperAscii(t.text);
        for (const FieldDef& f : fields_) {
            if (upperAscii(f.name) == name) {
                if (isMemoField(f)) {
                    return failAt("At position " + std::to_string(t.pos + 1) + ": memo field " +
                                  f.name + " cannot be used in an expression");
                }
                recordSpan_ = std::max(recordSpan_, f.offset + f.length);
                fieldBytes_.emplace_back(f.offset, f.length);
                return makeField(f, slots_);
            }
        }
        if (name == "ISDEL") {
            return makeDeleted();
        }
        if (name == "AND" || name == "OR") {
            return syntax(t, "operand expected");
        }
        return failAt("Unknown field " + quoted(t.text) + " at position " +
                      std::to_string(t.pos + 1));
    }

    NodePtr parseCall() {
        const Token& nameTok = take();
        const Token& open = take();
        const FunctionSpec* spec = findFunction(upperAscii(nameTok.text));
        if (!spec) {
            return failAt("Unknown function " + quoted(nameTok.text) + " at position " +
                          std::to_string(nameTok.pos + 1));
        }
        if (++depth_ > kMaxDepth) {
            return syntax(open, "expression nested too deeply");
        }
        std::vector<NodePtr> args;
        if (peek().kind != Tok::RParen) {
            for (;;) {
                NodePtr arg = parseOr();
                if (!arg) {
                    return nullptr;
                }
                args.push_back(std::move(arg));
                if (peek().kind == Tok::Comma) {
                    take();
                    continue;
                }
                if (peek().kind != Tok::RParen) {
                    return syntax(peek(), "\")\" expected");
                }
                break;
            }
        }
        take(); // ')'
        --depth_;
        const std::string problem = functionArgumentError(*spec, args);
        if (!problem.empty()) {
            return failAt("Invalid arguments at position " + std::to_string(nameTok.pos + 1) +
                          ": " + problem);
        }
        return makeCall(*spec, std::move(args), slots_);
    }

    const std::vector<Token>& tokens_;
    const std::vector<FieldDef>& fields_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    int recordSpan_ = 1;
    std::vector<std::pair<int, int>> fieldBytes_;
    SlotCounter slots_;
    std::string error_;
};

} // namespace
} // namespace expr

Result<Expression> Expression::parse(std::string_view text, const std::vector<FieldDef>& fields) {
    auto tokens = expr::tokenize(text);
    if (!tokens) {
        return fail(tokens.error());
    }
    // Long operator chains make deep trees; evaluation recurses through them.
    if (tokens->size() > expr::kMaxTokens) {
        return fail(expr::positionError((*tokens)[expr::kMaxTokens].pos, "expression too long"));
    }
    expr::Parser parser(*tokens, fields);
    expr::NodePtr root = parser.parseAll();
    if (!root) {
        return fail(parser.error().empty() ? expr::positionError(0, "cannot be read")
                                           : parser.error());
    }
    Expression e;
    e.text_ = std::string(text);
    e.root_ = std::move(root);
    e.slotCount_ = parser.slots().count;
    e.recordSpan_ = parser.recordSpan();
    e.fieldBytes_ = parser.fieldBytes();
    return e;
}

} // namespace qp::store
