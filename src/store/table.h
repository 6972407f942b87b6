#pragma once
// A DBF table with its memo file and structural index, and one record cursor
// over it: the engine every other part of the program reads and writes
// tables through. Text crosses this interface as UTF-8; the files hold
// Windows-1252.

#include "compact_index.h"
#include "dbf_header.h"
#include "expression.h"
#include "key_bounds.h"
#include "key_sort.h"
#include "memo_file.h"
#include "os_file.h"
#include "result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::store {

enum class OpenMode { Exclusive, Shared, ReadOnly };

struct FieldSpec {
    std::string name;
    char type = 'C'; // C N L M
    int length = 0;
    int decimals = 0;
};

// Called with a percentage during pack and index builds.
using ProgressHook = std::function<void(int percent)>;

// What a repair found, kept and dropped.
struct RepairReport {
    std::uint32_t headerCount = 0; // records the header counted before
    std::uint32_t recordsKept = 0; // every whole record, deleted ones included
    std::uint32_t deletedKept = 0;
    std::uint64_t bytesDropped = 0; // a partial record at the end of the file
    std::uint32_t memosKept = 0;
    std::vector<std::uint32_t> memosDropped; // records whose memo could not be read
    std::vector<std::string> problems;       // the damage found
    std::vector<std::string> backups;        // copies of the originals still kept
    bool anythingDropped() const { return bytesDropped > 0 || !memosDropped.empty(); }
};

class Table {
public:
    // Writes an empty table (and its memo file when a field is a memo); no
    // index. Refuses when any file of the table's family (the table, its .CDX
    // or .FPT, in any letter case) exists.
    static Status create(const std::string& path, const std::vector<FieldSpec>& fields);
    // The same over an existing table, which is locked before anything is
    // cut: a table another program holds is "in use" and stays as it is. Its
    // index file goes. Returns the path written (the existing file's name).
    static Result<std::string> createOver(const std::string& path,
                                          const std::vector<FieldSpec>& fields);
    static Result<Table> open(const std::string& path, OpenMode mode);

    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    ~Table(); // posts a pending change, flushes and closes

    // Structure
    const std::string& path() const { return path_; }
    const std::vector<FieldDef>& fields() const { return header_.fields; }
    std::optional<int> fieldIndex(std::string_view name) const; // case-insensitive
    const DbfHeader& header() const { return header_; }
    bool readOnly() const { return mode_ == OpenMode::ReadOnly; }
    Status copyStructure(const std::string& path) const;
    Result<std::string> copyStructureOver(const std::string& path) const;

    // Settings
    void setDeleted(bool hideMarked); // on by default
    bool deletedHidden() const { return hideDeleted_; }
    void setExact(bool exact) {
        settings_.exact = exact;
        atFirst_ = false;
    }
    bool exact() const { return settings_.exact; }
    void setSoftSeek(bool soft) { softSeek_ = soft; }
    bool softSeek() const { return softSeek_; }
    void setProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
    // Why the table may be read but not written (damage, an index whose key
    // cannot be evaluated); empty when it is sound.
    const std::string& writeBlock() const { return writeBlock_; }
    // Why the structural index could not be opened; empty when it opened.
    // Records are not written until the index is rebuilt.
    const std::string& indexError() const { return indexError_; }
    // Why the table or its memo file needs a repair (a record count that
    // disagrees with the file's size, a header length that disagrees with the
    // fields, a memo file whose header disagrees with its size); empty when
    // sound. A damaged table is read-only.
    const std::string& damage() const { return damage_; }
    // Keeps every whole record, sets the header to match, rewrites the memo
    // file with the memos that can be read and rebuilds the tags that could be
    // read. The originals stay as NAME.bak.* until the repair succeeded, and
    // after it when anything was dropped.
    Result<RepairReport> repair();

