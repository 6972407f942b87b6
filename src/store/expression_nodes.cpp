// Tree nodes for fields, literals and operators, and their evaluation.
// Character results are views: into the record, a literal, or the node's own
// scratch buffer, so a record is evaluated without allocating.

#include "store/expression_internal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace qp::store::expr {

double parseNumber(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    const auto digit = [&](std::size_t k) { return k < t.size() && t[k] >= '0' && t[k] <= '9'; };
    // A digit must come first: from_chars would also read "inf" and "nan".
    if (!(digit(i) || (i < t.size() && t[i] == '.' && digit(i + 1)))) {
        return 0;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data() + i, t.data() + t.size(), value);
    (void)end;
    if (ec != std::errc()) {
        return 0;
    }
    return negative ? -value : value;
}

namespace {

std::uint32_t readU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    }
    return v;
}

std::uint64_t readU64(const char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    }
    return v;
}

// ---- fields

class CharField final : public ExpressionNode {
public:
    CharField(int offset, int length)
        : ExpressionNode(ValueType::Character, length), offset_(offset), length_(length) {}
    std::string_view text(const EvalContext& c) const override {
        return {c.bytes + offset_, static_cast<std::size_t>(length_)};
    }

private:
    int offset_;
    int length_;
};

class NumericTextField final : public ExpressionNode {
public:
    NumericTextField(int offset, int length)
        : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth), offset_(offset),
          length_(length) {}
    double number(const EvalContext& c) const override {
        return parseNumber({c.bytes + offset_, static_cast<std::size_t>(length_)});
    }

private:
    int offset_;
    int length_;
};

// I (int32), Y (currency, int64 in ten-thousandths), B (double), all little endian.
class BinaryNumberField final : public ExpressionNode {
public:
    BinaryNumberField(int offset, char kind)
        : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth), offset_(offset),
          kind_(kind) {}
    double number(const EvalContext& c) const override {
        const char* p = c.bytes + offset_;
        switch (kind_) {
        case 'I':
            return static_cast<std::int32_t>(readU32(p));
        case 'Y':
            return static_cast<double>(static_cast<std::int64_t>(readU64(p))) / 10000.0;
        default: {
            const std::uint64_t bits = readU64(p);
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        }
    }

private:
    int offset_;
    char kind_;
};

class LogicalField final : public ExpressionNode {
public:
    explicit LogicalField(int offset)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), offset_(offset) {}
    bool logical(const EvalContext& c) const override {
        const char b = c.bytes[offset_];
        return b == 'T' || b == 't' || b == 'Y' || b == 'y';
    }

private:
    int offset_;
};

constexpr std::int32_t kLastJulianDay = 5373484; // 9999-12-31

// T: julian day and milliseconds, shown as "YYYYMMDDhhmmss" (blank when empty).
class DateTimeField final : public ExpressionNode {
public:
    DateTimeField(int offset, int slot)
        : ExpressionNode(ValueType::Character, 14), offset_(offset), slot_(slot) {}
    std::string_view text(const EvalContext& c) const override {
        std::string& out = c.slots[slot_];
        out.assign(14, ' ');
        const auto jd = static_cast<std::int32_t>(readU32(c.bytes + offset_));
        const auto ms = static_cast<std::int32_t>(readU32(c.bytes + offset_ + 4));
        if (jd <= 0 || jd > kLastJulianDay) { // zero, or blanks from a new record
            return out;
        }
        // Fliegel and Van Flandern.
        long l = jd + 68569L;
        const long n = 4 * l / 146097;
        l -= (146097 * n + 3) / 4;
        const long i = 4000 * (l + 1) / 1461001;
        l = l - 1461 * i / 4 + 31;
        const long j = 80 * l / 2447;
        const long day = l - 2447 * j / 80;
        l = j / 11;
        const long month = j + 2 - 12 * l;
        const long year = 100 * (n - 49) + i + l;
        const long secs = ms < 0 ? 0 : (ms + 500) / 1000;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%04ld%02ld%02ld%02ld%02ld%02ld", year % 10000, month, day,
                      (secs / 3600) % 24, (secs / 60) % 60, secs % 60);
        out.assign(buf, 14);
        return out;
    }

private:
    int offset_;
    int slot_;
};

// ---- literals and record facts

class StringLiteral final : public ExpressionNode {
public:
    explicit StringLiteral(std::string value)
        : ExpressionNode(ValueType::Character, static_cast<int>(value.size())),
          value_(std::move(value)) {}
    std::string_view text(const EvalContext&) const override { return value_; }

private:
    std::string value_;
};

