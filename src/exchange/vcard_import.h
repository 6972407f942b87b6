#pragma once
// Importing vCard files into an address file along the import road: each
// card with a name or an address becomes one record.

#include "exchange/record_import.h"
#include "exchange/vcard_reader.h"

#include <cstdint>
#include <string>

namespace qp::exchange {

// Which of a card's addresses becomes the record's address.
enum class CardAddress { Preferred, Work, Home };
// Which date, if any, goes to Actual Date.
enum class CardDate { None, Birthday, Anniversary };

struct VCardOptions {
    CardAddress address = CardAddress::Preferred;
    CardDate date = CardDate::None;
};

inline constexpr std::string_view kNoCardsMessage = "There are no vCards in ";

// The record a card gives: N (family, given, middle, prefix), FN when N is
// missing, ORG, TITLE, the chosen ADR (extended address to Address 2), the
// first two telephones and a fax, the first e-mail, NOTE to the memo, the
// chosen date. Empty when the card has neither a name nor an address.
ImportRecord cardRecord(const VCard& card, const VCardOptions& options = {});

struct VCardScan {
    bool usable = false;
    std::uint64_t cards = 0; // whole cards
    std::string message;     // why it is not usable
};

// Counts the cards of `path`; usable when it holds at least one.
VCardScan scanVCardFile(const std::string& path);

// Appends one record per card with a name or an address; cards without
// either, and cards that never end, are counted, skipped and named in the
// final message. Refused for the address file itself and for a file without
// cards (nothing changes then). Call rebuildAfterImport afterwards unless
// Refused.
ImportOutcome importVCards(store::Table& table, const std::string& path,
                           const VCardOptions& options = {}, const ImportHooks& hooks = {});

} // namespace qp::exchange
