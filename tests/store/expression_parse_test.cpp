#include "store/expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qp::store;

namespace {

std::vector<FieldDef> fields() {
    return {
        {"LNAME", 'C', 20, 0, 1},  {"FNAME", 'C', 15, 0, 21}, {"AMOUNT", 'N', 8, 2, 36},
        {"ACTIVE", 'L', 1, 0, 44}, {"NOTES", 'M', 10, 0, 45}, {"DATE", 'D', 8, 0, 55},
    };
}

std::string errorOf(std::string_view text) {
    auto r = Expression::parse(text, fields());
    return r.ok() ? std::string("(parsed)") : r.error();
}

bool parses(std::string_view text) {
    return Expression::parse(text, fields()).ok();
}

} // namespace

TEST(ExpressionParse, AcceptsTheFilterBuilderForms) {
    const char* forms[] = {
        R"x(UPPER(LNAME)="BAK")x",
        R"x("C"$UPPER(FNAME))x",
        R"x(UPPER(DATE)>="19970101")x",
        R"x(((UPPER(LNAME)="JONES").or.(UPPER(LNAME)="BAKER")))x",
        R"x((UPPER(LNAME)="A") and (UPPER(FNAME)="B").and. !ISDEL)x",
        R"x((!((UPPER(LNAME)="JO"))).and. !ISDEL)x",
        R"x((UPPER(LNAME)="K3Z9A1B2").and. !ISDEL)x",
        "NOT ISDEL",
        "!ISDEL",
        "Recno()=12",
        "recno() = 12",
        "UPPER(LNAME-FNAME)",
        "UPPER(LNAME)+UPPER(FNAME)",
        "DELETED()",
        "ISDEL",
        R"x(UPPER(LNAME)='O"BRIEN')x",
        R"x(UPPER(LNAME)=[IT'S "X"])x",
        R"x(UPPER(LNAME)=[X").or.(.T.])x",
        "upper(lname) = 'x' OR Upper(Fname) = 'y'",
        "ACTIVE .and..not. DELETED()",
        ".t. .AND. .F. .or. .Y. .and. !.N.",
        "AMOUNT * 2 + 1.5 > -3",
        "AMOUNT=1.and..T.",
    };
    for (const char* text : forms) {
        EXPECT_TRUE(parses(text)) << text << ": " << errorOf(text);
    }
}

TEST(ExpressionParse, KeepsTextAndType) {
    auto e = Expression::parse("UPPER(LNAME)", fields());
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(e->text(), "UPPER(LNAME)");
    EXPECT_EQ(e->type(), ValueType::Character);
    EXPECT_EQ(Expression::parse("AMOUNT+1", fields())->type(), ValueType::Numeric);
    EXPECT_EQ(Expression::parse("!ISDEL", fields())->type(), ValueType::Logical);
}

TEST(ExpressionParse, SyntaxErrorsNameThePosition) {
    EXPECT_EQ(errorOf("UPPER(LNAME"), R"x(Syntax error at position 12: ")" expected)x");
    EXPECT_EQ(errorOf("(LNAME=\"A\""), R"x(Syntax error at position 11: ")" expected)x");
    EXPECT_EQ(errorOf("LEFT(LNAME 3)"), R"x(Syntax error at position 12: ")" expected)x");
    EXPECT_EQ(errorOf("LNAME="), "Syntax error at position 7: expression expected");
    EXPECT_EQ(errorOf(""), "Syntax error at position 1: expression expected");
    EXPECT_EQ(errorOf("LNAME FNAME"),
              "Syntax error at position 7: operator or end of expression expected");
    EXPECT_EQ(errorOf("LNAME)"), R"x(Syntax error at position 6: unexpected ")")x");
    EXPECT_EQ(errorOf("LNAME=*"), "Syntax error at position 7: operand expected");
    EXPECT_EQ(errorOf("LNAME .XOR. FNAME"),
              "Syntax error at position 7: .AND., .OR., .NOT., .T. or .F. expected");
    EXPECT_EQ(errorOf("LNAME = @"), R"x(Syntax error at position 9: unexpected character "@")x");
}

TEST(ExpressionParse, UnclosedTextNamesWhereItBegan) {
    EXPECT_EQ(errorOf("LNAME=\"ABC"),
              R"x(Syntax error at position 7: text begun here has no closing """)x");
    EXPECT_EQ(errorOf("LNAME=[ABC"),
              R"x(Syntax error at position 7: text begun here has no closing "]")x");
}

TEST(ExpressionParse, UnknownNames) {
    EXPECT_EQ(errorOf("LNAM"), R"x(Unknown field "LNAM" at position 1)x");
    EXPECT_EQ(errorOf("UPPER(lnam)"), R"x(Unknown field "lnam" at position 7)x");
    EXPECT_EQ(errorOf("FOO(LNAME)"), R"x(Unknown function "FOO" at position 1)x");
    EXPECT_EQ(errorOf("LNAME = XYZZY()"), R"x(Unknown function "XYZZY" at position 9)x");
}

TEST(ExpressionParse, MemoFieldsAreRefused) {
    EXPECT_EQ(errorOf("UPPER(NOTES)"),
              "At position 7: memo field NOTES cannot be used in an expression");
    std::vector<FieldDef> f = {{"PIC", 'G', 10, 0, 1}};
    auto r = Expression::parse("EMPTY(PIC)", f);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("memo field PIC cannot be used in an expression"), std::string::npos);
}