class NumberLiteral final : public ExpressionNode {
public:
    explicit NumberLiteral(double value)
        : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth), value_(value) {}
    double number(const EvalContext&) const override { return value_; }
    std::optional<double> constant() const override { return value_; }

private:
    double value_;
};

class LogicalLiteral final : public ExpressionNode {
public:
    explicit LogicalLiteral(bool value)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), value_(value) {}
    bool logical(const EvalContext&) const override { return value_; }

private:
    bool value_;
};

class DeletedNode final : public ExpressionNode {
public:
    DeletedNode() : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth) {}
    bool logical(const EvalContext& c) const override { return c.bytes[0] == '*'; }
};

class RecnoNode final : public ExpressionNode {
public:
    RecnoNode() : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth) {}
    double number(const EvalContext& c) const override { return c.recno; }
};

// ---- logic and arithmetic

class NotNode final : public ExpressionNode {
public:
    explicit NotNode(NodePtr operand)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth),
          operand_(std::move(operand)) {}
    bool logical(const EvalContext& c) const override { return !operand_->logical(c); }

private:
    NodePtr operand_;
};

class NegateNode final : public ExpressionNode {
public:
    explicit NegateNode(NodePtr operand)
        : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth),
          operand_(std::move(operand)) {}
    double number(const EvalContext& c) const override { return -operand_->number(c); }
    std::optional<double> constant() const override {
        const auto v = operand_->constant();
        return v ? std::optional<double>(-*v) : std::nullopt;
    }

private:
    NodePtr operand_;
};

class AndNode final : public ExpressionNode {
public:
    AndNode(NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), l_(std::move(l)),
          r_(std::move(r)) {}
    bool logical(const EvalContext& c) const override { return l_->logical(c) && r_->logical(c); }

private:
    NodePtr l_, r_;
};

class OrNode final : public ExpressionNode {
public:
    OrNode(NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), l_(std::move(l)),
          r_(std::move(r)) {}
    bool logical(const EvalContext& c) const override { return l_->logical(c) || r_->logical(c); }

private:
    NodePtr l_, r_;
};

class ArithmeticNode final : public ExpressionNode {
public:
    ArithmeticNode(BinaryOp op, NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Numeric, ExpressionNode::kUnknownWidth), op_(op),
          l_(std::move(l)), r_(std::move(r)) {}
    double number(const EvalContext& c) const override {
        const double a = l_->number(c);
        const double b = r_->number(c);
        switch (op_) {
        case BinaryOp::Add:
            return a + b;
        case BinaryOp::Subtract:
            return a - b;
        case BinaryOp::Multiply:
            return a * b;
        case BinaryOp::Divide:
            return b == 0 ? 0 : a / b; // no error channel per record; 0 beats inf in STR()
        case BinaryOp::Modulo: {
            if (b == 0) {
                return 0;
            }
            const double m = std::fmod(a, b);
            return (m != 0 && ((m < 0) != (b < 0))) ? m + b : m; // sign of the divisor
        }
        default:
            return std::pow(a, b);
        }
    }

private:
    BinaryOp op_;
    NodePtr l_, r_;
};

int sumWidths(const ExpressionNode& a, const ExpressionNode& b) {
    if (a.width() == ExpressionNode::kUnknownWidth || b.width() == ExpressionNode::kUnknownWidth) {
        return ExpressionNode::kUnknownWidth;
    }
    return a.width() + b.width();
}

class ConcatNode final : public ExpressionNode {
public:
    ConcatNode(NodePtr l, NodePtr r, int slot)
        : ExpressionNode(ValueType::Character, sumWidths(*l, *r)), l_(std::move(l)),
          r_(std::move(r)), slot_(slot) {}
    std::string_view text(const EvalContext& c) const override {
        std::string& out = c.slots[slot_];
        out.assign(l_->text(c));
        out.append(r_->text(c));
        return out;
    }

private:
    NodePtr l_, r_;
    int slot_;
};

// a - b: a's trailing blanks move to the end, as in LNAME-FNAME keys.
class TrimConcatNode final : public ExpressionNode {
public:
    TrimConcatNode(NodePtr l, NodePtr r, int slot)
        : ExpressionNode(ValueType::Character, sumWidths(*l, *r)), l_(std::move(l)),
          r_(std::move(r)), slot_(slot) {}
    std::string_view text(const EvalContext& c) const override {
        std::string& out = c.slots[slot_];
        const std::string_view a = l_->text(c);
        std::size_t keep = a.size();
        while (keep > 0 && a[keep - 1] == ' ') {
            --keep;
        }
        out.assign(a.data(), keep);
        out.append(r_->text(c));
        out.append(a.size() - keep, ' ');
        return out;
    }

private:
    NodePtr l_, r_;
    int slot_;
};

