#include "exchange/vcard_import.h"

#include "exchange/same_file.h"
#include "exchange/vcard_fields.h"

#include <filesystem>

namespace qp::exchange {

namespace {

constexpr std::string_view kSource = "vCard file";

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string component(const std::vector<std::string>& parts, std::size_t i) {
    return i < parts.size() ? parts[i] : std::string();
}

std::string trimmed(std::string s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// The chosen property among several: by type first, then the preferred one,
// then the first.
const VCardProperty* choose(const VCard& card, std::string_view name, std::string_view type) {
    const VCardProperty* first = nullptr;
    const VCardProperty* preferred = nullptr;
    const VCardProperty* typed = nullptr;
    for (const auto& p : card.properties) {
        if (p.name != name)
            continue;
        if (!first)
            first = &p;
        if (!preferred && p.preferred())
            preferred = &p;
        if (!typed && !type.empty() && p.hasType(type))
            typed = &p;
    }
    return typed ? typed : preferred ? preferred : first;
}

// "tel:+1-555-0100" as a 4.0 URI value gives "+1-555-0100".
std::string telephone(const VCardProperty& p) {
    std::string value = trimmed(p.text());
    if (value.size() > 4 && equalsIgnoringCase(std::string_view(value).substr(0, 4), "tel:"))
        value.erase(0, 4);
    return value;
}

} // namespace

ImportRecord cardRecord(const VCard& card, const VCardOptions& options) {
    ImportRecord record;
    auto put = [&](std::string_view field, std::string value) {
        value = trimmed(std::move(value));
        if (!value.empty())
            record.emplace_back(std::string(field), std::move(value));
    };
    bool named = false;
    if (const auto* n = card.first("N")) {
        auto parts = n->components();
        std::string family = trimmed(component(parts, 0)), given = trimmed(component(parts, 1));
        named = !family.empty() || !given.empty();
        put("LNAME", family);
        put("FNAME", given);
        put("MIDDLE", component(parts, 2));
        put("PREFIX", component(parts, 3));
    }
    const auto* org = card.first("ORG");
    const std::string orgName = org ? trimmed(component(org->components(), 0)) : std::string();
    if (!named) {
        if (const auto* fn = card.first("FN")) {
            std::string full = trimmed(fn->text());
            // A card for a company often repeats the company as its name.
            if (!full.empty() && full != orgName) {
                auto space = full.rfind(' ');
                if (space == std::string::npos) {
                    put("LNAME", full);
                } else {
                    put("LNAME", full.substr(space + 1));
                    put("FNAME", full.substr(0, space));
                }
                named = true;
            }
        }
    }
    named = named || !orgName.empty();
    put("ORG", orgName);
    if (const auto* title = card.first("TITLE"))
        put("TITLE", title->text());

    std::string_view addressType = options.address == CardAddress::Work   ? "work"
                                   : options.address == CardAddress::Home ? "home"
                                                                          : "";
    bool addressed = false;
    if (const auto* adr = choose(card, "ADR", addressType)) {
        auto parts = adr->components();
        std::string street = trimmed(component(parts, 2)), extended = trimmed(component(parts, 1));
        const std::string pobox = trimmed(component(parts, 0));
        // A street written over several lines: the first line is Address 1,
        // the rest Address 2 unless the card has an extended address.
        if (auto nl = street.find('\n'); nl != std::string::npos) {
            std::string rest = trimmed(street.substr(nl + 1));
            street = trimmed(street.substr(0, nl));
            if (extended.empty())
                extended = rest;
        }
        if (street.empty() && !pobox.empty())
            street = "PO Box " + pobox;
        else if (extended.empty() && !pobox.empty())
            extended = "PO Box " + pobox;
        put("STREET", street);
        put("STREET2", extended);
        put("CITY", component(parts, 3));
        put("STATE", component(parts, 4));
        put("ZIP", component(parts, 5));
        put("COUNTRY", component(parts, 6));
        for (std::size_t i = 0; i < parts.size() && i < 7; ++i)
            addressed = addressed || !trimmed(parts[i]).empty();
    }
    if (!named && !addressed)
        return {};

    int phones = 0;
    bool fax = false;
    for (const auto& p : card.properties) {
        if (p.name != "TEL")
            continue;
        std::string number = telephone(p);
        if (number.empty())
            continue;
        if (p.hasType("fax")) {
            if (!fax)
                put("FAX", number);
            fax = true;
        } else if (phones < 2) {
            put(phones == 0 ? "PHONE" : "PHONE2", number);
            ++phones;
        }
    }
    if (const auto* email = choose(card, "EMAIL", ""))
        put("EMAIL", email->text());
    if (const auto* note = card.first("NOTE"))
        put("MEMO", note->text());

    const auto* ownDate = card.first(kDateProperty);
    const VCardProperty* date = ownDate;
    if (!date && options.date != CardDate::None)
        date = card.first(options.date == CardDate::Birthday ? "BDAY" : "ANNIVERSARY");
    if (date)
        put("DATE", date->text());
    for (const auto& [property, field] : kOwnProperties)
        if (const auto* p = card.first(property))
            put(field, p->text());
    return record;
}

VCardScan scanVCardFile(const std::string& path) {
    VCardScan scan;
    VCardReader reader(path);
    if (!isImportableFile(path) || !reader.isOpen()) {
        scan.message = std::string(kUnableToImportMessage);
        return scan;
    }
    VCard card;
    while (reader.next(card))
        ++scan.cards;
    if (reader.failed()) {
        scan.message = "Unable to read " + fileName(path);
        return scan;
    }
    if (scan.cards == 0) {
        scan.message = std::string(kNoCardsMessage) + fileName(path);
        return scan;
    }
    scan.usable = true;
    return scan;
}

ImportOutcome importVCards(store::Table& table, const std::string& path,
                           const VCardOptions& options, const ImportHooks& hooks) {
    RecordImport road(table, hooks);
    ImportOutcome refused;
    refused.kind = ImportOutcome::Kind::Refused;
    if (isTableItself(path, table.path())) {
        refused.message = std::string(kCopyToItselfMessage);
        return refused;
    }
    road.status(kCountingStatus);
    auto scan = scanVCardFile(path);
    if (!scan.usable) {
        refused.message = scan.message;
        return refused;
    }
    if (!road.begin())
        return road.finish(ImportOutcome::Kind::WriteError, kSource);
    road.setTotal(scan.cards);
    road.status(kImportingStatus);
    VCardReader reader(path);
    std::uint64_t nameless = 0, read = 0;
    auto finish = [&](ImportOutcome::Kind kind) {
        if (nameless)
            road.addNote(std::to_string(nameless) + (nameless == 1 ? " card has" : " cards have") +
                         " neither a name nor an address and " + (nameless == 1 ? "was" : "were") +
                         " skipped.");
        if (auto n = reader.unendedCount())
            road.addNote(std::to_string(n) + (n == 1 ? " card has" : " cards have") +
                         " no END:VCARD line and " + (n == 1 ? "was" : "were") +
                         " skipped: " + lineList(reader.unendedLines(), n) + ".");
        road.outcome().damagedLines = reader.damagedCount();
        return road.finish(kind, kSource);
    };
    if (!reader.isOpen())
        return finish(ImportOutcome::Kind::ReadError);
    VCard card;
    while (reader.next(card)) {
        ++read;
        ImportRecord record = cardRecord(card, options);
        if (record.empty()) {
            ++nameless;
        } else if (!road.add(record)) {
            return finish(ImportOutcome::Kind::WriteError);
        }
        if (road.cancelled())
            return finish(ImportOutcome::Kind::Cancelled);
    }
    if (reader.failed())
        return finish(ImportOutcome::Kind::ReadError);
    return finish(ImportOutcome::Kind::Complete);
}

} // namespace qp::exchange
