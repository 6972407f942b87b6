#include "filter_criteria.h"

#include "shared_routines.h"

#include <vector>

namespace qp::store {

namespace {

constexpr std::size_t kMaxOperatorValueLength = 99;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        n += isContinuation(c) ? 0 : 1;
    return n;
}

// The first `count` characters of UTF-8 text.
std::string_view utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        if (!isContinuation((unsigned char)text[i]) && seen++ == count)
            break;
    }
    return text.substr(0, i);
}

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

} // namespace

void ClearQueryVars(FilterCriteria& filter) {
    for (std::string& c : filter.criteria)
        c.clear();
    filter.tagged = false;
    filter.reverse = false;
    filter.expression.clear();
}

Result<std::string> QuoteFilterValue(std::string_view value) {
    std::string v(value);
    if (v.find('"') == std::string::npos)
        return "\"" + v + "\"";
    if (v.find('\'') == std::string::npos)
        return "'" + v + "'";
    // A bracketed text ends at the first ']'; '[' inside it is plain text.
    if (v.find(']') == std::string::npos)
        return "[" + v + "]";
    return fail("The filter value " + v +
                " contains double quotes, single quotes and square brackets, so it cannot be "
                "searched for. Please remove one of them.");
}

std::string upperFilterText(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = (unsigned char)out[i];
        if (c >= 'a' && c <= 'z') {
            out[i] = char(c - 'a' + 'A');
        } else if (i + 1 < out.size()) {
            unsigned char d = (unsigned char)out[i + 1];
            if (c == 0xC3 && d >= 0xA0 && d <= 0xBE && d != 0xB7) { // à..þ except ÷
                out[i + 1] = char(d - 0x20);
            } else if (c == 0xC3 && d == 0xBF) { // ÿ -> Ÿ
                out[i] = char(0xC5);
                out[i + 1] = char(0xB8);
            } else if (c == 0xC5 && (d == 0x93 || d == 0xA1 || d == 0xBE)) { // œ š ž
                out[i + 1] = char(d - 1);
            }
        }
    }
    return out;
}

Result<std::string> TranslateCriterion(std::string_view field, std::string_view text) {
    // ";" binds loosest, then "+", then "^".
    static constexpr std::pair<char, std::string_view> kJoiners[] = {
        {';', ".or."}, {'+', ".and."}, {'^', ".and..not."}};
    for (const auto& [separator, joiner] : kJoiners) {
        if (text.find(separator) == std::string_view::npos)
            continue;
        std::string out = "(";
        bool first = true;
        for (std::string_view piece : splitAt(text, separator)) {
            auto translated = TranslateCriterion(field, piece);
            if (!translated)
                return translated;
            if (!first)
                out += joiner;
            out += "(" + *translated + ")";
            first = false;
        }
        return out + ")";
    }

    std::string_view op = "=";
    std::string_view value = text;
    for (std::string_view candidate : {">=", ">", "<=", "<", "$"}) {
        if (text.substr(0, candidate.size()) == candidate) {
            op = candidate;
            value = utf8Prefix(text.substr(candidate.size()), kMaxOperatorValueLength);
            break;
        }
    }
    auto literal = QuoteFilterValue(upperFilterText(value));
    if (!literal)
        return literal;
    const std::string upperField = "UPPER(" + std::string(field) + ")";
    if (op == "$")
        return *literal + "$" + upperField;
    return upperField + std::string(op) + *literal;
}

Result<std::string> BuildQueryString(const FilterCriteria& filter, std::string_view tagId) {
    using F = FilterField;
    static constexpr F kOrder[] = {
        F::LastName, F::FirstName, F::Title,    F::Organization, F::Address1, F::Address2,
        F::Zip,      F::City,      F::State,    F::Country,      F::Phone1,   F::Phone2,
        F::Fax,      F::Email,     F::Comment1, F::Comment2,     F::Date,     F::Codes};
    std::string expression;
    std::string_view separator;
    for (F f : kOrder) {
        const std::string& text = filter[f];
        if (Trim(text).empty())
            continue;
        auto translated = TranslateCriterion(kFilterFieldExpressions[std::size_t(f)], text);
        if (!translated)
            return translated;
        expression += std::string(separator) + *translated;
        separator = " and ";
    }
    if (filter.tagged) {
        auto literal = QuoteFilterValue(tagId);
        if (!literal)
            return literal;
        expression += std::string(separator) + "(UPPER(TAG)=" + *literal + ")";
    }
    if (!expression.empty() && filter.reverse)
        expression = "(!(" + expression + "))";
    return expression;
}

FilterQuery PrepareFilterQuery(FilterCriteria& filter, std::string_view tagId) {
    FilterQuery result;
    auto built = BuildQueryString(filter, tagId);
    if (!built) {
        ClearQueryVars(filter);
        result.kind = FilterQuery::Kind::Invalid;
        result.message = built.error();
        return result;
    }
    filter.expression = *built;
    if (filter.expression.empty())
        return result;
    if (utf8Length(filter.expression) > kMaxFilterExpressionLength) {
        ClearQueryVars(filter);
        result.kind = FilterQuery::Kind::TooComplex;
        result.message = std::string(kFilterTooComplexMessage);
        return result;
    }
    result.kind = FilterQuery::Kind::Filter;
    result.query = filter.expression + ".and. !ISDEL";
    return result;
}

} // namespace qp::store
