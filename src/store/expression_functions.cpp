// The built-in functions: argument checking, result widths, evaluation.

#include "store/expression_internal.h"
#include "store/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "store/codepage.h"

namespace qp::store::expr {

enum class Fn {
    Upper,
    Lower,
    Trim,
    LTrim,
    AllTrim,
    Left,
    Right,
    Substr,
    Str,
    Val,
    Len,
    At,
    Empty,
    Iif,
    Deleted,
    Recno,
    Dtos,
};

struct FunctionSpec {
    std::string_view name;
    Fn fn;
    int minArgs;
    std::string_view argTypes; // C, N, L, or ? for any; its length is the most allowed
};

namespace {

constexpr std::array<FunctionSpec, 18> kFunctions = {{
    {"UPPER", Fn::Upper, 1, "C"},
    {"LOWER", Fn::Lower, 1, "C"},
    {"TRIM", Fn::Trim, 1, "C"},
    {"RTRIM", Fn::Trim, 1, "C"},
    {"LTRIM", Fn::LTrim, 1, "C"},
    {"ALLTRIM", Fn::AllTrim, 1, "C"},
    {"LEFT", Fn::Left, 2, "CN"},
    {"RIGHT", Fn::Right, 2, "CN"},
    {"SUBSTR", Fn::Substr, 2, "CNN"},
    {"STR", Fn::Str, 1, "NNN"},
    {"VAL", Fn::Val, 1, "C"},
    {"LEN", Fn::Len, 1, "C"},
    {"AT", Fn::At, 2, "CC"},
    {"EMPTY", Fn::Empty, 1, "?"},
    {"IIF", Fn::Iif, 3, "L??"},
    {"DELETED", Fn::Deleted, 0, ""},
    {"RECNO", Fn::Recno, 0, ""},
    {"DTOS", Fn::Dtos, 1, "C"},
}};

constexpr int kUnknown = ExpressionNode::kUnknownWidth;

const std::array<unsigned char, 256>& upperTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            t[c] = upperCp1252(static_cast<unsigned char>(c));
        }
        return t;
    }();
    return table;
}

const std::array<unsigned char, 256>& lowerTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            t[c] = static_cast<unsigned char>(c);
        }
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = upperCp1252(static_cast<unsigned char>(c));
            if (u != c) {
                t[u] = static_cast<unsigned char>(c);
            }
        }
        return t;
    }();
    return table;
}

const char* typeName(char t) {
    switch (t) {
    case 'C':
        return "character";
    case 'N':
        return "numeric";
    default:
        return "logical";
    }
}

char typeLetter(ValueType t) {
    switch (t) {
    case ValueType::Character:
        return 'C';
    case ValueType::Numeric:
        return 'N';
    default:
        return 'L';
    }
}

// A count or position from a double, kept far from overflow.
long toCount(double v) {
    if (!(v == v)) {
        return 0;
    }
    return static_cast<long>(std::clamp(v, -1e9, 1e9));
}

// Known literal count, or nothing.
std::optional<long> literalCount(const NodePtr& n) {
    const auto v = n->constant();
    if (!v) {
        return std::nullopt;
    }
    return toCount(*v);
}

std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') {
        --n;
    }
    return s.substr(0, n);
}

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    return s.substr(i);
}

class MapCaseNode final : public ExpressionNode {
public:
    MapCaseNode(NodePtr arg, const std::array<unsigned char, 256>& table, int slot)
        : ExpressionNode(ValueType::Character, arg->width()), arg_(std::move(arg)), table_(table),
          slot_(slot) {}
    std::string_view text(const EvalContext& c) const override {
        const std::string_view s = arg_->text(c);
        std::string& out = c.slots[slot_];
        out.resize(s.size());
        // Plain pointers so the loop is not held back by aliasing.
        const auto* in = reinterpret_cast<const unsigned char*>(s.data());
        const unsigned char* map = table_.data();
        char* to = out.data();
        for (std::size_t i = 0, n = s.size(); i < n; ++i)
            to[i] = static_cast<char>(map[in[i]]);
        return out;
    }

private:
    NodePtr arg_;
    const std::array<unsigned char, 256>& table_;
    int slot_;
};

class TrimNode final : public ExpressionNode {
public:
    TrimNode(NodePtr arg, bool left, bool right)
        : ExpressionNode(ValueType::Character, kUnknown), arg_(std::move(arg)), left_(left),
          right_(right) {}
    std::string_view text(const EvalContext& c) const override {
        std::string_view s = arg_->text(c);
        if (right_) {
            s = trimRight(s);
        }
        if (left_) {
            s = trimLeft(s);
        }
        return s;
    }

private:
    NodePtr arg_;
    bool left_;
    bool right_;
};

class PassNode final : public ExpressionNode {
public:
    explicit PassNode(NodePtr arg)
        : ExpressionNode(ValueType::Character, arg->width()), arg_(std::move(arg)) {}
    std::string_view text(const EvalContext& c) const override { return arg_->text(c); }

private:
    NodePtr arg_;
};