// ---- comparisons

int compareBytes(const char* a, const char* b, std::size_t n) {
    return n == 0 ? 0 : std::memcmp(a, b, n); // memcmp compares as unsigned char
}

// The rest of the longer string against the blanks the shorter one lacks.
int compareTailWithBlanks(std::string_view tail, bool tailIsLeft) {
    for (const char ch : tail) {
        const auto b = static_cast<unsigned char>(ch);
        if (b != ' ') {
            const int d = b < ' ' ? -1 : 1;
            return tailIsLeft ? d : -d;
        }
    }
    return 0;
}

// Left cut (or blank padded) to the right's length, then compared.
int compareOverRight(std::string_view l, std::string_view r) {
    const std::size_t m = std::min(l.size(), r.size());
    if (const int d = compareBytes(l.data(), r.data(), m)) {
        return d;
    }
    return l.size() >= r.size() ? 0 : compareTailWithBlanks(r.substr(m), false);
}

// Shorter side blank padded: trailing blanks do not count.
int compareBlankPadded(std::string_view l, std::string_view r) {
    const std::size_t m = std::min(l.size(), r.size());
    if (const int d = compareBytes(l.data(), r.data(), m)) {
        return d;
    }
    return l.size() >= r.size() ? compareTailWithBlanks(l.substr(m), true)
                                : compareTailWithBlanks(r.substr(m), false);
}

bool orderResult(BinaryOp op, int d) {
    switch (op) {
    case BinaryOp::Lt:
        return d < 0;
    case BinaryOp::Le:
        return d <= 0;
    case BinaryOp::Gt:
        return d > 0;
    case BinaryOp::Ge:
        return d >= 0;
    case BinaryOp::Ne:
        return d != 0;
    default:
        return d == 0;
    }
}

class StringCompareNode final : public ExpressionNode {
public:
    StringCompareNode(BinaryOp op, NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), op_(op),
          l_(std::move(l)), r_(std::move(r)) {}
    bool logical(const EvalContext& c) const override {
        const std::string_view a = l_->text(c);
        const std::string_view b = r_->text(c);
        switch (op_) {
        case BinaryOp::ExactEq:
            return a.size() == b.size() && compareBytes(a.data(), b.data(), a.size()) == 0;
        case BinaryOp::Contains:
            return !a.empty() && b.find(a) != std::string_view::npos;
        case BinaryOp::Eq:
        case BinaryOp::Ne: {
            const bool equal =
                c.exact ? compareBlankPadded(a, b) == 0
                        : a.size() >= b.size() && compareBytes(a.data(), b.data(), b.size()) == 0;
            return (op_ == BinaryOp::Eq) == equal;
        }
        default:
            return orderResult(op_, c.exact ? compareBlankPadded(a, b) : compareOverRight(a, b));
        }
    }

private:
    BinaryOp op_;
    NodePtr l_, r_;
};

class NumberCompareNode final : public ExpressionNode {
public:
    NumberCompareNode(BinaryOp op, NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), op_(op),
          l_(std::move(l)), r_(std::move(r)) {}
    bool logical(const EvalContext& c) const override {
        const double a = l_->number(c);
        const double b = r_->number(c);
        return orderResult(op_, a < b ? -1 : (a > b ? 1 : 0));
    }

private:
    BinaryOp op_;
    NodePtr l_, r_;
};

class LogicalCompareNode final : public ExpressionNode {
public:
    LogicalCompareNode(BinaryOp op, NodePtr l, NodePtr r)
        : ExpressionNode(ValueType::Logical, ExpressionNode::kUnknownWidth), op_(op),
          l_(std::move(l)), r_(std::move(r)) {}
    bool logical(const EvalContext& c) const override {
        const bool equal = l_->logical(c) == r_->logical(c);
        return op_ == BinaryOp::Ne ? !equal : equal;
    }

private:
    BinaryOp op_;
    NodePtr l_, r_;
};

bool isComparison(BinaryOp op) {
    return op == BinaryOp::Eq || op == BinaryOp::ExactEq || op == BinaryOp::Ne ||
           op == BinaryOp::Lt || op == BinaryOp::Le || op == BinaryOp::Gt || op == BinaryOp::Ge;
}

