#include "addressbook/record_rules.h"

#include "store/filter_criteria.h"
#include "store/shared_routines.h"

#include <algorithm>
#include <cctype>

namespace qp::addressbook {

namespace {

// Byte length of the first `count` characters of UTF-8 `text`.
std::size_t utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    while (i < text.size() && count > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
        --count;
    }
    return i;
}

std::size_t utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// `text` cut or padded with blanks to `width` characters.
std::string fitted(std::string_view text, int width) {
    std::string out(text.substr(0, utf8Prefix(text, static_cast<std::size_t>(width))));
    std::size_t have = utf8Length(out);
    if (have < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - have, ' ');
    return out;
}

bool blank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

std::string GetRecordAsString(const FieldReader& field, const ClipboardParts& parts) {
    std::vector<std::string> lines;
    auto add = [&](std::string line) { lines.push_back(std::move(line)); };
    auto lead = [](std::string_view s) { return store::TrimLeft(s); };
    if (parts.nameOrgTitle) {
        std::string middle = field("MIDDLE");
        if (!blank(middle))
            middle += ".";
        add(lead(field("PREFIX") + " ") + lead(field("FNAME") + " ") + lead(middle + " ") +
            lead(field("LNAME") + " "));
        add(field("TITLE"));
        add(field("ORG"));
    }
    if (parts.address) {
        add(field("STREET"));
        add(field("STREET2"));
        add(lead(field("CITY") + " ") + " " + lead(field("STATE") + " ") + lead(field("ZIP")));
        add(lead(field("COUNTRY") + " "));
    }
    auto labelled = [&](std::string_view label, std::string_view name) {
        std::string value = field(name);
        if (!blank(value))
            add(std::string(label) + value);
    };
    if (parts.phones) {
        labelled("Phone  :", "PHONE");
        labelled("Phone 2:", "PHONE2");
    }
    if (parts.codes)
        labelled("Codes :", "CODES");
    if (parts.comments) {
        labelled("Comment 1 :", "USER1");
        labelled("Comment 2 :", "USER2");
    }

    std::string text;
    std::size_t characters = 0;
    for (auto& line : lines) {
        if (line.empty())
            continue;
        line.resize(utf8Prefix(line, kClipboardLineLimit - 2));
        std::size_t length = utf8Length(line) + 2;
        if (characters + length > kClipboardTextLimit)
            break;
        text += line;
        text += "\r\n";
        characters += length;
    }
    return text;
}

std::string DuplicateProbeKey(std::string_view last, std::string_view first, int lastWidth,
                              int firstWidth) {
    return store::upperFilterText(fitted(last, lastWidth) + fitted(first, firstWidth));
}

std::string DuplicateQuestion(const FieldReader& found) {
    return "Possible duplicate: \r\n\r\n" + found("FNAME") + " " + found("LNAME") + "\r\n" +
           found("STREET") + "\r\n" + found("CITY") + "," + found("STATE") + " " + found("ZIP") +
           "\r\n\r\nContinue adding?";
}

CarryOver NoteCarryOver(const FieldReader& shown, const store::AddingPreferences& prefs) {
    CarryOver c;
    c.org = shown("ORG");
    c.city = shown("CITY");
    c.state = shown("STATE");
    c.zip = shown("ZIP");
    c.street = shown("STREET");
    c.street2 = shown("STREET2");
    if (prefs.carryCountry)
        c.country = shown("COUNTRY");
    return c;
}

std::vector<std::pair<std::string, std::string>>
NewRecordValues(const store::AddingPreferences& prefs, const CarryOver& carried,
                const TypedForNewRecord& typed, std::string_view today) {
    std::vector<std::pair<std::string, std::string>> values;
    auto put = [&](const char* field, const std::string& value) {
        if (!blank(value))
            values.emplace_back(field, value);
    };
    put("FNAME", typed.first);
    put("LNAME", typed.last);
    put("ZIP", typed.zip);
    put("CITY", typed.city);
    put("STATE", typed.state);
    if (prefs.carryZip && blank(typed.zip))
        put("ZIP", carried.zip);
    if (prefs.carryCity && blank(typed.city))
        put("CITY", carried.city);
    if (prefs.carryState && blank(typed.state))
        put("STATE", carried.state);
    if (prefs.carryCountry)
        put("COUNTRY", carried.country);
    if (prefs.carrySA1)
        put("STREET", carried.street);
    if (prefs.carrySA2)
        put("STREET2", carried.street2);
    if (prefs.carryOrg)
        put("ORG", carried.org);
    if (blank(carried.country))
        put("COUNTRY", prefs.defaultCountry);
    if (prefs.plugDate)
        put("DATE", std::string(today));
    return values;
}

std::string AddFocusField(const store::AddingPreferences& prefs,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    auto filled = [&](std::string_view field) {
        return std::any_of(values.begin(), values.end(),
                           [&](const auto& v) { return v.first == field; });
    };
    if (!prefs.skipLastName && !filled("LNAME"))
        return "LNAME";
    if (!prefs.skipFirstName && !filled("FNAME"))
        return "FNAME";
    if (!prefs.skipMiddleInitial)
        return "MIDDLE";
    if (!prefs.skipPrefix)
        return "PREFIX";
    if (!prefs.skipTitle)
        return "TITLE";
    if (!prefs.skipOrganization)
        return "ORG";
    return "STREET";
}

std::vector<std::string> SkippedFields(const store::AddingPreferences& p) {
    const std::pair<bool, const char*> rules[] = {
        {p.skipLastName, "LNAME"},   {p.skipFirstName, "FNAME"}, {p.skipMiddleInitial, "MIDDLE"},
        {p.skipPrefix, "PREFIX"},    {p.skipTitle, "TITLE"},     {p.skipOrganization, "ORG"},
        {p.skipAddress2, "STREET2"}, {p.skipState, "STATE"},     {p.skipZip, "ZIP"},
        {p.skipCountry, "COUNTRY"},  {p.skipPhone1, "PHONE"},    {p.skipPhone2, "PHONE2"},
        {p.skipFax, "FAX"},          {p.skipEmail, "EMAIL"},     {p.skipCodes, "CODES"},
        {p.skipComments1, "USER1"},  {p.skipComments2, "USER2"}, {p.skipDate, "DATE"},
    };
    std::vector<std::string> out;
    for (const auto& [on, field] : rules)
        if (on)
            out.emplace_back(field);
    return out;
}

std::string CaptionText(std::string_view caption) {
    std::string out;
    for (char c : caption)
        if (c != '&')
            out += c;
    return out;
}

const SortOrder* SortOrderForCaption(std::string_view caption) {
    auto upper = [](std::string s) {
        for (auto& c : s)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    std::string wanted = upper(CaptionText(caption));
    for (const auto& order : kSortOrders)
        if (upper(CaptionText(order.caption)) == wanted)
            return &order;
    return nullptr;
}

std::string FilterStatusText(bool filterSet, std::uint32_t visible) {
    if (filterSet)
        return std::to_string(visible) + " filter matches";
    if (visible != 0)
        return std::to_string(visible) + " records (no filter)";
    return "No records";
}

std::string OpenFailedMessage(std::string_view path, std::string_view reason) {
    std::string message = "Unable to open " + std::string(path);
    if (!reason.empty())
        message += "\r\n\r\n" + std::string(reason);
    return message +
           "\r\n\r\n * May not be a Quillpost file.\r\n * May be in use by another program or user";
}

std::string ReadOnlyNotice(std::string_view reason) {
    return "Read-only: " + std::string(reason) +
           " Use File > Rebuild Indexes for this file to repair it.";
}

std::string DamagedFileQuestion(std::string_view reason) {
    return std::string(reason) +
           "\r\nThe file can be read but not changed until it is repaired. Repair it and rebuild "
           "its indexes now? (Every whole record is kept; the original files are kept as "
           "NAME.bak.* when anything is dropped.)";
}

std::string InvalidIndexQuestion(std::string_view path) {
    return "The index file for " + std::string(path) + "\r\nis missing or invalid. Rebuild now?";
}

} // namespace qp::addressbook