int leftWidth(const NodePtr& s, const NodePtr& n) {
    const auto count = literalCount(n);
    if (!count || s->width() == kUnknown) {
        return kUnknown;
    }
    return static_cast<int>(std::clamp<long>(*count, 0, s->width()));
}

class LeftRightNode final : public ExpressionNode {
public:
    LeftRightNode(NodePtr s, NodePtr n, bool right)
        : ExpressionNode(ValueType::Character, leftWidth(s, n)), s_(std::move(s)), n_(std::move(n)),
          right_(right) {}
    std::string_view text(const EvalContext& c) const override {
        const std::string_view s = s_->text(c);
        const auto n = static_cast<std::size_t>(
            std::clamp<long>(toCount(n_->number(c)), 0, static_cast<long>(s.size())));
        return right_ ? s.substr(s.size() - n) : s.substr(0, n);
    }

private:
    NodePtr s_, n_;
    bool right_;
};

int substrWidth(const std::vector<NodePtr>& a) {
    const int w = a[0]->width();
    const auto start = literalCount(a[1]);
    if (w == kUnknown || !start) {
        return kUnknown;
    }
    const long from = std::max<long>(*start, 1);
    long rest = std::max<long>(w - from + 1, 0);
    if (a.size() > 2) {
        const auto len = literalCount(a[2]);
        if (!len) {
            return kUnknown;
        }
        rest = std::clamp<long>(*len, 0, rest);
    }
    return static_cast<int>(rest);
}

class SubstrNode final : public ExpressionNode {
public:
    explicit SubstrNode(std::vector<NodePtr> args)
        : ExpressionNode(ValueType::Character, substrWidth(args)), args_(std::move(args)) {}
    std::string_view text(const EvalContext& c) const override {
        const std::string_view s = args_[0]->text(c);
        const long from = std::max<long>(toCount(args_[1]->number(c)), 1) - 1;
        if (from >= static_cast<long>(s.size())) {
            return {};
        }
        const std::string_view rest = s.substr(static_cast<std::size_t>(from));
        if (args_.size() < 3) {
            return rest;
        }
        const long len =
            std::clamp<long>(toCount(args_[2]->number(c)), 0, static_cast<long>(rest.size()));
        return rest.substr(0, static_cast<std::size_t>(len));
    }

private:
    std::vector<NodePtr> args_;
};

// Right-justified in `len`, rounded half away from zero; fewer decimals when
// it does not fit, asterisks when even the whole part does not.
void formatStr(double v, long len, long dec, std::string& out) {
    len = std::clamp<long>(len, 0, 255);
    dec = std::clamp<long>(dec, 0, 18);
    if (!std::isfinite(v)) {
        out.assign(static_cast<std::size_t>(len), '*');
        return;
    }
    for (long d = dec; d >= 0; --d) {
        double r = v;
        if (std::fabs(v) < 1e15) {
            const double p = std::pow(10.0, static_cast<double>(d));
            r = std::round(v * p * (1 + 1e-14)) / p; // nudge 2.675 past its binary shortfall
        }
        if (r == 0) {
            r = 0; // no "-0"
        }
        const std::string text = fixedText(r, static_cast<int>(d));
        const long k = static_cast<long>(text.size());
        if (k > 0 && k <= len) {
            out.assign(static_cast<std::size_t>(len - k), ' ');
            out.append(text);
            return;
        }
    }
    out.assign(static_cast<std::size_t>(len), '*');
}

int strWidth(const std::vector<NodePtr>& a) {
    if (a.size() < 2) {
        return 10;
    }
    const auto len = literalCount(a[1]);
    return len ? static_cast<int>(std::clamp<long>(*len, 0, 255)) : kUnknown;
}

class StrNode final : public ExpressionNode {
public:
    StrNode(std::vector<NodePtr> args, int slot)
        : ExpressionNode(ValueType::Character, strWidth(args)), args_(std::move(args)),
          slot_(slot) {}
    std::string_view text(const EvalContext& c) const override {
        const long len = args_.size() > 1 ? toCount(args_[1]->number(c)) : 10;
        const long dec = args_.size() > 2 ? toCount(args_[2]->number(c)) : 0;
        std::string& out = c.slots[slot_];
        formatStr(args_[0]->number(c), len, dec, out);
        return out;
    }

private:
    std::vector<NodePtr> args_;
    int slot_;
};

class NumberOfTextNode final : public ExpressionNode {
public:
    NumberOfTextNode(Fn fn, std::vector<NodePtr> args)
        : ExpressionNode(ValueType::Numeric, kUnknown), fn_(fn), args_(std::move(args)) {}
    double number(const EvalContext& c) const override {
        const std::string_view s = args_[0]->text(c);
        switch (fn_) {
        case Fn::Val:
            return parseNumber(s);
        case Fn::Len:
            return static_cast<double>(s.size());
        default: {
            if (s.empty()) {
                return 0;
            }
            const std::size_t at = args_[1]->text(c).find(s);
            return at == std::string_view::npos ? 0 : static_cast<double>(at + 1);
        }
        }
    }

private:
    Fn fn_;
    std::vector<NodePtr> args_;
};

