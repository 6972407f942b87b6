#include "store/expression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace qp::store;

namespace {

const std::vector<FieldDef>& fields() {
    static const std::vector<FieldDef> f = {
        {"LNAME", 'C', 12, 0, 1},  {"FNAME", 'C', 8, 0, 13}, {"CITY", 'C', 10, 0, 21},
        {"STATE", 'C', 2, 0, 31},  {"ZIP", 'C', 5, 0, 33},   {"CODES", 'C', 6, 0, 38},
        {"DATE", 'D', 8, 0, 44},   {"TAG", 'C', 8, 0, 52},   {"AMOUNT", 'N', 8, 2, 60},
        {"ACTIVE", 'L', 1, 0, 68}, {"COUNT", 'I', 4, 0, 69}, {"PRICE", 'Y', 8, 4, 73},
        {"RATE", 'B', 8, 2, 81},   {"STAMP", 'T', 8, 0, 89}, {"SCORE", 'F', 6, 1, 97},
    };
    return f;
}

// A record laid out by hand: deletion mark, then each field blank padded.
class Record {
public:
    Record() : bytes_(103, ' ') {}
    Record& set(std::string_view name, std::string_view value) {
        const FieldDef& f = field(name);
        std::string cell(value.substr(0, f.length));
        cell.resize(f.length, ' ');
        bytes_.replace(f.offset, f.length, cell);
        return *this;
    }
    Record& setBinary(std::string_view name, const void* data, std::size_t size) {
        std::memcpy(bytes_.data() + field(name).offset, data, size);
        return *this;
    }
    Record& deleted(bool d = true) {
        bytes_[0] = d ? '*' : ' ';
        return *this;
    }
    RecordView view(std::uint32_t recno = 1) const { return {bytes_.data(), recno}; }

private:
    static const FieldDef& field(std::string_view name) {
        for (const FieldDef& f : fields()) {
            if (f.name == name) {
                return f;
            }
        }
        throw std::logic_error("no such field");
    }
    std::string bytes_;
};

Record smith() {
    Record r;
    r.set("LNAME", "Smith").set("FNAME", "John").set("CITY", "Boston").set("STATE", "MA");
    r.set("ZIP", "02110").set("CODES", "abc").set("DATE", "19970315").set("TAG", "k3z9a1b2");
    r.set("AMOUNT", "   12.50").set("ACTIVE", "T").set("SCORE", "  -1.5");
    return r;
}

Expression parse(std::string_view text) {
    auto e = Expression::parse(text, fields());
    EXPECT_TRUE(e.ok()) << text << ": " << (e.ok() ? "" : e.error());
    return e.ok() ? std::move(*e) : Expression{};
}

bool holds(std::string_view text, const Record& r, bool exact = false) {
    return parse(text).isTrue(r.view(12), EvalSettings{exact});
}

std::string textOf(std::string_view text, const Record& r = smith()) {
    const Value v = parse(text).evaluate(r.view(12));
    EXPECT_EQ(v.type, ValueType::Character) << text;
    return v.text;
}

double numberOf(std::string_view text, const Record& r = smith()) {
    const Value v = parse(text).evaluate(r.view(12));
    EXPECT_EQ(v.type, ValueType::Numeric) << text;
    return v.number;
}

} // namespace

TEST(ExpressionEval, FieldsAreSeenAsStored) {
    const Record r = smith();
    EXPECT_EQ(textOf("LNAME", r), "Smith       ");
    EXPECT_EQ(textOf("lname", r), "Smith       ");
    EXPECT_EQ(textOf("DATE", r), "19970315");
    EXPECT_DOUBLE_EQ(numberOf("AMOUNT", r), 12.5);
    EXPECT_DOUBLE_EQ(numberOf("SCORE", r), -1.5);
    EXPECT_TRUE(holds("ACTIVE", r));
    for (const char* yes : {"T", "t", "Y", "y"}) {
        EXPECT_TRUE(holds("ACTIVE", Record(r).set("ACTIVE", yes))) << yes;
    }
    for (const char* no : {"F", "f", "N", " ", "?"}) {
        EXPECT_FALSE(holds("ACTIVE", Record(r).set("ACTIVE", no))) << no;
    }
    EXPECT_DOUBLE_EQ(numberOf("AMOUNT", Record(r).set("AMOUNT", "")), 0);
    EXPECT_DOUBLE_EQ(numberOf("AMOUNT", Record(r).set("AMOUNT", "********")), 0);
}

