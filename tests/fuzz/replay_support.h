#pragma once
// The fixed-seed replay shared by the fuzz targets: every seed whole and cut
// at every few bytes, then mutations of the seeds (truncation, bytes changed,
// inserted and removed, splices, extreme values) from a fixed random seed.
// Files named on the command line (e.g. what a fuzzer found) run first.

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace qp::fuzz {

struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % std::uint64_t(n)) : 0; }
};

inline QByteArray mutate(const QByteArray& a, const QByteArray& b, Random& r) {
    QByteArray out = a;
    const int edits = 1 + r.below(4);
    for (int e = 0; e < edits && !out.isEmpty(); ++e) {
        const int at = r.below(int(out.size()));
        switch (r.below(7)) {
        case 0:
            out.truncate(at);
            break;
        case 1:
            out[at] = char(r.below(256));
            break;
        case 2:
            out.insert(at, char(r.below(256)));
            break;
        case 3:
            out.remove(at, 1 + r.below(8));
            break;
        case 4:
            out = out.left(at) + b.mid(r.below(int(b.size())));
            break;
        case 5: // a count or size made extreme
            for (int i = 0; i < 4 && at + i < out.size(); ++i)
                out[at + i] = char(r.below(2) ? 0xFF : (i == 3 ? 0x7F : 0xFF));
            break;
        default:
            out[at] = char(r.below(2) ? 0xFF : 0x7F);
        }
    }
    return out;
}

// Runs `target` over the files in argv, the seeds and `mutations` mutants.
inline int replay(int argc, char** argv, const std::vector<QByteArray>& seeds, int mutations,
                  const std::function<void(const QByteArray&)>& target, const char* what) {
    for (int i = 1; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        target(f.readAll());
    }
    for (const auto& s : seeds) {
        target(s);
        const int step = std::max<int>(1, int(s.size()) / 64);
        for (int n = 0; n < s.size(); n += step)
            target(s.left(n));
    }
    Random random;
    for (int i = 0; i < mutations; ++i) {
        const QByteArray& a = seeds[std::size_t(random.below(int(seeds.size())))];
        const QByteArray& b = seeds[std::size_t(random.below(int(seeds.size())))];
        target(mutate(a, b, random));
    }
    std::printf("%d mutated %s read without a fault\n", mutations, what);
    return 0;
}

} // namespace qp::fuzz
