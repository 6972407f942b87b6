#pragma once
// The fixed-seed replay shared by the fuzz targets: every seed whole and cut
// every few bytes, then mutations of the seeds (truncation, bytes changed,
// inserted and removed, splices, and edits of each reader's own) from a fixed
// random seed. Files named on the command line (e.g. what a fuzzer found) run
// first.

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace qp::fuzz {

struct Random {
    explicit Random(std::uint64_t seed = 0x9E3779B97F4A7C15ull) : state(seed) {}
    std::uint64_t state;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % std::uint64_t(n)) : 0; }
};

// A count or size made extreme: four bytes set to 0xFF or 0x7F.
inline void makeCountExtreme(QByteArray& out, int at, Random& r) {
    for (int i = 0; i < 4 && at + i < out.size(); ++i)
        out[at + i] = char(r.below(2) ? 0xFF : (i == 3 ? 0x7F : 0xFF));
}

// A value tag or length byte made extreme.
inline void makeByteExtreme(QByteArray& out, int at, Random& r) {
    out[at] = char(r.below(2) ? 0xFF : 0x7F);
}

// How mutants are made: 1 to `most` edits, each of one of `kinds` kinds. Kinds
// 0 to 3 cut, change, insert and remove bytes; kind 4 splices in the tail of
// another seed when `splice` is set; the other kinds are the reader's own,
// done by `more`.
struct Edits {
    int most = 4;
    int kinds = 7;
    int longestRemoval = 8;
    bool splice = true;
    bool editEmpty = false; // go on editing a mutant cut down to nothing
    std::function<void(QByteArray& out, int at, int kind, Random& r)> more =
        [](QByteArray& out, int at, int kind, Random& r) {
            if (kind == 5)
                makeCountExtreme(out, at, r);
            else
                makeByteExtreme(out, at, r);
        };
};

inline QByteArray mutate(const QByteArray& a, const QByteArray& b, Random& r, const Edits& edits) {
    QByteArray out = a;
    const int count = 1 + r.below(edits.most);
    for (int e = 0; e < count && (edits.editEmpty || !out.isEmpty()); ++e) {
        const int at = r.below(int(out.size()));
        const int kind = r.below(edits.kinds);
        switch (kind) {
        case 0:
            out.truncate(at);
            continue;
        case 1:
            if (!out.isEmpty())
                out[at] = char(r.below(256));
            continue;
        case 2:
            out.insert(at, char(r.below(256)));
            continue;
        case 3:
            out.remove(at, 1 + r.below(edits.longestRemoval));
            continue;
        case 4:
            if (edits.splice) {
                out = out.left(at) + b.mid(r.below(int(b.size())));
                continue;
            }
            break;
        }
        edits.more(out, at, kind, r);
    }
    return out;
}

using Target = std::function<void(const QByteArray&)>;

// Runs `target` over the files named in argv; false when one cannot be read.
inline bool replayFiles(int argc, char** argv, const Target& target) {
    for (int i = 1; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return false;
        }
        target(f.readAll());
    }
    return true;
}

// Runs `target` over every seed whole and cut every `step` bytes (0: each
// seed cut in 64 places).
inline void replaySeeds(const std::vector<QByteArray>& seeds, int step, const Target& target) {
    for (const auto& s : seeds) {
        target(s);
        const int every = step > 0 ? step : std::max<int>(1, int(s.size()) / 64);
        for (int n = 0; n < s.size(); n += every)
            target(s.left(n));
    }
}

// Runs `target` over `count` mutants of the seeds, with each mutant's number.
inline void replayMutants(const std::vector<QByteArray>& seeds, int count, Random& random,
                          const Edits& edits,
                          const std::function<void(const QByteArray&, int)>& target) {
    for (int i = 0; i < count; ++i) {
        const QByteArray& a = seeds[std::size_t(random.below(int(seeds.size())))];
        const QByteArray& b =
            edits.splice ? seeds[std::size_t(random.below(int(seeds.size())))] : a;
        target(mutate(a, b, random, edits), i);
    }
}

struct ReplayPlan {
    std::vector<QByteArray> seeds;
    int mutations = 20000;
    const char* what = "files"; // what the mutants are, for the closing line
    int cutStep = 0;
    Random random;
    Edits edits;
};

// Runs `target` over the files in argv, the seeds and the plan's mutants.
inline int replay(int argc, char** argv, ReplayPlan plan, const Target& target) {
    if (!replayFiles(argc, argv, target))
        return 1;
    replaySeeds(plan.seeds, plan.cutStep, target);
    replayMutants(plan.seeds, plan.mutations, plan.random, plan.edits,
                  [&](const QByteArray& b, int) { target(b); });
    std::printf("%d mutated %s read without a fault\n", plan.mutations, plan.what);
    return 0;
}

// Runs `target` over the files in argv, the seeds and `mutations` mutants.
inline int replay(int argc, char** argv, const std::vector<QByteArray>& seeds, int mutations,
                  const Target& target, const char* what) {
    ReplayPlan plan;
    plan.seeds = seeds;
    plan.mutations = mutations;
    plan.what = what;
    return replay(argc, argv, std::move(plan), target);
}

// Hands bytes to a reader that takes a pointer and a size.
inline void feed(int (*reader)(const std::uint8_t*, std::size_t), const QByteArray& b) {
    reader(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
}

} // namespace qp::fuzz