TEST(ExpressionEval, BinaryFieldsFromOtherTools) {
    Record r = smith();
    const std::int32_t count = -42;
    const std::int64_t price = 123456; // 12.3456
    const double rate = 0.25;
    const std::int32_t stamp[2] = {2450523, (13 * 3600 + 5 * 60 + 9) * 1000}; // 1997-03-15
    r.setBinary("COUNT", &count, 4).setBinary("PRICE", &price, 8).setBinary("RATE", &rate, 8);
    r.setBinary("STAMP", stamp, 8);
    EXPECT_DOUBLE_EQ(numberOf("COUNT", r), -42);
    EXPECT_DOUBLE_EQ(numberOf("PRICE", r), 12.3456);
    EXPECT_DOUBLE_EQ(numberOf("RATE", r), 0.25);
    EXPECT_EQ(textOf("STAMP", r), "19970315130509");
    EXPECT_EQ(textOf("STAMP", smith()), std::string(14, ' ')); // zero day would be garbage
}

TEST(ExpressionEval, FilterBuilderQueries) {
    const Record r = smith();
    EXPECT_TRUE(holds(R"x(UPPER(LNAME)="SMI")x", r));
    EXPECT_FALSE(holds(R"x(UPPER(LNAME)="BAK")x", r));
    EXPECT_TRUE(holds(R"x("C"$UPPER(CODES))x", r));
    EXPECT_FALSE(holds(R"x("D"$UPPER(CODES))x", r));
    EXPECT_TRUE(holds(R"x(UPPER(DATE)>="19970101")x", r));
    EXPECT_FALSE(holds(R"x(UPPER(DATE)>="19980101")x", r));
    EXPECT_TRUE(holds(R"x(((UPPER(LNAME)="JONES").or.(UPPER(LNAME)="SMITH")))x", r));
    EXPECT_TRUE(holds(R"x((UPPER(LNAME)="S") and (UPPER(FNAME)="J").and. !ISDEL)x", r));
    EXPECT_FALSE(holds(R"x((UPPER(LNAME)="S") AND (UPPER(FNAME)="B").and. !ISDEL)x", r));
    EXPECT_TRUE(holds(R"x((!((UPPER(LNAME)="JO"))).and. !ISDEL)x", r));
    EXPECT_TRUE(holds(R"x((UPPER(TAG)="K3Z9A1B2").and. !ISDEL)x", r));
    EXPECT_TRUE(holds("NOT ISDEL", r));
    EXPECT_TRUE(holds("!ISDEL", r));
    EXPECT_FALSE(holds("ISDEL", r));
    EXPECT_FALSE(holds("DELETED()", r));
    EXPECT_TRUE(holds("Recno()=12", r));
    EXPECT_TRUE(holds("RECNO() > 11 .and. recno() < 13", r));
    EXPECT_FALSE(holds("Recno()=11", r));

    const Record gone = Record(r).deleted();
    EXPECT_TRUE(holds("ISDEL", gone));
    EXPECT_TRUE(holds("DELETED()", gone));
    EXPECT_FALSE(holds("NOT ISDEL", gone));
    EXPECT_FALSE(holds(R"x((UPPER(TAG)="K3Z9A1B2").and. !ISDEL)x", gone));
}

