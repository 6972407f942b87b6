// Runs the DBF source fuzz target over a fixed corpus without libFuzzer:
// tables of each kind the import reads (dBase III and IV with .DBT memos,
// FoxPro and Visual FoxPro with .FPT memos, null flags, wide character
// fields), then the same inputs cut, with bytes changed, inserted and
// removed, and with counts and lengths made extreme, from a fixed seed.
// Every so often a mutant is imported into a fresh address file. Files
// given on the command line (e.g. crashes a fuzzer found) are run too.

#include "dbf_source_target.h"
#include "replay_support.h"

#include "store/address_file.h"

#include <filesystem>
#include <unistd.h>

namespace {

struct Field {
    std::string name;
    char type;
    int length;
    std::uint8_t flags = 0;
};

std::string le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += char(v >> (8 * i) & 0xFF);
    return s;
}
std::string be(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i)
        s += char(v >> (8 * i) & 0xFF);
    return s;
}

std::string table(std::uint8_t version, const std::vector<Field>& fields,
                  const std::vector<std::string>& rows, std::uint8_t codePage, int backlink = 0) {
    int recordLength = 1;
    for (const auto& f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1 + backlink;
    std::string h{char(version), 99, 1, 1};
    h += le(std::uint32_t(rows.size()), 4) + le(std::uint32_t(headerLength), 2) +
         le(std::uint32_t(recordLength), 2);
    h += std::string(17, '\0') + char(codePage) + std::string(2, '\0');
    int offset = 1;
    for (const auto& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type;
        d.replace(12, 4, le(std::uint32_t(offset), 4));
        d[16] = char(f.length & 0xFF);
        d[17] = char(f.type == 'C' ? f.length >> 8 : 0);
        d[18] = char(f.flags);
        h += d;
        offset += f.length;
    }
    h += '\r' + std::string(std::size_t(backlink), '\0');
    for (const auto& r : rows)
        h += r;
    return h + '\x1A';
}

void run(const QByteArray& bytes, const std::string& addressFile = {}) {
    ReadDbfSourceBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                       std::size_t(bytes.size()), addressFile);
}

QByteArray q(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

std::vector<QByteArray> seeds() {
    std::vector<QByteArray> out;
    // dBase III, code page 437, memos ending in 0x1A 0x1A.
    std::string dbt3 = le(3, 4) + std::string(508, '\0') + "M\x81ller memo\r\nline\x1A\x1A";
    dbt3.resize(1024, '\0');
    dbt3 += std::string(600, 'x') + "\x1A\x1A";
    out.push_back(q(DbfSourceInput(
        1,
        table(0x83, {{"LNAME", 'C', 12}, {"BORN", 'D', 8}, {"OK", 'L', 1}, {"NOTES", 'M', 10}},
              {" M\x81ller      19961231T         1", "*Gone        19000101F          ",
               " Smith               ?         2"},
              0x01),
        dbt3)));
    // dBase IV memos with their length header, block size 512.
    std::string dbt4 = std::string(20, '\0') + le(512, 2) + std::string(490, '\0');
    dbt4 += std::string("\xFF\xFF\x08\x00", 4) + le(8 + 5, 4) + "hello";
    out.push_back(
        q(DbfSourceInput(1,
                         table(0x8B, {{"LNAME", 'C', 5}, {"AMOUNT", 'N', 8}, {"NOTES", 'M', 10}},
                               {" Lee     12.50         1"}, 0x02),
                         dbt4)));
    // FoxPro 2, block size 64.
    std::string fpt = be(10, 4) + be(0, 2) + be(64, 2) + std::string(504, '\0');
    fpt += be(1, 4) + be(9, 4) + "Pr\x82mi\x8Are";
    out.push_back(q(DbfSourceInput(2,
                                   table(0xF5, {{"NAME", 'C', 300}, {"MEMO", 'M', 10}},
                                         {" " + std::string(300, 'W') + "         8"}, 0x02),
                                   fpt)));
    // Visual FoxPro: binary numbers, null flags, binary memo pointers.
    std::string vfpt = be(9, 4) + be(0, 2) + be(64, 2) + std::string(504, '\0');
    vfpt += be(1, 4) + be(6, 4) + "Visual";
    std::string row = " Elan      " + le(std::uint32_t(-42), 4) + le(125000, 4) + le(0, 4) +
                      le(2459278, 4) + le(18367000, 4) + std::string("\0\0\0\0\0\0\xD0?", 8) +
                      le(8, 4) + "\x02";
    out.push_back(q(DbfSourceInput(2,
                                   table(0x30,
                                         {{"LNAME", 'C', 10},
                                          {"COUNT", 'I', 4},
                                          {"PRICE", 'Y', 8},
                                          {"STAMP", 'T', 8},
                                          {"RATIO", 'B', 8},
                                          {"NOTES", 'M', 4, 0x02},
                                          {"_NullFlags", '0', 1, 0x05}},
                                         {row}, 0x03, 263),
                                   vfpt)));
    return out;
}

struct Scratch {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qp-dbf-replay-" + std::to_string(::getpid()));
    Scratch() { std::filesystem::create_directories(dir); }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

} // namespace

int main(int argc, char** argv) {
    const qp::fuzz::Target plain = [](const QByteArray& b) { run(b); };
    if (!qp::fuzz::replayFiles(argc, argv, plain))
        return 1;
    const auto corpus = seeds();
    qp::fuzz::replaySeeds(corpus, 3, plain);

    Scratch scratch;
    const std::string address = (scratch.dir / "ADDR.DBF").string();
    auto fresh = [&] {
        for (const char* name : {"ADDR.DBF", "ADDR.CDX", "ADDR.FPT"})
            std::filesystem::remove(scratch.dir / name);
        if (auto st = qp::store::createAddressFile(address, {}); !st) {
            std::fprintf(stderr, "%s\n", st.error().c_str());
            std::exit(1);
        }
        return address;
    };
    for (const auto& s : corpus)
        run(s, fresh());

    qp::fuzz::Random random(0x2545F4914F6CDD1Dull);
    qp::fuzz::Edits edits;
    edits.most = 5;
    const int runs = 20000;
    qp::fuzz::replayMutants(corpus, runs, random, edits, [&](const QByteArray& input, int i) {
        if (i % 500 == 0)
            run(input, fresh());
        else
            run(input);
    });
    std::printf("%d mutated tables read without a fault\n", runs);
    return 0;
}