TEST(ExpressionParse, TypeMismatchesAreCaughtWhenParsing) {
    EXPECT_EQ(errorOf("LNAME .AND. FNAME"),
              "Type mismatch at position 7: .AND. needs logical operands");
    EXPECT_EQ(errorOf("ISDEL .OR. 1"), "Type mismatch at position 7: .OR. needs logical operands");
    EXPECT_EQ(errorOf("LNAME = 3"),
              "Type mismatch at position 7: cannot compare values of different types");
    EXPECT_EQ(errorOf("1 $ LNAME"),
              R"x(Type mismatch at position 3: "$" needs character operands)x");
    EXPECT_EQ(errorOf("LNAME + 1"),
              R"x(Type mismatch at position 7: "+" needs two character or two numeric operands)x");
    EXPECT_EQ(errorOf("LNAME * 2"), R"x(Type mismatch at position 7: "*" needs numeric operands)x");
    EXPECT_EQ(errorOf("NOT LNAME"), "Type mismatch at position 1: NOT needs a logical operand");
    EXPECT_EQ(errorOf("!AMOUNT"), "Type mismatch at position 1: NOT needs a logical operand");
    EXPECT_EQ(errorOf("-LNAME"), "Type mismatch at position 1: sign needs a numeric operand");
    EXPECT_EQ(errorOf("ACTIVE < .T."),
              "Type mismatch at position 8: logical values are only equal or unequal");
    EXPECT_TRUE(parses("ACTIVE = .T."));
    EXPECT_TRUE(parses("ACTIVE == .T. .AND. ACTIVE <> .F."));
}

TEST(ExpressionParse, FunctionArgumentsAreChecked) {
    EXPECT_EQ(errorOf("UPPER(AMOUNT)"),
              "Invalid arguments at position 1: UPPER needs a character value as argument 1");
    EXPECT_EQ(errorOf("LEFT(LNAME)"),
              "Invalid arguments at position 1: LEFT takes 2 arguments, not 1");
    EXPECT_EQ(errorOf("SUBSTR(LNAME,1,2,3)"),
              "Invalid arguments at position 1: SUBSTR takes 2 to 3 arguments, not 4");
    EXPECT_EQ(errorOf("LNAME = LEFT(FNAME, 'X')"),
              "Invalid arguments at position 9: LEFT needs a numeric value as argument 2");
    EXPECT_EQ(errorOf("IIF(ISDEL, 1, 'A')"),
              "Invalid arguments at position 1: IIF needs both results of the same type");
    EXPECT_EQ(errorOf("DELETED(1)"),
              "Invalid arguments at position 1: DELETED takes 0 arguments, not 1");
}

TEST(ExpressionParse, WordOperatorsAndAbbreviations) {
    EXPECT_TRUE(parses("ISDEL and ISDEL"));
    EXPECT_TRUE(parses("ISDEL AND NOT ISDEL Or ISDEL"));
    EXPECT_TRUE(parses("SUBS(LNAME,1,2) = ALLT(FNAME)"));
    EXPECT_TRUE(parses("DELE()"));
    EXPECT_EQ(errorOf("and"), "Syntax error at position 1: operand expected");
    EXPECT_EQ(errorOf("LNAME and"), "Syntax error at position 10: expression expected");
}

TEST(ExpressionParse, FieldNamedLikeAWordStillWorks) {
    std::vector<FieldDef> f = {{"NOT", 'L', 1, 0, 1}, {"ISDEL", 'C', 1, 0, 2}};
    EXPECT_TRUE(Expression::parse("NOT", f).ok());
    EXPECT_TRUE(Expression::parse("NOT = .T.", f).ok());
    // A real ISDEL field wins over the deletion mark.
    auto e = Expression::parse("ISDEL", f);
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(e->type(), ValueType::Character);
}

TEST(ExpressionParse, DeepNestingIsAnErrorNotACrash) {
    std::string deep(1000, '(');
    deep += "ISDEL";
    deep += std::string(1000, ')');
    EXPECT_NE(errorOf(deep).find("nested too deeply"), std::string::npos);
    std::string nots(1000, '!');
    nots += "ISDEL";
    EXPECT_NE(errorOf(nots).find("nested too deeply"), std::string::npos);
}

TEST(ExpressionParse, OverlongChainsAreRefused) {
    std::string chain = "ISDEL";
    for (int i = 0; i < 6000; ++i) {
        chain += " .OR. ISDEL";
    }
    EXPECT_NE(errorOf(chain).find("expression too long"), std::string::npos);
    std::string longest = "ISDEL";
    for (int i = 0; i < 4999; ++i) {
        longest += " .OR. ISDEL";
    }
    auto e = Expression::parse(longest, fields());
    ASSERT_TRUE(e.ok()) << e.error();
    EXPECT_FALSE(e->isTrue(RecordView{}));
}

TEST(ExpressionParse, DefaultExpressionIsHarmless) {
    Expression e;
    RecordView r;
    EXPECT_FALSE(e.isTrue(r));
    EXPECT_EQ(e.evaluate(r).text, "");
    EXPECT_EQ(e.width(), 0);
}