TEST(ExpressionEval, QuotedValuesKeepEverythingInside) {
    const Record obrien = Record().set("LNAME", "O\"Brien");
    EXPECT_TRUE(holds(R"x(UPPER(LNAME)='O"BRIEN')x", obrien));
    const Record its = Record().set("LNAME", "It's \"x\"");
    EXPECT_TRUE(holds(R"x(UPPER(LNAME)=[IT'S "X"])x", its));
    const Record odd = Record().set("LNAME", "X\").or.(.T.");
    EXPECT_TRUE(holds(R"x(LNAME=[X").or.(.T.])x", odd));
    EXPECT_FALSE(holds(R"x(LNAME=[X").or.(.T.])x", smith()));
}

TEST(ExpressionEval, PlusAndMinusOnText) {
    const Record r = smith();
    EXPECT_EQ(textOf("LNAME+FNAME", r), "Smith       John    ");
    EXPECT_EQ(textOf("LNAME-FNAME", r), "SmithJohn           ");
    EXPECT_EQ(textOf("UPPER(LNAME-FNAME)", r), "SMITHJOHN           ");
    EXPECT_EQ(textOf("UPPER(LNAME)+UPPER(FNAME)", r), "SMITH       JOHN    ");
    EXPECT_EQ(textOf("UPPER(CITY+STATE)", r), "BOSTON    MA");
    EXPECT_EQ(textOf("UPPER(STATE-ZIP)", r), "MA02110");
    EXPECT_EQ(textOf(R"x("AB  " - "CD")x", r), "ABCD  ");
    EXPECT_EQ(textOf(R"x("AB" - "CD  ")x", r), "ABCD  ");
    EXPECT_EQ(textOf(R"x("  " - "CD")x", r), "CD  ");
    EXPECT_EQ(textOf(R"x("A " - "B " - "C")x", r), "ABC  ");
    EXPECT_EQ(textOf(R"x("" + "" - "")x", r), "");
}

TEST(ExpressionEval, Arithmetic) {
    EXPECT_DOUBLE_EQ(numberOf("1 + 2 * 3"), 7);
    EXPECT_DOUBLE_EQ(numberOf("(1 + 2) * 3"), 9);
    EXPECT_DOUBLE_EQ(numberOf("10 - 4 - 3"), 3);
    EXPECT_DOUBLE_EQ(numberOf("-AMOUNT * 2"), -25);
    EXPECT_DOUBLE_EQ(numberOf("7 / 2"), 3.5);
    EXPECT_DOUBLE_EQ(numberOf("7 % 3"), 1);
    EXPECT_DOUBLE_EQ(numberOf("-7 % 3"), 2);
    EXPECT_DOUBLE_EQ(numberOf("2 ^ 10"), 1024);
    EXPECT_DOUBLE_EQ(numberOf("2 ** 3"), 8);
    EXPECT_DOUBLE_EQ(numberOf("-2 ^ 2"), -4);
    EXPECT_DOUBLE_EQ(numberOf("1 / 0"), 0);
    EXPECT_DOUBLE_EQ(numberOf(".5 + 1."), 1.5);
    EXPECT_TRUE(holds("AMOUNT > 12 .AND. AMOUNT <= 12.5 .AND. AMOUNT # 3", smith()));
    EXPECT_TRUE(holds("AMOUNT == 12.5 .and. AMOUNT != 12", smith()));
}

TEST(ExpressionEval, Precedence) {
    const Record r = smith();
    // NOT binds looser than a comparison, AND tighter than OR.
    EXPECT_TRUE(holds(R"x(!LNAME = "Jones")x", r));
    EXPECT_TRUE(holds(".T. .OR. .F. .AND. .F.", r));
    EXPECT_FALSE(holds("(.T. .OR. .F.) .AND. .F.", r));
    EXPECT_TRUE(holds(".NOT. .F. .AND. .T.", r));
    EXPECT_TRUE(holds("ACTIVE .and..not. ISDEL", r));
    EXPECT_TRUE(holds("1 + 2 = 3 .AND. 2 * 3 > 5", r));
    EXPECT_TRUE(holds(R"x("Sm" + "ith" $ LNAME)x", r));
}

TEST(ExpressionEval, Functions) {
    const Record r = smith();
    EXPECT_EQ(textOf("TRIM(LNAME)", r), "Smith");
    EXPECT_EQ(textOf("RTRIM(LNAME)", r), "Smith");
    EXPECT_EQ(textOf(R"x(LTRIM("  a b  "))x", r), "a b  ");
    EXPECT_EQ(textOf(R"x(ALLTRIM("  a b  "))x", r), "a b");
    EXPECT_EQ(textOf("LEFT(LNAME,3)", r), "Smi");
    EXPECT_EQ(textOf("LEFT(LNAME,0)", r), "");
    EXPECT_EQ(textOf("LEFT(LNAME,-2)", r), "");
    EXPECT_EQ(textOf("LEFT(TRIM(LNAME),40)", r), "Smith");
    EXPECT_EQ(textOf("RIGHT(TRIM(LNAME),2)", r), "th");
    EXPECT_EQ(textOf("RIGHT(LNAME,99)", r), "Smith       ");
    EXPECT_EQ(textOf("SUBSTR(LNAME,2,3)", r), "mit");
    EXPECT_EQ(textOf("SUBSTR(TRIM(LNAME),4)", r), "th");
    EXPECT_EQ(textOf("SUBSTR(LNAME,40)", r), "");
    EXPECT_EQ(textOf("SUBSTR(LNAME,0,2)", r), "Sm");
    EXPECT_EQ(textOf("STR(AMOUNT)", r), "        13");
    EXPECT_EQ(textOf("STR(AMOUNT,8,2)", r), "   12.50");
    EXPECT_EQ(textOf("STR(-2.5,4)", r), "  -3");
    EXPECT_EQ(textOf("STR(2.675,6,2)", r), "  2.68");
    EXPECT_EQ(textOf("STR(123.456,5,2)", r), "123.5");
    EXPECT_EQ(textOf("STR(123456,3)", r), "***");
    EXPECT_EQ(textOf("STR(RECNO(),4)", r), "  12");
    EXPECT_DOUBLE_EQ(numberOf(R"x(VAL("  -12.5xyz"))x", r), -12.5);
    EXPECT_DOUBLE_EQ(numberOf(R"x(VAL("abc"))x", r), 0);
    EXPECT_DOUBLE_EQ(numberOf(R"x(VAL("nan"))x", r), 0);
    EXPECT_DOUBLE_EQ(numberOf("VAL(ZIP)", r), 2110);
    EXPECT_DOUBLE_EQ(numberOf("LEN(LNAME)", r), 12);
    EXPECT_DOUBLE_EQ(numberOf("LEN(TRIM(LNAME))", r), 5);
    EXPECT_DOUBLE_EQ(numberOf(R"x(AT("th", LNAME))x", r), 4);
    EXPECT_DOUBLE_EQ(numberOf(R"x(AT("x", LNAME))x", r), 0);
    EXPECT_EQ(textOf(R"x(IIF(ACTIVE, "yes", "no"))x", r), "yes");
    EXPECT_DOUBLE_EQ(numberOf("IIF(ISDEL, 1, 2)", r), 2);
    EXPECT_EQ(textOf("LOWER(LNAME)", r), "smith       ");
    EXPECT_EQ(textOf("DTOS(DATE)", r), "19970315");
}

TEST(ExpressionEval, Empty) {
    const Record blank;
    EXPECT_TRUE(holds("EMPTY(LNAME)", blank));
    EXPECT_TRUE(holds("EMPTY(AMOUNT)", blank));
    EXPECT_TRUE(holds("EMPTY(ACTIVE)", blank));
    EXPECT_TRUE(holds("EMPTY(DATE)", blank));
    EXPECT_TRUE(holds(R"x(EMPTY(""))x", blank));
    EXPECT_TRUE(holds("EMPTY(0)", blank));
    EXPECT_FALSE(holds("EMPTY(LNAME)", smith()));
    EXPECT_FALSE(holds("EMPTY(AMOUNT)", smith()));
    EXPECT_FALSE(holds("EMPTY(ACTIVE)", smith()));
}

TEST(ExpressionEval, UpperCoversAccentedLetters) {
    const Record r = Record().set("LNAME", "\xE0\xE9\x9A\x9C\xFF\xDF\xB5z");
    EXPECT_EQ(textOf("UPPER(LNAME)", r), "\xC0\xC9\x8A\x8C\x9F\xDF\xB5Z    ");
    EXPECT_TRUE(holds("UPPER(LNAME)=[\xC0\xC9]", r));
}

TEST(ExpressionEval, ResultsAreValuesOfTheRightType) {
    const Value t = parse("!ISDEL").evaluate(smith().view());
    EXPECT_EQ(t.type, ValueType::Logical);
    EXPECT_TRUE(t.logical);
    EXPECT_FALSE(parse("LNAME").isTrue(smith().view())); // not logical: false
}

TEST(ExpressionEval, TextIntoABuffer) {
    std::string out = "old";
    parse("UPPER(LNAME)").evaluateText(smith().view(), out);
    EXPECT_EQ(out, "SMITH       ");
    parse("!ISDEL").evaluateText(smith().view(), out);
    EXPECT_EQ(out, "T");
    parse("ISDEL").evaluateText(smith().view(), out);
    EXPECT_EQ(out, "F");
    parse("AMOUNT*2").evaluateText(smith().view(), out);
    EXPECT_EQ(out, "25");
    Expression().evaluateText(smith().view(), out);
    EXPECT_EQ(out, "");
}

TEST(ExpressionEval, MissingRecordReadsAsBlank) {
    RecordView none;
    EXPECT_EQ(parse("LNAME+FNAME").evaluate(none).text, std::string(20, ' '));
    EXPECT_TRUE(parse("!ISDEL .AND. EMPTY(AMOUNT)").isTrue(none));
}

TEST(ExpressionWidth, FixedWidthsForIndexKeys) {
    const auto width = [](std::string_view text) { return parse(text).width(); };
    EXPECT_EQ(width("LNAME"), 12);
    EXPECT_EQ(width("UPPER(LNAME)"), 12);
    EXPECT_EQ(width("DATE"), 8);
    EXPECT_EQ(width("LNAME+FNAME"), 20);
    EXPECT_EQ(width("UPPER(LNAME-FNAME)"), 20);
    EXPECT_EQ(width("UPPER(LNAME)+UPPER(FNAME)"), 20);
    EXPECT_EQ(width("UPPER(CITY+STATE)"), 12);
    EXPECT_EQ(width("STATE-ZIP"), 7);
    EXPECT_EQ(width("LEFT(LNAME,4)"), 4);
    EXPECT_EQ(width("LEFT(LNAME,40)"), 12);
    EXPECT_EQ(width("RIGHT(LNAME,3)+ZIP"), 8);
    EXPECT_EQ(width("SUBSTR(LNAME,3,4)"), 4);
    EXPECT_EQ(width("SUBSTR(LNAME,3)"), 10);
    EXPECT_EQ(width("STR(AMOUNT,8,2)"), 8);
    EXPECT_EQ(width("STR(AMOUNT)"), 10);
    EXPECT_EQ(width(R"x("ABC")x"), 3);
    EXPECT_EQ(width(R"x(LNAME+"/")x"), 13);
    EXPECT_EQ(width("DTOS(DATE)+LNAME"), 20);
    EXPECT_EQ(width(R"x(IIF(ISDEL, "A", "B"))x"), 1);
    EXPECT_EQ(width("STAMP"), 14);
    // Depends on the record, or not a character key.
    EXPECT_EQ(width("TRIM(LNAME)"), 0);
    EXPECT_EQ(width("TRIM(LNAME)+FNAME"), 0);
    EXPECT_EQ(width("LEFT(TRIM(LNAME),3)"), 0);
    EXPECT_EQ(width("LEFT(LNAME,LEN(FNAME))"), 0);
    EXPECT_EQ(width(R"x(IIF(ISDEL, "A", "BB"))x"), 0);
    EXPECT_EQ(width("AMOUNT"), 0);
    // Logical results are one byte, "T" or "F".
    EXPECT_EQ(width("ISDEL"), 1);
    EXPECT_EQ(width(R"x(UPPER(LNAME)="A")x"), 1);
}
