#pragma once
// One envelope definition (an ENVELOPE.DBF record): its description, its
// size code and the layout file in sysdata; how it is read and written, and
// the saved designs kept together with their files.

#include "envelopes/envelope_sizes.h"
#include "store/result.h"
#include "store/table.h"

#include <optional>
#include <string>
#include <string_view>

namespace qp::design {
class TGBasePanel;
}

namespace qp::envelopes {

inline constexpr std::size_t kDescriptionLimit = 50;
inline constexpr std::string_view kNewEnvelopeDescription = "<New envelope>";
inline constexpr std::string_view kLayoutFileRemovedMessage =
    "Envelope definition file has been removed from the sysdata directory";
inline constexpr std::string_view kNoFreeLayoutNameMessage =
    "No new envelope layout file can be made: every name from BIN00001.E to BIN99999.E is taken";
inline constexpr std::string_view kClonePrefix = "Clone of ";
inline constexpr std::string_view kLayoutExtension = ".E";

struct EnvelopeDefinition {
    std::string description{kDefaultEnvelopeDescription};
    int code = kDefaultEnvelopeCode;
    std::string layoutFile; // BIN#####.E, no folder
    double width() const { return envelopeSize(code).width; }
    double height() const { return envelopeSize(code).height; }
};

// sysdata/ENVELOPE.DBF, created when missing (never when it exists and will
// not open), in its DESCRIPT order on its first record, deleted ones hidden.
store::Result<store::Table> openEnvelopeTable(const std::string& sysdataFolder);

EnvelopeDefinition readEnvelopeDefinition(const store::Table& table);
// Sets DESCRIPT (50 characters), NUMBER and BINARY of the current record;
// the caller posts.
store::Status writeEnvelopeDefinition(store::Table& table, const EnvelopeDefinition& def);

// The first BIN#####.E free on disk and unused by any record, deleted
// ones included.
std::optional<std::string> freshEnvelopeLayoutName(const std::string& sysdata, store::Table& table);
// sysdata + the layout file, when its name has the BIN#####.E form.
store::Result<std::string> envelopeLayoutPath(const std::string& sysdata,
                                              const EnvelopeDefinition& def);
bool envelopeLayoutExists(const std::string& sysdata, const EnvelopeDefinition& def);

std::string cloneDescription(std::string_view description);

// Writes the panel to the layout file, then the record (appended when
// `isNew`) and posts it. On failure the table is unchanged and an old
// layout file is whole.
store::Status saveEnvelopeDesign(store::Table& table, const EnvelopeDefinition& def, bool isNew,
                                 design::TGBasePanel& panel, const std::string& sysdata);
// Marks the current record deleted and removes its layout file.
store::Status deleteEnvelopeDesign(store::Table& table, const std::string& sysdata);
// Copies the current definition: the layout file byte for byte under a
// fresh name, then a record "Clone of " + description with the same size.
// A missing layout file or a failed copy adds nothing. The new record is
// current afterwards.
store::Result<EnvelopeDefinition> cloneEnvelopeDesign(store::Table& table,
                                                      const std::string& sysdata);
// Whether the file reads as an envelope layout (every object of a kind an
// envelope holds); the reason when not.
store::Status checkEnvelopeLayoutFile(const std::string& path);

// The definition described `description` (any case, trailing blanks
// ignored), made current.
std::optional<EnvelopeDefinition> findEnvelopeDesign(store::Table& table,
                                                     std::string_view description);

} // namespace qp::envelopes