class EmptyNode final : public ExpressionNode {
public:
    explicit EmptyNode(NodePtr arg)
        : ExpressionNode(ValueType::Logical, kUnknown), arg_(std::move(arg)) {}
    bool logical(const EvalContext& c) const override {
        switch (arg_->type()) {
        case ValueType::Character:
            for (const char ch : arg_->text(c)) {
                if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') {
                    return false;
                }
            }
            return true;
        case ValueType::Numeric:
            return arg_->number(c) == 0;
        default:
            return !arg_->logical(c);
        }
    }

private:
    NodePtr arg_;
};

int iifWidth(const NodePtr& a, const NodePtr& b) {
    return a->width() == b->width() ? a->width() : kUnknown;
}

class IifNode final : public ExpressionNode {
public:
    IifNode(NodePtr cond, NodePtr a, NodePtr b)
        : ExpressionNode(a->type(), iifWidth(a, b)), cond_(std::move(cond)), a_(std::move(a)),
          b_(std::move(b)) {}
    std::string_view text(const EvalContext& c) const override {
        return (cond_->logical(c) ? a_ : b_)->text(c);
    }
    double number(const EvalContext& c) const override {
        return (cond_->logical(c) ? a_ : b_)->number(c);
    }
    bool logical(const EvalContext& c) const override {
        return (cond_->logical(c) ? a_ : b_)->logical(c);
    }

private:
    NodePtr cond_, a_, b_;
};

} // namespace

const FunctionSpec* findFunction(std::string_view upperName) {
    for (const FunctionSpec& f : kFunctions) {
        if (f.name == upperName) {
            return &f;
        }
    }
    if (upperName.size() < 4) {
        return nullptr;
    }
    const FunctionSpec* found = nullptr;
    for (const FunctionSpec& f : kFunctions) {
        if (f.name.substr(0, upperName.size()) == upperName) {
            if (found) {
                return nullptr; // ambiguous
            }
            found = &f;
        }
    }
    return found;
}

std::string functionArgumentError(const FunctionSpec& spec, const std::vector<NodePtr>& args) {
    const int maxArgs = static_cast<int>(spec.argTypes.size());
    const int count = static_cast<int>(args.size());
    const std::string name(spec.name);
    if (count < spec.minArgs || count > maxArgs) {
        std::string expected = std::to_string(spec.minArgs);
        if (maxArgs != spec.minArgs) {
            expected += " to " + std::to_string(maxArgs);
        }
        return name + " takes " + expected + (maxArgs == 1 ? " argument" : " arguments") +
               ", not " + std::to_string(count);
    }
    for (int i = 0; i < count; ++i) {
        const char want = spec.argTypes[static_cast<std::size_t>(i)];
        if (want != '?' && typeLetter(args[static_cast<std::size_t>(i)]->type()) != want) {
            return name + " needs a " + typeName(want) + " value as argument " +
                   std::to_string(i + 1);
        }
    }
    if (spec.fn == Fn::Iif && args[1]->type() != args[2]->type()) {
        return "IIF needs both results of the same type";
    }
    return {};
}

NodePtr makeCall(const FunctionSpec& spec, std::vector<NodePtr> args, SlotCounter& slots) {
    switch (spec.fn) {
    case Fn::Upper:
        return std::make_shared<MapCaseNode>(std::move(args[0]), upperTable(), slots.next());
    case Fn::Lower:
        return std::make_shared<MapCaseNode>(std::move(args[0]), lowerTable(), slots.next());
    case Fn::Trim:
        return std::make_shared<TrimNode>(std::move(args[0]), false, true);
    case Fn::LTrim:
        return std::make_shared<TrimNode>(std::move(args[0]), true, false);
    case Fn::AllTrim:
        return std::make_shared<TrimNode>(std::move(args[0]), true, true);
    case Fn::Left:
    case Fn::Right:
        return std::make_shared<LeftRightNode>(std::move(args[0]), std::move(args[1]),
                                               spec.fn == Fn::Right);
    case Fn::Substr:
        return std::make_shared<SubstrNode>(std::move(args));
    case Fn::Str:
        return std::make_shared<StrNode>(std::move(args), slots.next());
    case Fn::Val:
    case Fn::Len:
    case Fn::At:
        return std::make_shared<NumberOfTextNode>(spec.fn, std::move(args));
    case Fn::Empty:
        return std::make_shared<EmptyNode>(std::move(args[0]));
    case Fn::Iif:
        return std::make_shared<IifNode>(std::move(args[0]), std::move(args[1]),
                                         std::move(args[2]));
    case Fn::Deleted:
        return makeDeleted();
    case Fn::Recno:
        return makeRecno();
    case Fn::Dtos:
        return std::make_shared<PassNode>(std::move(args[0]));
    }
    return nullptr;
}

} // namespace qp::store::expr
