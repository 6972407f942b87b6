// Runs the comma-separated text fuzz target over a fixed corpus without
// libFuzzer: realistic lines with quotes, doubled quotes, unclosed quotes,
// commas and long values, then the same files truncated, with bytes changed,
// inserted and removed, and spliced, from a fixed seed. Every so often a
// mutated file is imported into a fresh address file. Lines far longer than
// the reader keeps are fed too. Files given on the command line (e.g. crashes
// a fuzzer found) are run too.

#include "csv_reader_target.h"

#include "store/address_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Random {
    std::uint64_t state = 0xD1B54A32D192ED03ull;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % std::uint64_t(n)) : 0; }
};

std::string mutate(const std::string& a, const std::string& b, Random& r) {
    std::string out = a;
    const int edits = 1 + r.below(6);
    for (int e = 0; e < edits && !out.empty(); ++e) {
        const std::size_t at = std::size_t(r.below(int(out.size())));
        switch (r.below(7)) {
        case 0:
            out.resize(at);
            break;
        case 1:
            out[at] = char(r.below(256));
            break;
        case 2:
            out.insert(at, 1, char(r.below(256)));
            break;
        case 3:
            out.erase(at, std::size_t(1 + r.below(8)));
            break;
        case 4:
            out = out.substr(0, at) + b.substr(std::size_t(r.below(int(b.size()))));
            break;
        case 5: // the characters the splitter cares about
            out.insert(at, 1, "\",\r\n\x7F"[r.below(5)]);
            break;
        default:
            out.insert(at, std::size_t(1 + r.below(3000)), '"');
        }
    }
    return out;
}

int run(const std::string& bytes, const std::string& addressFile = {}) {
    return ReadCsvBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                        addressFile);
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
    for (int i = 1; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        if (!f) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        run(std::string(std::istreambuf_iterator<char>(f), {}));
    }
    const std::vector<std::string> seeds{
        "Smith,Ann,12 Main St,Boston,MA,02134\r\nDoe,Jo,\"Apt 4, Rear\",Salem,OR,97301\r\n",
        "\"\"\"Big\"\" Bob's Diner\",\"12 Main St\",Boston,MA,02134-1234\r\n"
        "\"O\"\"Neil\",\"\",\"\",\"\",\"\"\r\n\"\"\"\",x\r\n",
        "x,\"open, never closed\nab\"c,d\n\"abc\"def,x\n5'10\" tall,b\n",
        "\xEF\xBB\xBFZo\xC3\xAB,Saint-\xC3\x89tienne\nM\xFCller,K\xF6ln\n",
        ",,,\n\n\r\n\"\",\"\",\n" + std::string(3000, 'W') + ",tail\n",
        std::string("\x00\x01\xFF,\x7F\"\x00\n\x00\x00\n", 12),
        "",
    };
    for (const auto& s : seeds) {
        run(s);
        for (std::size_t n = 0; n < s.size(); n += 5)
            run(s.substr(0, n));
    }
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
    run(std::string(3u << 20, '\0'));
    run("a,b\n" + std::string(2u << 20, '"') + "\nc,d\ne,f\n", fresh());

    Random random;
    int runs = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string& a = seeds[std::size_t(random.below(int(seeds.size())))];
        const std::string& b = seeds[std::size_t(random.below(int(seeds.size())))];
        const std::string input = mutate(a, b, random);
        if (i % 250 == 0)
            run(input, fresh());
        else
            run(input);
        ++runs;
    }
    std::printf("%d mutated files read without a fault\n", runs);
    return 0;
}
