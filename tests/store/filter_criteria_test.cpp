#include "store/expression.h"
#include "store/filter_criteria.h"

#include <gtest/gtest.h>

#include <string>

using namespace qp::store;
using F = FilterField;

namespace {

std::string translate(std::string_view field, std::string_view text) {
    auto r = TranslateCriterion(field, text);
    EXPECT_TRUE(r.ok()) << r.error();
    return r.ok() ? *r : std::string();
}

std::string build(const FilterCriteria& f, std::string_view tag = "272WEPA") {
    auto r = BuildQueryString(f, tag);
    EXPECT_TRUE(r.ok()) << r.error();
    return r.ok() ? *r : std::string();
}

} // namespace

TEST(FilterCriteria, TranslatesOperatorsAsWritten) {
    EXPECT_EQ(translate("LNAME", "bak"), "UPPER(LNAME)=\"BAK\"");
    EXPECT_EQ(translate("CODES", "$C"), "\"C\"$UPPER(CODES)");
    EXPECT_EQ(translate("DATE", ">=19970101"), "UPPER(DATE)>=\"19970101\"");
    EXPECT_EQ(translate("DATE", ">1997"), "UPPER(DATE)>\"1997\"");
    EXPECT_EQ(translate("DATE", "<=1997"), "UPPER(DATE)<=\"1997\"");
    EXPECT_EQ(translate("DATE", "<1997"), "UPPER(DATE)<\"1997\"");
    EXPECT_EQ(translate("LNAME", "BAKER "), "UPPER(LNAME)=\"BAKER \"");
    EXPECT_EQ(translate("CITY+STATE", "chi"), "UPPER(CITY+STATE)=\"CHI\"");
    EXPECT_EQ(translate("LNAME", "müller"), "UPPER(LNAME)=\"MÜLLER\"");
    EXPECT_EQ(translate("LNAME", "=x"), "UPPER(LNAME)=\"=X\"");
}

TEST(FilterCriteria, OperatorValueKeepsAtMost99Characters) {
    std::string value(120, 'a');
    std::string upper(99, 'A');
    EXPECT_EQ(translate("LNAME", ">" + value), "UPPER(LNAME)>\"" + upper + "\"");
    EXPECT_EQ(translate("LNAME", value), "UPPER(LNAME)=\"" + std::string(120, 'A') + "\"");
    std::string accents;
    for (int i = 0; i < 100; ++i)
        accents += "é";
    std::string expected;
    for (int i = 0; i < 99; ++i)
        expected += "É";
    EXPECT_EQ(translate("LNAME", "$" + accents), "\"" + expected + "\"$UPPER(LNAME)");
}

TEST(FilterCriteria, SplitsBindSemicolonThenPlusThenCaret) {
    EXPECT_EQ(translate("LNAME", "JONES;BAKER"),
              "((UPPER(LNAME)=\"JONES\").or.(UPPER(LNAME)=\"BAKER\"))");
    EXPECT_EQ(translate("CODES", "$A+$B"), "((\"A\"$UPPER(CODES)).and.(\"B\"$UPPER(CODES)))");
    EXPECT_EQ(translate("CODES", "$A^$B"), "((\"A\"$UPPER(CODES)).and..not.(\"B\"$UPPER(CODES)))");
    EXPECT_EQ(translate("CODES", "$A+$B;$C"),
              "((((\"A\"$UPPER(CODES)).and.(\"B\"$UPPER(CODES)))).or.(\"C\"$UPPER(CODES)))");
    // Two semicolons in a row leave an empty piece, which matches everything.
    EXPECT_EQ(translate("LNAME", "A;;B"),
              "((UPPER(LNAME)=\"A\").or.(UPPER(LNAME)=\"\").or.(UPPER(LNAME)=\"B\"))");
}

TEST(FilterCriteria, ValuesWithQuotesStayValues) {
    EXPECT_EQ(translate("LNAME", "O'Brien"), "UPPER(LNAME)=\"O'BRIEN\"");
    EXPECT_EQ(translate("LNAME", "X\").or.(.T."), "UPPER(LNAME)='X\").OR.(.T.'");
    EXPECT_EQ(translate("LNAME", "$say \"hi\""), "'SAY \"HI\"'$UPPER(LNAME)");
    EXPECT_EQ(translate("LNAME", "a\"b'c"), "UPPER(LNAME)=[A\"B'C]");
    EXPECT_EQ(translate("LNAME", "x'\").or.(.T.'"), "UPPER(LNAME)=[X'\").OR.(.T.']");
    auto refused = TranslateCriterion("LNAME", "a\"b'c]");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find("A\"B'C]"), std::string::npos);
    EXPECT_FALSE(TranslateCriterion("LNAME", "ok;a\"b']c").ok());
    EXPECT_EQ(translate("LNAME", "a\"b'[c"), "UPPER(LNAME)=[A\"B'[C]");
}

TEST(FilterCriteria, BuildQueryStringOrderSeparatorTaggedReverse) {
    FilterCriteria f;
    EXPECT_EQ(build(f), "");
    f[F::Codes] = "$C";
    f[F::Date] = ">=19970101";
    f[F::Comment1] = "vip";
    f[F::LastName] = "jo";
    f[F::Phone2] = "555";
    f[F::FirstName] = "   ";
    EXPECT_EQ(build(f), "UPPER(LNAME)=\"JO\" and UPPER(PHONE2)=\"555\" and UPPER(USER1)=\"VIP\" "
                        "and UPPER(DATE)>=\"19970101\" and \"C\"$UPPER(CODES)");

    FilterCriteria tagged;
    tagged.tagged = true;
    EXPECT_EQ(build(tagged), "(UPPER(TAG)=\"272WEPA\")");
    tagged.reverse = true;
    tagged[F::LastName] = "jo";
    EXPECT_EQ(build(tagged), "(!(UPPER(LNAME)=\"JO\" and (UPPER(TAG)=\"272WEPA\")))");

    FilterCriteria reverseOnly;
    reverseOnly.reverse = true;
    EXPECT_EQ(build(reverseOnly), "");
}

