#include "store/expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qp::store;

namespace {

// Both sides as literals: whether `left op right` holds with EXACT off or on.
bool compare(std::string_view left, std::string_view op, std::string_view right, bool exact) {
    const std::string text =
        "[" + std::string(left) + "]" + std::string(op) + "[" + std::string(right) + "]";
    auto e = Expression::parse(text, {});
    EXPECT_TRUE(e.ok()) << text;
    if (!e.ok()) {
        return false;
    }
    return e->isTrue(RecordView{}, EvalSettings{exact});
}

bool off(std::string_view l, std::string_view op, std::string_view r) {
    return compare(l, op, r, false);
}
bool on(std::string_view l, std::string_view op, std::string_view r) {
    return compare(l, op, r, true);
}

} // namespace

// The table of FoxPro's string comparison documentation.
TEST(ExpressionCompare, EqualsWithExactOffIsAPrefixTest) {
    EXPECT_TRUE(off("abc", "=", "abc"));
    EXPECT_FALSE(off("ab", "=", "abc"));
    EXPECT_TRUE(off("abc", "=", "ab"));
    EXPECT_FALSE(off("abc", "=", "ab "));
    EXPECT_FALSE(off("ab", "=", "ab "));
    EXPECT_TRUE(off("ab ", "=", "ab"));
    EXPECT_FALSE(off("", "=", "ab"));
    EXPECT_TRUE(off("ab", "=", ""));
    EXPECT_TRUE(off("  ", "=", ""));
    EXPECT_FALSE(off("", "=", "   "));
    EXPECT_TRUE(off("", "=", ""));
}

TEST(ExpressionCompare, EqualsWithExactOnIgnoresTrailingBlanks) {
    EXPECT_TRUE(on("abc", "=", "abc"));
    EXPECT_FALSE(on("ab", "=", "abc"));
    EXPECT_FALSE(on("abc", "=", "ab"));
    EXPECT_FALSE(on("abc", "=", "ab "));
    EXPECT_TRUE(on("ab", "=", "ab "));
    EXPECT_TRUE(on("ab ", "=", "ab"));
    EXPECT_FALSE(on("", "=", "ab"));
    EXPECT_FALSE(on("ab", "=", ""));
    EXPECT_TRUE(on("  ", "=", ""));
    EXPECT_TRUE(on("", "=", "   "));
}

TEST(ExpressionCompare, DoubleEqualsIsAlwaysExactBlanksCounting) {
    for (const bool exact : {false, true}) {
        EXPECT_TRUE(compare("abc", "==", "abc", exact));
        EXPECT_FALSE(compare("ab", "==", "abc", exact));
        EXPECT_FALSE(compare("abc", "==", "ab", exact));
        EXPECT_FALSE(compare("ab", "==", "ab ", exact));
        EXPECT_FALSE(compare("ab ", "==", "ab", exact));
        EXPECT_FALSE(compare("ab", "==", "", exact));
        EXPECT_FALSE(compare("  ", "==", "", exact));
        EXPECT_TRUE(compare("", "==", "", exact));
    }
}

TEST(ExpressionCompare, NotEqualIsTheOppositeOfEquals) {
    for (const char* op : {"<>", "#", "!="}) {
        EXPECT_FALSE(off("abc", op, "ab")) << op;
        EXPECT_TRUE(on("abc", op, "ab")) << op;
        EXPECT_TRUE(off("ab", op, "abc")) << op;
        EXPECT_FALSE(off("abc", op, "")) << op;
        EXPECT_TRUE(on("abc", op, "")) << op;
        EXPECT_FALSE(on("ab", op, "ab  ")) << op;
    }
}

TEST(ExpressionCompare, OrderingWithExactOffLooksOnlyAtTheRightLength) {
    // Left cut to the right's length.
    EXPECT_FALSE(off("abcz", "<", "abc"));
    EXPECT_TRUE(off("abcz", "<=", "abc"));
    EXPECT_TRUE(off("abcz", ">=", "abc"));
    EXPECT_FALSE(off("abcz", ">", "abc"));
    EXPECT_TRUE(off("abcz", "<", "abd"));
    EXPECT_TRUE(off("19970315", ">=", "1997"));
    EXPECT_FALSE(off("19960315", ">=", "1997"));
    // Nothing on the right: everything is equal to it.
    EXPECT_TRUE(off("zzz", "<=", ""));
    EXPECT_FALSE(off("zzz", "<", ""));
    EXPECT_FALSE(off("zzz", ">", ""));
    // A shorter left is blank padded: "ab" reads as "ab ".
    EXPECT_TRUE(off("ab", "<", "abc"));
    EXPECT_TRUE(off("ab", "<=", "ab "));
    EXPECT_TRUE(off("ab", ">=", "ab "));
    EXPECT_FALSE(off("ab", "<", "ab "));
    EXPECT_TRUE(off("ab", ">", "ab\x01"));
}

TEST(ExpressionCompare, OrderingWithExactOnUsesTheWholeOfBoth) {
    EXPECT_FALSE(on("abcz", "<=", "abc"));
    EXPECT_TRUE(on("abcz", ">", "abc"));
    EXPECT_TRUE(on("abc  ", "<=", "abc"));
    EXPECT_TRUE(on("abc  ", ">=", "abc"));
    EXPECT_TRUE(on("ab", "<", "abc"));
    EXPECT_FALSE(on("zzz", "<=", ""));
    EXPECT_TRUE(on("ab\x01", "<", "ab"));
}

TEST(ExpressionCompare, BytesCompareUnsigned) {
    EXPECT_TRUE(off("\xE9", ">", "z")); // é after z
    EXPECT_TRUE(off("\x80", ">", "\x7F"));
    EXPECT_TRUE(on("Z", "<", "\xC0"));
}

TEST(ExpressionCompare, Contains) {
    EXPECT_TRUE(off("b", "$", "abc"));
    EXPECT_TRUE(off("abc", "$", "abc"));
    EXPECT_FALSE(off("abcd", "$", "abc"));
    EXPECT_FALSE(off("B", "$", "abc"));
    EXPECT_FALSE(off("", "$", "abc"));
    EXPECT_TRUE(on("c ", "$", "abc "));
}

TEST(ExpressionCompare, NumbersAndLogicals) {
    const auto holds = [](std::string_view text, bool exact = false) {
        auto e = Expression::parse(text, {});
        EXPECT_TRUE(e.ok()) << text;
        return e.ok() && e->isTrue(RecordView{}, EvalSettings{exact});
    };
    EXPECT_TRUE(holds("10 > 9"));
    EXPECT_TRUE(holds("1.50 = 1.5"));
    EXPECT_TRUE(holds("1.5 == 1.5", true));
    EXPECT_TRUE(holds("-1 < 0"));
    EXPECT_TRUE(holds("2 >= 2 .AND. 2 <= 2 .AND. 2 <> 3 .AND. 2 # 3 .AND. 2 != 3"));
    EXPECT_TRUE(holds(".T. = .T."));
    EXPECT_TRUE(holds(".T. <> .F."));
    EXPECT_TRUE(holds(".F. == .F."));
    EXPECT_FALSE(holds(".T. # .T."));
}
