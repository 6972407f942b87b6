#pragma once
// xBase expressions over the raw bytes of one record: parsed once into a tree,
// evaluated per record. Strings are Windows-1252 bytes, as stored.

#include "field.h"
#include "result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp::store {

enum class ValueType { Character, Numeric, Logical };

struct Value {
    ValueType type = ValueType::Character;
    std::string text;     // Character
    double number = 0;    // Numeric
    bool logical = false; // Logical

    static Value character(std::string s) { return {ValueType::Character, std::move(s), 0, false}; }
    static Value numeric(double n) { return {ValueType::Numeric, {}, n, false}; }
    static Value boolean(bool b) { return {ValueType::Logical, {}, 0, b}; }
};

// What an expression sees of the record being evaluated.
struct RecordView {
    const char* bytes = nullptr; // the whole record; bytes[0] is the deletion mark
    std::uint32_t recno = 0;
};

// String comparison, as FoxPro: with exact off '=' is a prefix test and the
// orderings look only at the right side's length (a shorter left blank padded);
// with exact on both sides count, trailing blanks ignored. '==' always wants
// the same length and bytes, blanks included. '<>', '#', '!=' negate '='.
struct EvalSettings {
    bool exact = false; // SET EXACT
};

class ExpressionNode;

// A test `operand = "text"` (or `==`) that a logical expression cannot be true
// without: the whole expression, or a term of its top-level .AND. chain.
struct RequiredEquality {
    std::string operand;     // the left side in normal form (see leadingOperand)
    std::string literal;     // the right side's bytes, as compared
    bool exactEqual = false; // '==' rather than '='
};

class Expression {
public:
    // Field names are matched case-insensitively against `fields`. A malformed
    // text gives an error naming the position (1-based) where it went wrong.
    static Result<Expression> parse(std::string_view text, const std::vector<FieldDef>& fields);

    Value evaluate(const RecordView& record, const EvalSettings& settings = {}) const;
    // A logical expression's value; any other type counts as false.
    bool isTrue(const RecordView& record, const EvalSettings& settings = {}) const;
    // The value as text into `out`, reusing its capacity (index keys for many
    // records): character as is, logical "T" or "F", a number in shortest form.
    void evaluateText(const RecordView& record, std::string& out,
                      const EvalSettings& settings = {}) const;

    ValueType type() const;
    // Width of a character result when it does not depend on the record (index
    // key length); 0 when unknown.
    int width() const;
    const std::string& text() const { return text_; }

    // The equality tests with a text literal on the right that a logical
    // expression requires; empty for any other expression.
    const std::vector<RequiredEquality>& requiredEqualities() const { return required_; }
    // For a character expression, the operand every value begins with: the
    // first term of a top-level '+' chain, else the whole expression. Given in
    // a normal form (its tokens, names in upper case, blanks and enclosing
    // parentheses dropped) that two expressions share when they spell the same
    // computation. Empty when there is none, or when the operand compares
    // values (its result would then depend on SET EXACT).
    const std::string& leadingOperand() const { return leading_; }
    // The leading operand's fixed width; 0 when it varies.
    int leadingWidth() const { return leadingWidth_; }

    // How many bytes from the start of a record the expression reads.
    int recordSpan() const { return recordSpan_; }

    // True when records `a` and `b` agree on every byte the expression reads
    // (the fields it names and the deletion mark), so that for one record
    // number both give the same value.
    bool sameInputs(const char* a, const char* b) const;

private:
    std::string text_;
    std::shared_ptr<const ExpressionNode> root_;
    int slotCount_ = 0;  // scratch buffers the tree needs while evaluating
    int recordSpan_ = 1; // bytes of record the fields reach, for a missing record
    std::vector<std::pair<int, int>> fieldBytes_; // offset and length of each field read
    std::vector<RequiredEquality> required_;
    std::string leading_;
    int leadingWidth_ = 0;
};

} // namespace qp::store