    // Orders: 0 is the natural order; tags of the structural index are 1..n,
    // and the scratch index, when there is one, comes after them.
    int tagCount() const;
    std::optional<TagInfo> tagInfo(int order) const;
    int tagArea(std::string_view tagName) const; // 0 when missing
    Status setOrder(int order);
    int indexOrd() const { return order_; }
    std::string tagName() const;   // of the current order, empty for natural order
    std::string indexName() const; // path of the structural index, empty when none
    Status indexTag(const std::string& tagName, const std::string& expression);
    // Several tags in order, reading the file through one mapping.
    Status indexTags(const std::vector<std::pair<std::string, std::string>>& tags);
    // Closes the structural index and deletes its file.
    Status deleteStructuralIndex();
    Status reindex(); // rebuilds every tag of the structural index

    // Whether the structural index agrees with the records. Full reads every
    // key of every tag: the key count is the record count, keys come in (key,
    // record number) order, and each key is the one computed from its record.
    // Sampled looks up a bounded number of records per tag, whatever the
    // table's size, so that it can run on every open. No index: nothing to check.
    enum class IndexCheck { Sampled, Full };
    Status checkIndex(IndexCheck depth) const;

    // Scratch index: starts empty; keyAdd adds the current record; as the
    // order it shows only the records added.
    Status createScratchIndex(const std::string& path, const std::string& expression);
    Status keyAdd();
    // Adds the records `recnos` (any order) as keyAdd would, in one bulk
    // build when the scratch index is still empty.
    Status keyAddRecords(const std::vector<std::uint32_t>& recnos);
    void closeScratchIndex(); // the file stays

    // Moving (in the current order, over visible records)
    bool first();
    bool last();
    bool next();
    bool prior();
    bool go(std::uint32_t recno); // false when recno is out of range
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    std::uint32_t recNo() const { return recno_; }
    std::uint32_t recCount() const { return header_.recordCount; }
    // Finds `key` (UTF-8) in the current order. Exact off: a key that begins
    // with `key`; exact on: the whole key, trailing blanks aside. Not found:
    // end of file, or with soft seek the next greater key.
    Result<bool> seek(std::string_view key);

    // Query and scope
    Status setQuery(std::string_view expression); // empty removes it
    const std::string& dbFilter() const { return queryText_; }
    // Visible records of the whole table, whatever the order and scope.
    std::uint32_t queryRecCount();
    Status setScope(std::string_view low, std::string_view high); // two empties clear it

    // Current record
    std::string getString(std::string_view field) const; // trailing blanks removed
    std::string getString(int field) const;
    std::string getRaw(int field) const; // stored bytes, full width
    std::optional<double> getNumber(std::string_view field) const;
    bool getLogical(std::string_view field) const;
    Result<std::string> getMemo(std::string_view field) const;
    bool deleted() const;
    // The current record's key in the current order (UTF-8, full length).
    std::string currentKey() const;

    // Writing: append starts a blank record, replace changes the current
    // record in its buffer, post writes it with its index keys. Moving with a
    // change pending posts it first.
    Status append();
    Status replace(std::string_view field, std::string_view utf8);
    Status replace(int field, std::string_view utf8); // by fieldIndex(): no lookup by name
    Status replaceLogical(std::string_view field, bool value);
    Status replaceNumber(std::string_view field, double value);
    Status post();
    void discard(); // drops the pending change or append
    bool changed() const { return dirty_; }
    Status deleteRecord(); // deletion mark
    Status recall();
    Status pack();
    Status zap();
    Status flush();
    // A run of appends (an import): while on, a table opened exclusively
    // writes the record count into its header at flush, close or when turned
    // off, not after every record. The header never counts a record that is
    // not whole on disk; a crash in the run leaves it counting fewer than the
    // file holds, which open reports and repair mends keeping every record
    // that reached the file. The records themselves reach it megabytes at a
    // time; when a write fails, the count drops to the records the file
    // holds whole, and the error says so.
    Status deferRecordCount(bool on);