const char* opName(BinaryOp op) {
    switch (op) {
    case BinaryOp::Add:
        return "\"+\"";
    case BinaryOp::Subtract:
        return "\"-\"";
    case BinaryOp::Multiply:
        return "\"*\"";
    case BinaryOp::Divide:
        return "\"/\"";
    case BinaryOp::Modulo:
        return "\"%\"";
    case BinaryOp::Power:
        return "\"^\"";
    case BinaryOp::Contains:
        return "\"$\"";
    case BinaryOp::And:
        return ".AND.";
    case BinaryOp::Or:
        return ".OR.";
    default:
        return "comparison";
    }
}

} // namespace

bool isMemoField(const FieldDef& field) {
    return field.type == 'M' || field.type == 'G' || field.type == 'P' ||
           (field.type == 'B' && field.length != 8); // dBase binary memo, not a double
}

NodePtr makeField(const FieldDef& f, SlotCounter& slots) {
    switch (f.type) {
    case 'N':
    case 'F':
        return std::make_shared<NumericTextField>(f.offset, f.length);
    case 'I':
    case 'Y':
    case 'B':
        return std::make_shared<BinaryNumberField>(f.offset, f.type);
    case 'L':
        return std::make_shared<LogicalField>(f.offset);
    case 'T':
        return std::make_shared<DateTimeField>(f.offset, slots.next());
    default: // C, D as its text, and anything else as raw bytes
        return std::make_shared<CharField>(f.offset, f.length);
    }
}

NodePtr makeStringLiteral(std::string value) {
    return std::make_shared<StringLiteral>(std::move(value));
}
NodePtr makeNumberLiteral(double value) {
    return std::make_shared<NumberLiteral>(value);
}
NodePtr makeLogicalLiteral(bool value) {
    return std::make_shared<LogicalLiteral>(value);
}
NodePtr makeDeleted() {
    return std::make_shared<DeletedNode>();
}
NodePtr makeRecno() {
    return std::make_shared<RecnoNode>();
}
NodePtr makeNot(NodePtr operand) {
    return std::make_shared<NotNode>(std::move(operand));
}
NodePtr makeNegate(NodePtr operand) {
    return std::make_shared<NegateNode>(std::move(operand));
}

std::string binaryTypeError(BinaryOp op, const ExpressionNode& l, const ExpressionNode& r) {
    const ValueType a = l.type();
    const ValueType b = r.type();
    const std::string name = opName(op);
    switch (op) {
    case BinaryOp::Add:
    case BinaryOp::Subtract:
        if (a == b && a != ValueType::Logical) {
            return {};
        }
        return name + " needs two character or two numeric operands";
    case BinaryOp::Multiply:
    case BinaryOp::Divide:
    case BinaryOp::Modulo:
    case BinaryOp::Power:
        if (a == ValueType::Numeric && b == ValueType::Numeric) {
            return {};
        }
        return name + " needs numeric operands";
    case BinaryOp::Contains:
        if (a == ValueType::Character && b == ValueType::Character) {
            return {};
        }
        return name + " needs character operands";
    case BinaryOp::And:
    case BinaryOp::Or:
        if (a == ValueType::Logical && b == ValueType::Logical) {
            return {};
        }
        return name + " needs logical operands";
    default:
        if (a != b) {
            return "cannot compare values of different types";
        }
        if (a == ValueType::Logical &&
            !(op == BinaryOp::Eq || op == BinaryOp::ExactEq || op == BinaryOp::Ne)) {
            return "logical values are only equal or unequal";
        }
        return {};
    }
}

NodePtr makeBinary(BinaryOp op, NodePtr l, NodePtr r, SlotCounter& slots) {
    const ValueType t = l->type();
    if (op == BinaryOp::And) {
        return std::make_shared<AndNode>(std::move(l), std::move(r));
    }
    if (op == BinaryOp::Or) {
        return std::make_shared<OrNode>(std::move(l), std::move(r));
    }
    if (op == BinaryOp::Contains) {
        return std::make_shared<StringCompareNode>(op, std::move(l), std::move(r));
    }
    if (isComparison(op)) {
        if (t == ValueType::Character) {
            return std::make_shared<StringCompareNode>(op, std::move(l), std::move(r));
        }
        if (t == ValueType::Numeric) {
            return std::make_shared<NumberCompareNode>(op, std::move(l), std::move(r));
        }
        return std::make_shared<LogicalCompareNode>(op, std::move(l), std::move(r));
    }
    if (t == ValueType::Character) {
        if (op == BinaryOp::Add) {
            return std::make_shared<ConcatNode>(std::move(l), std::move(r), slots.next());
        }
        return std::make_shared<TrimConcatNode>(std::move(l), std::move(r), slots.next());
    }
    return std::make_shared<ArithmeticNode>(op, std::move(l), std::move(r));
}

} // namespace qp::store::expr
