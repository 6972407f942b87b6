// Recursive descent over the tokens, type checking as the tree is built.
// Precedence, loosest first: OR, AND, NOT, comparisons and $, + -, * / %,
// unary minus, ^.

#include "store/expression_internal.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

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

// What the analysis after parsing needs of each node: the tokens it was read
// from and, for an operator, its kind and operands.
struct Facts {
    std::size_t first = 0, end = 0; // token span
    bool binary = false;
    BinaryOp op{};
    const ExpressionNode* left = nullptr;
    const ExpressionNode* right = nullptr;
    bool stringLiteral = false;
    std::string literal;
};

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

    // The equality tests with a text literal on the right that `root` needs
    // to be true: itself, or the terms of a top-level .AND. chain.
    void collectRequired(const ExpressionNode* root, std::vector<RequiredEquality>& out) const {
        const Facts* f = factsOf(root);
        if (!f || !f->binary)
            return;
        if (f->op == BinaryOp::And) {
            collectRequired(f->left, out);
            collectRequired(f->right, out);
            return;
        }
        if ((f->op != BinaryOp::Eq && f->op != BinaryOp::ExactEq) ||
            f->left->type() != ValueType::Character)
            return;
        const Facts* right = factsOf(f->right);
        if (!right || !right->stringLiteral)
            return;
        out.push_back({normalForm(f->left), right->literal, f->op == BinaryOp::ExactEq});
    }

    // The first term of a top-level '+' chain of texts, else `root` itself.
    const ExpressionNode* leadingOperand(const ExpressionNode* root) const {
        const ExpressionNode* n = root;
        while (n->type() == ValueType::Character) {
            const Facts* f = factsOf(n);
            if (!f || !f->binary || f->op != BinaryOp::Add)
                break;
            n = f->left;
        }
        return n;
    }

    // The tokens `n` was read from, names in upper case: two nodes read from
    // the same tokens against the same fields compute the same value.
    std::string normalForm(const ExpressionNode* n) const {
        const Facts* f = factsOf(n);
        if (!f)
            return {};
        std::string out;
        for (std::size_t k = f->first; k < f->end; ++k) {
            const Token& t = tokens_[k];
            out += static_cast<char>('A' + static_cast<int>(t.kind));
            if (t.kind == Tok::Ident) {
                out += upperAscii(t.text);
            } else if (t.kind == Tok::String || t.kind == Tok::Number) {
                out += std::to_string(t.text.size());
                out += ':';
                out += t.text;
            }
            out += ' ';
        }
        return out;
    }

    // Whether `n` compares values anywhere inside (results that SET EXACT sways).
    bool compares(const ExpressionNode* n) const {
        const Facts* f = factsOf(n);
        if (!f)
            return true;
        for (std::size_t k = f->first; k < f->end; ++k) {
            BinaryOp kind{};
            if (comparisonOp(tokens_[k].kind, kind) && kind != BinaryOp::Contains)
                return true;
        }
        return false;
    }

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

    const Facts* factsOf(const ExpressionNode* n) const {
        auto it = facts_.find(n);
        return it == facts_.end() ? nullptr : &it->second;
    }

    // Records the tokens from `first` up to here as the node's span. A node
    // met again (parenthesised) keeps its inner span.
    NodePtr note(NodePtr n, std::size_t first, Facts facts = {}) {
        if (n && !facts_.contains(n.get())) {
            facts.first = first;
            facts.end = pos_;
            facts_.emplace(n.get(), std::move(facts));
            kept_.push_back(n); // no node freed while parsing lends its address to another
        }
        return n;
    }

    NodePtr binary(const Token& op, BinaryOp kind, NodePtr left, NodePtr right, std::size_t first) {
        const std::string problem = binaryTypeError(kind, *left, *right);
        if (!problem.empty()) {
            return mismatch(op, problem);
        }
        Facts facts;
        facts.binary = true;
        facts.op = kind;
        facts.left = left.get();
        facts.right = right.get();
        return note(makeBinary(kind, std::move(left), std::move(right), slots_), first,
                    std::move(facts));
    }

    NodePtr parseOr() {
        const std::size_t first = pos_;
        NodePtr left = parseAnd();
        while (left && (peek().kind == Tok::Or || isWord(peek(), "OR"))) {
            const Token& op = take();
            NodePtr right = parseAnd();
            if (!right) {
                return nullptr;
            }
            left = binary(op, BinaryOp::Or, std::move(left), std::move(right), first);
        }
        return left;
    }

    NodePtr parseAnd() {
        const std::size_t first = pos_;
        NodePtr left = parseNot();
        while (left && (peek().kind == Tok::And || isWord(peek(), "AND"))) {
            const Token& op = take();
            NodePtr right = parseNot();
            if (!right) {
                return nullptr;
            }
            left = binary(op, BinaryOp::And, std::move(left), std::move(right), first);
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
            const std::size_t first = pos_;
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
            return note(makeNot(std::move(operand)), first);
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
        const std::size_t first = pos_;
        NodePtr left = parseAdditive();
        BinaryOp kind{};
        while (left && comparisonOp(peek().kind, kind)) {
            const Token& op = take();
            NodePtr right = parseAdditive();
            if (!right) {
                return nullptr;
            }
            left = binary(op, kind, std::move(left), std::move(right), first);
        }
        return left;
    }

    NodePtr parseAdditive() {
        const std::size_t first = pos_;
        NodePtr left = parseMultiplicative();
        while (left && (peek().kind == Tok::Plus || peek().kind == Tok::Minus)) {
            const Token& op = take();
            NodePtr right = parseMultiplicative();
            if (!right) {
                return nullptr;
            }
            const BinaryOp kind = op.kind == Tok::Plus ? BinaryOp::Add : BinaryOp::Subtract;
            left = binary(op, kind, std::move(left), std::move(right), first);
        }
        return left;
    }

    NodePtr parseMultiplicative() {
        const std::size_t first = pos_;
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
            left = binary(op, kind, std::move(left), std::move(right), first);
        }
        return left;
    }

    NodePtr parseUnary() {
        if (peek().kind == Tok::Minus || peek().kind == Tok::Plus) {
            const std::size_t first = pos_;
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
            return op.kind == Tok::Minus ? note(makeNegate(std::move(operand)), first) : operand;
        }
        return parsePower();
    }

    NodePtr parsePower() {
        const std::size_t first = pos_;
        NodePtr base = parsePrimary();
        if (base && peek().kind == Tok::Power) {
            const Token& op = take();
            NodePtr exponent = parseUnary();
            if (!exponent) {
                return nullptr;
            }
            return binary(op, BinaryOp::Power, std::move(base), std::move(exponent), first);
        }
        return base;
    }

    NodePtr parsePrimary() {
        const std::size_t first = pos_;
        const Token& t = peek();
        switch (t.kind) {
        case Tok::Number:
            take();
            return note(makeNumberLiteral(t.number), first);
        case Tok::String: {
            take();
            Facts facts;
            facts.stringLiteral = true;
            facts.literal = std::string(t.text);
            return note(makeStringLiteral(std::string(t.text)), first, std::move(facts));
        }
        case Tok::True:
        case Tok::False:
            take();
            return note(makeLogicalLiteral(t.kind == Tok::True), first);
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
            return note(inner, first);
        }
        case Tok::Ident:
            if (peek(1).kind == Tok::LParen) {
                return note(parseCall(), first);
            }
            return note(parseName(), first);
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
    std::unordered_map<const ExpressionNode*, Facts> facts_;
    std::vector<NodePtr> kept_;
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
    if (e.root_->type() == ValueType::Logical)
        parser.collectRequired(e.root_.get(), e.required_);
    if (e.root_->type() == ValueType::Character) {
        const ExpressionNode* lead = parser.leadingOperand(e.root_.get());
        if (!parser.compares(lead)) {
            e.leading_ = parser.normalForm(lead);
            e.leadingWidth_ = lead->width() == ExpressionNode::kUnknownWidth ? 0 : lead->width();
        }
    }
    return e;
}

} // namespace qp::store