    // Expressions on the current record
    Result<Value> evaluate(std::string_view expression) const;
    Result<bool> evalLogical(std::string_view expression) const;
    Result<Expression> compile(std::string_view expression) const;
    RecordView view() const;

private:
    Table();
    struct Order;
    Status loadHeader();
    Status openStructuralIndex();
    Status writeFixedHeader();
    Status readRecord(std::uint32_t recno, std::string& into) const;
    const char* recordBytes(std::uint32_t recno) const;
    bool visible(std::uint32_t recno, const char* bytes) const;
    bool inScope(const std::string& key) const;
    const KeyBounds& walkBounds() const;
    std::optional<std::uint32_t> countInQueryRange() const;
    std::string keyOf(const Expression& expr, int keyLength, KeyType type, const char* bytes,
                      std::uint32_t recno) const;
    bool settle(bool forward);
    bool positionAt(std::optional<KeyEntry> entry, bool forward);
    void setEof();
    Status ensureWritable() const;
    Status ensureDataWritable() const;
    // Writable, with a current record (or an append) to change.
    Status ensureChangeable() const;
    Status replaceAt(int field, std::string_view utf8); // after ensureChangeable
    Status checkMemoPointers();
    Status recoverInterruptedPack();
    struct Rewrite;
    Status rewrite(bool keepDeleted, RepairReport* report);
    // Whether a pack would write the same files again: nothing marked
    // deleted, nothing after the records, memos packed already.
    bool alreadyPacked();
    Status updateKeys(const std::string& before, const std::string& after, bool isNew);
    void placeAfterWrite();
    Status buildTag(CompactIndex& index, const TagInfo& info, const Expression& expr);
    const char* mappedRecord(std::uint32_t recno) const;
    Status writeCurrent();
    Status undoWrite(bool wasNew);
    Status keepWrittenRecords(const Status& failure);
    Status setDeletionMark(char mark);
    Status commitPending();
    CompactIndex* orderIndex(int order, int& tagInFile) const;
    void invalidateCache() const;
    // The write-in-progress mark in the DBF header (table_index_check.cpp).
    Status markWriting();
    Status clearWritingMark();
    void checkAfterInterruptedWrite();

    std::string path_;
    OpenMode mode_ = OpenMode::ReadOnly;
    OsFile dbf_;
    std::optional<MemoFile> memo_;
    std::optional<CompactIndex> cdx_;
    std::vector<Expression> tagExprs_; // parallel to the structural tags
    std::optional<CompactIndex> scratch_;
    std::optional<Expression> scratchExpr_;
    DbfHeader header_;
    EvalSettings settings_;
    bool hideDeleted_ = true;
    bool softSeek_ = false;
    ProgressHook progress_;
    std::string writeBlock_;
    std::string indexError_;
    std::string damage_;
    std::uint32_t wholeRecords_ = 0; // records the file's size holds
    std::uint32_t storedCount_ = 0;  // records the header counts
    bool writeMarked_ = false;       // the mark is set on disk by this Table

    std::optional<Expression> query_;
    std::string queryText_;
    KeyBounds scope_;
    bool scoped_ = false;
    // Where walks in the current order may go: the scope, narrowed to the
    // keys the query allows. Worked out again when the order's key changes.
    struct WalkBounds {
        bool known = false;
        int order = 0;
        std::string keyExpression, forExpression;
        int keyLength = 0;
        bool descending = false;
        KeyBounds bounds;
    };
    mutable WalkBounds walkBounds_;

    int order_ = 0;
    std::uint32_t recno_ = 0;          // 0 or recordCount + 1 at the ends
    std::optional<KeyEntry> position_; // in the current order
    bool eof_ = true;
    bool bof_ = true;

    std::string record_;   // the current record's buffer
    std::string original_; // as it is on disk, for index maintenance
    bool dirty_ = false;
    bool appending_ = false;
    std::uint32_t recnoBeforeAppend_ = 0;
    std::vector<std::pair<int, std::string>> pendingMemos_;

    // The keys of the tag being built and the sort's memory; kept for the
    // next tag of a run of builds (indexTags), then let go.
    std::string buildKeys_;
    KeySortScratch sortScratch_;
    void releaseBuildMemory();
    bool inTagRun_ = false;

    // The cursor sits where first() put it and nothing has moved or changed
    // since: first() again is free (a query already walked to its first match).
    bool atFirst_ = false;
    // Appended records whose count the header on disk does not show yet; it
    // is written once per run of appends, at flush or close.
    bool countPending_ = false;
    bool deferCount_ = false;

    // Read cache of consecutive records for sequential walks.
    mutable std::string cache_;
    mutable std::uint32_t cacheFirst_ = 0;
    mutable std::uint32_t cacheCount_ = 0;
};

} // namespace qp::store
