// Runs the comma-separated text fuzz target over a fixed corpus without
// libFuzzer: realistic lines with quotes, doubled quotes, unclosed quotes,
// commas and long values, then the same files truncated, with bytes changed,
// inserted and removed, and spliced, from a fixed seed. Every so often a
// mutated file is imported into a fresh address file. Lines far longer than
// the reader keeps are fed too. Files given on the command line (e.g. crashes
// a fuzzer found) are run too.

#include "csv_reader_target.h"
#include "replay_support.h"

#include "store/address_file.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The edits beyond the shared ones: the characters the splitter cares
// about, and long runs of quotes.
void moreEdits(QByteArray& out, int at, int kind, qp::fuzz::Random& r) {
    if (kind == 5)
        out.insert(at, "\",\r\n\x7F"[r.below(5)]);
    else
        out.insert(at, 1 + r.below(3000), '"');
}

void run(const QByteArray& bytes, const std::string& addressFile = {}) {
    ReadCsvBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                 std::size_t(bytes.size()), addressFile);
}

struct Scratch {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qp-csv-replay-" + std::to_string(::getpid()));
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
    const std::vector<QByteArray> seeds{
        "Smith,Ann,12 Main St,Boston,MA,02134\r\nDoe,Jo,\"Apt 4, Rear\",Salem,OR,97301\r\n",
        "\"\"\"Big\"\" Bob's Diner\",\"12 Main St\",Boston,MA,02134-1234\r\n"
        "\"O\"\"Neil\",\"\",\"\",\"\",\"\"\r\n\"\"\"\",x\r\n",
        "x,\"open, never closed\nab\"c,d\n\"abc\"def,x\n5'10\" tall,b\n",
        "\xEF\xBB\xBFZo\xC3\xAB,Saint-\xC3\x89tienne\nM\xFCller,K\xF6ln\n",
        ",,,\n\n\r\n\"\",\"\",\n" + QByteArray(3000, 'W') + ",tail\n",
        QByteArray("\x00\x01\xFF,\x7F\"\x00\n\x00\x00\n", 12),
        "",
    };
    qp::fuzz::replaySeeds(seeds, 5, plain);
    Scratch scratch;
    const std::string address = (scratch.dir / "ADDR.DBF").string();
    auto fresh = [&] {
        std::filesystem::remove(address);
        std::filesystem::remove((scratch.dir / "ADDR.CDX").string());
        std::filesystem::remove((scratch.dir / "ADDR.FPT").string());
        if (auto st = qp::store::createAddressFile(address, {}); !st) {
            std::fprintf(stderr, "%s\n", st.error().c_str());
            std::exit(1);
        }
        return address;
    };
    for (const auto& s : seeds)
        run(s, fresh());

    // Lines the reader must pass over without keeping them: a file with no
    // line break at all, and one long line between sound ones.
    run(QByteArray(3 << 20, '\0'));
    run("a,b\n" + QByteArray(2 << 20, '"') + "\nc,d\ne,f\n", fresh());

    qp::fuzz::Random random(0xD1B54A32D192ED03ull);
    qp::fuzz::Edits edits;
    edits.most = 6;
    edits.more = moreEdits;
    const int runs = 20000;
    qp::fuzz::replayMutants(seeds, runs, random, edits, [&](const QByteArray& input, int i) {
        if (i % 250 == 0)
            run(input, fresh());
        else
            run(input);
    });
    std::printf("%d mutated files read without a fault\n", runs);
    return 0;
}
