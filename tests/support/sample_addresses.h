#pragma once
// Deterministic address-shaped records for tests and benchmarks: realistic
// names, streets, cities with their states and ZIP codes.

#include "store/address_schema.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace qp::testing {

struct SampleAddress {
    std::string lname, fname, middle, prefix, title, org, street, street2, city, state, zip,
        country, date, phone, phone2, fax, email, codes, user1, user2, tag, memo;
    bool isdel = false;
};

class SampleAddresses {
public:
    explicit SampleAddresses(std::uint64_t seed = 1) : state_(seed * 2654435761u + 1) {}

    SampleAddress next() {
        static constexpr std::array<const char*, 24> last{
            "Smith",    "Johnson", "Williams",  "Brown",    "Jones",     "Garcia",
            "Miller",   "Davis",   "Rodriguez", "Martinez", "Hernandez", "Lopez",
            "Gonzalez", "Wilson",  "Anderson",  "Thomas",   "Taylor",    "Moore",
            "Jackson",  "Martin",  "Lee",       "Perez",    "Thompson",  "Smythe"};
        static constexpr std::array<const char*, 20> first{
            "James",  "Mary",    "John",      "Patricia", "Robert",  "Jennifer", "Michael",
            "Linda",  "William", "Elizabeth", "David",    "Barbara", "Richard",  "Susan",
            "Joseph", "Jessica", "Thomas",    "Sarah",    "Charles", "Karen"};
        static constexpr std::array<const char*, 10> streets{
            "Main St",         "Oak Ave", "Maple Dr", "Cedar Ln", "Elm St",
            "Washington Blvd", "Lake Rd", "Hill St",  "Park Ave", "Pine Ct"};
        struct Place {
            const char *city, *state, *zip3;
        };
        static constexpr std::array<Place, 12> places{{{"New York", "NY", "100"},
                                                       {"Albany", "NY", "122"},
                                                       {"Boston", "MA", "021"},
                                                       {"Chicago", "IL", "606"},
                                                       {"Houston", "TX", "770"},
                                                       {"Austin", "TX", "787"},
                                                       {"Phoenix", "AZ", "850"},
                                                       {"Denver", "CO", "802"},
                                                       {"Seattle", "WA", "981"},
                                                       {"Miami", "FL", "331"},
                                                       {"Atlanta", "GA", "303"},
                                                       {"Portland", "OR", "972"}}};
        SampleAddress a;
        a.lname = pick(last);
        if (roll(10) == 0)
            a.lname += std::to_string(roll(1000));
        a.fname = pick(first);
        a.middle = std::string(1, static_cast<char>('A' + roll(26)));
        a.prefix = roll(3) == 0 ? "Dr." : (roll(2) ? "Mr." : "Ms.");
        a.title = roll(4) == 0 ? "Manager" : "";
        a.org = roll(3) == 0 ? "Acme Corp" : "";
        a.street = std::to_string(1 + roll(9999)) + " " + pick(streets);
        a.street2 = roll(8) == 0 ? "Apt " + std::to_string(1 + roll(99)) : "";
        const Place& p = places[roll(places.size())];
        a.city = p.city;
        a.state = p.state;
        a.zip = std::string(p.zip3) + digits(2);
        if (roll(3) == 0)
            a.zip += "-" + digits(4);
        a.country = roll(20) == 0 ? "USA" : "";
        a.date = roll(2) ? "19" + std::to_string(70 + roll(30)) + "0" +
                               std::to_string(1 + roll(9)) + "1" + std::to_string(roll(10))
                         : "";
        a.phone = "(" + digits(3) + ") " + digits(3) + "-" + digits(4);
        a.phone2 = roll(5) == 0 ? a.phone : "";
        a.fax = "";
        a.email = roll(2) ? lower(a.fname) + "." + lower(a.lname) + "@example.com" : "";
        a.codes = roll(2) ? "C" : (roll(2) ? "AB" : "");
        a.user1 = roll(6) == 0 ? "Customer since 1998" : "";
        a.tag = roll(10) == 0 ? "K3Z9A1B2" : "";
        a.memo = roll(8) == 0 ? "Call before delivery." : "";
        a.isdel = roll(50) == 0;
        return a;
    }

    static std::vector<store::FieldSpec> fieldSpecs() {
        std::vector<store::FieldSpec> specs;
        for (const auto& f : store::kAddressFields)
            specs.push_back({std::string(f.name), f.type, f.defaultWidth, 0});
        return specs;
    }

    // Appends one record; the caller posts.
    static store::Status append(store::Table& t, const SampleAddress& a) {
        if (auto st = t.append(); !st)
            return st;
        const std::pair<const char*, const std::string*> values[] = {
            {"LNAME", &a.lname},   {"FNAME", &a.fname},     {"MIDDLE", &a.middle},
            {"PREFIX", &a.prefix}, {"TITLE", &a.title},     {"ORG", &a.org},
            {"STREET", &a.street}, {"STREET2", &a.street2}, {"CITY", &a.city},
            {"STATE", &a.state},   {"ZIP", &a.zip},         {"COUNTRY", &a.country},
            {"DATE", &a.date},     {"PHONE", &a.phone},     {"PHONE2", &a.phone2},
            {"FAX", &a.fax},       {"EMAIL", &a.email},     {"CODES", &a.codes},
            {"USER1", &a.user1},   {"USER2", &a.user2},     {"TAG", &a.tag}};
        for (const auto& [name, value] : values)
            if (!value->empty())
                if (auto st = t.replace(name, *value); !st)
                    return st;
        if (!a.memo.empty())
            if (auto st = t.replace("MEMO", a.memo); !st)
                return st;
        return t.replaceLogical("ISDEL", a.isdel);
    }

    // A table of `count` records, created fresh at `path`, with or without the 26 tags.
    static store::Status writeTable(const std::string& path, std::uint32_t count, bool withTags,
                                    std::uint64_t seed = 1) {
        if (auto st = store::Table::create(path, fieldSpecs()); !st)
            return st;
        auto t = store::Table::open(path, store::OpenMode::Exclusive);
        if (!t)
            return store::fail(t.error());
        SampleAddresses gen(seed);
        for (std::uint32_t i = 0; i < count; ++i) {
            auto a = gen.next();
            if (auto st = append(*t, a); !st)
                return st;
            if (auto st = t->post(); !st)
                return st;
            if (a.isdel)
                if (auto st = t->deleteRecord(); !st)
                    return st;
        }
        if (withTags)
            for (const auto& tag : store::kAddressTags)
                if (auto st = t->indexTag(std::string(tag.name), std::string(tag.expression)); !st)
                    return st;
        return {};
    }

private:
    std::uint64_t roll(std::uint64_t n) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_ % n;
    }
    template <class A> const char* pick(const A& items) { return items[roll(items.size())]; }
    std::string digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('0' + roll(10));
        return s;
    }
    static std::string lower(std::string s) {
        for (auto& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::uint64_t state_;
};

// A fresh folder under the system temp folder, removed at the end of its scope.
class TempDir {
public:
    TempDir() {
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path_ = base /
                    ("qp-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

} // namespace qp::testing
