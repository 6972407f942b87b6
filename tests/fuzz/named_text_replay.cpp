// Runs the delimited-text and vCard fuzz targets over a fixed corpus without
// libFuzzer: spreadsheet and address book exports, then the same files cut,
// with bytes changed, inserted and removed, and spliced, from a fixed seed.
// Every so often a mutant is imported into a fresh address file. The first
// argument chooses the reader ("csv" or "vcard"); further files given on the
// command line (e.g. crashes a fuzzer found) are run too.

#include "named_text_target.h"
#include "replay_support.h"

#include "store/address_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Scratch {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qp-named-replay-" + std::to_string(::getpid()));
    Scratch() { std::filesystem::create_directories(dir); }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

const std::vector<QByteArray> kCsvSeeds{
    "Given Name,Family Name,Address 1 - Street,Address 1 - City,Notes\r\n"
    "Ann,Smith,\"12 Main St\nRear\",Boston,\"Said \"\"hi\"\"\"\r\nJo,Doe,,Salem,\r\n",
    "\xEF\xBB\xBFNom;Pr\xC3\xA9nom;Ville;Code postal\r\nDupont;Jean;Paris;75001\r\n",
    "Last\tFirst\tZIP\nDoe\tJo\t12345\nRoe\t\"open\nx\ty\n",
    "\"Title\",\"First Name\",\"Last Name\",\"Business Fax\",\"Birthday\"\r\n\"Mr.\",\"J\","
    "\"Q\",\"555\",\"12/31/1996\"\r\n\"\",\"\",\"\",\"\",\"31.12.1996\"\r\n",
    "M\xFCller,K\xF6ln\nA,B\n",
};

const std::vector<QByteArray> kVCardSeeds{
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J;;;\r\n"
    "ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;Am Stadtgarten 5=0D=0A=\r\nHinterhaus;K=F6ln;;50667\r\n"
    "TEL;WORK;FAX:1\r\nPHOTO;ENCODING=BASE64:\r\n /9j/4AAQ\r\n\r\nEND:VCARD\r\n",
    "BEGIN:VCARD\nVERSION:4.0\nFN:Ann Smith\nN:Smith;Ann;;;\nORG:Acme\\, Inc.;Sales\n"
    "ADR;TYPE=work;PREF=1;LABEL=\"a\\nb\":;Suite;12 Main;Bost\n on;MA;02134;USA\n"
    "TEL;VALUE=uri;TYPE=\"voice,work\":tel:+1-555\nBDAY:19700401\nNOTE:a\\nb\nEND:VCARD\n",
    "BEGIN:VCARD\nN:Lost\nBEGIN:VCARD\nFN:Kept One\nEND:VCARD\nBEGIN:VCARD\nEMAIL:x@y\n",
    "begin:vcard\nversion:3.0\nitem1.adr:;;;;;;\nx-quillpost-date:19961231\nend:vcard\n",
};

} // namespace

int main(int argc, char** argv) {
    const bool vcard = argc > 1 && std::strcmp(argv[1], "vcard") == 0;
    if (argc > 1) {
        --argc;
        ++argv;
    }
    auto read = [&](const QByteArray& b, const std::string& address = {}) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(b.constData());
        if (vcard)
            ReadVCardBytes(data, std::size_t(b.size()), address);
        else
            ReadDelimitedBytes(data, std::size_t(b.size()), address);
    };
    const qp::fuzz::Target plain = [&](const QByteArray& b) { read(b); };
    if (!qp::fuzz::replayFiles(argc, argv, plain))
        return 1;
    const auto& seeds = vcard ? kVCardSeeds : kCsvSeeds;
    qp::fuzz::replaySeeds(seeds, 7, plain);
    Scratch scratch;
    const std::string address = (scratch.dir / "ADDR.DBF").string();
    auto fresh = [&] {
        for (const char* ext : {"DBF", "CDX", "FPT"})
            std::filesystem::remove((scratch.dir / (std::string("ADDR.") + ext)).string());
        if (auto st = qp::store::createAddressFile(address, {}); !st) {
            std::fprintf(stderr, "%s\n", st.error().c_str());
            std::exit(1);
        }
        return address;
    };
    for (const auto& s : seeds)
        read(s, fresh());
    // Lines the readers must pass over without keeping them.
    read(QByteArray(3 << 20, '"'));
    read("BEGIN:VCARD\nNOTE:" + QByteArray(2 << 20, 'x') + "\n" + QByteArray(2 << 20, ' ') +
             "\nN:A\nEND:VCARD\n",
         fresh());

    qp::fuzz::Random random(vcard ? 0x5DEECE66Dull : 0xA0761D6478BD642Full);
    qp::fuzz::Edits edits;
    edits.most = 6;
    edits.more = [&](QByteArray& out, int at, int kind, qp::fuzz::Random& r) {
        if (kind == 5)
            out.insert(at, vcard ? ":;=\\\r\n "[r.below(7)] : "\",;\t\r\n"[r.below(6)]);
        else
            out.insert(at, 1 + r.below(3000), vcard ? ' ' : '"');
    };
    const int runs = 6000;
    qp::fuzz::replayMutants(seeds, runs, random, edits, [&](const QByteArray& input, int i) {
        if (i % 250 == 0)
            read(input, fresh());
        else
            read(input);
    });
    std::printf("%d mutated %s files read without a fault\n", runs, vcard ? "vCard" : "CSV");
    return 0;
}