TEST(FilterCriteria, EveryCriterionTestsItsOwnField) {
    for (std::size_t i = 0; i < kFilterFieldCount; ++i) {
        FilterCriteria f;
        f.criteria[i] = "v";
        std::string expected = "UPPER(" + std::string(kFilterFieldExpressions[i]) + ")=\"V\"";
        EXPECT_EQ(build(f), expected);
    }
}

TEST(FilterCriteria, PrepareFilterQueryOutcomes) {
    FilterCriteria none;
    FilterQuery q = PrepareFilterQuery(none, "T");
    EXPECT_EQ(q.kind, FilterQuery::Kind::NoFilter);
    EXPECT_EQ(q.query, "!ISDEL");

    FilterCriteria tagged;
    tagged.tagged = true;
    q = PrepareFilterQuery(tagged, "272WEPA");
    EXPECT_EQ(q.kind, FilterQuery::Kind::Filter);
    EXPECT_EQ(q.query, "(UPPER(TAG)=\"272WEPA\").and. !ISDEL");
    EXPECT_EQ(tagged.expression, "(UPPER(TAG)=\"272WEPA\")");

    // UPPER(LNAME)="" is 15 characters: 228 more make 243, still allowed.
    FilterCriteria limit;
    limit[F::LastName] = std::string(228, 'x');
    q = PrepareFilterQuery(limit, "T");
    EXPECT_EQ(limit.expression.size(), 243u);
    EXPECT_EQ(q.kind, FilterQuery::Kind::Filter);

    FilterCriteria tooLong;
    tooLong[F::LastName] = std::string(229, 'x');
    tooLong.tagged = true;
    q = PrepareFilterQuery(tooLong, "T");
    EXPECT_EQ(q.kind, FilterQuery::Kind::TooComplex);
    EXPECT_EQ(q.message, "Sorry - filter is too complex.Please simplify it.");
    EXPECT_EQ(q.query, "!ISDEL");
    EXPECT_EQ(tooLong, FilterCriteria{});

    FilterCriteria bad;
    bad[F::City] = "\"'[]";
    q = PrepareFilterQuery(bad, "T");
    EXPECT_EQ(q.kind, FilterQuery::Kind::Invalid);
    EXPECT_FALSE(q.message.empty());
    EXPECT_EQ(q.query, "!ISDEL");
    EXPECT_EQ(bad, FilterCriteria{});
}

TEST(FilterCriteria, ClearQueryVarsEmptiesEverything) {
    FilterCriteria f;
    f[F::Zip] = "6";
    f.tagged = f.reverse = true;
    f.expression = "x";
    ClearQueryVars(f);
    EXPECT_EQ(f, FilterCriteria{});
}

namespace {

// Whether the engine query of `filter` selects a record with these values.
bool selects(FilterCriteria filter, const std::string& lname, const std::string& codes) {
    std::vector<FieldDef> fields{{"LNAME", 'C', 20, 0, 1},
                                 {"CODES", 'C', 10, 0, 21},
                                 {"TAG", 'C', 8, 0, 31},
                                 {"ISDEL", 'L', 1, 0, 39}};
    auto pad = [](std::string s, std::size_t n) {
        s.resize(n, ' ');
        return s;
    };
    std::string record = " " + pad(lname, 20) + pad(codes, 10) + pad("272WEPA", 8) + "F";
    FilterQuery q = PrepareFilterQuery(filter, "272WEPA");
    auto e = Expression::parse(q.query, fields);
    EXPECT_TRUE(e.ok()) << q.query << ": " << (e.ok() ? "" : e.error());
    return e.ok() && e->isTrue(RecordView{record.data(), 1});
}

} // namespace

TEST(FilterCriteria, EngineReadsEveryBuiltQueryAndValuesCannotBecomeCode) {
    FilterCriteria f;
    f[F::LastName] = "bak";
    EXPECT_TRUE(selects(f, "BAKER", ""));
    EXPECT_FALSE(selects(f, "JONES", ""));
    f.reverse = true;
    EXPECT_FALSE(selects(f, "BAKER", ""));
    EXPECT_TRUE(selects(f, "JONES", ""));

    FilterCriteria inject;
    inject[F::LastName] = "X\").or.(.T.";
    EXPECT_FALSE(selects(inject, "BAKER", ""));
    EXPECT_TRUE(selects(inject, "X\").OR.(.T.", ""));
    inject[F::LastName] = "X').or.('' = '";
    EXPECT_FALSE(selects(inject, "BAKER", ""));
    inject[F::LastName] = "O\"Neil's [x";
    EXPECT_TRUE(selects(inject, "o\"neil's [x", ""));
    EXPECT_FALSE(selects(inject, "BAKER", ""));

    FilterCriteria codes;
    codes[F::Codes] = "$A+$B^$C";
    EXPECT_TRUE(selects(codes, "", "AB"));
    EXPECT_FALSE(selects(codes, "", "ABC"));
    EXPECT_FALSE(selects(codes, "", "A"));
    codes[F::Codes] = "$Z;;$Q";
    EXPECT_TRUE(selects(codes, "", "A"));

    FilterCriteria tagged;
    tagged.tagged = true;
    EXPECT_TRUE(selects(tagged, "", ""));
}
