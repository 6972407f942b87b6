#pragma once
// What a long batch job shows while it runs, and how Ctrl+C stops it.
//
// ProgressLine keeps one line on stderr up to date (count, rate, time left)
// when stderr is a terminal and prints nothing otherwise, so that scripts
// reading the output see only the job's result. Interruption catches SIGINT
// while a job runs and lets the job stop between two records instead of
// dying in the middle of a write.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace qp::batch {

// "12,345 / 100,000 records  4,321/s  0:21 left" (total 0: unknown); with a
// noun starting with '%', "45% of the indexes built  0:03 left".
std::string progressText(const std::string& noun, std::uint64_t done, std::uint64_t total,
                         double seconds);

class ProgressLine {
public:
    // Shown only when `stream` is a terminal.
    explicit ProgressLine(std::string noun, std::uint64_t total = 0, std::FILE* stream = stderr);
    ~ProgressLine(); // clears the line
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool shown() const { return shown_; }
    void setTotal(std::uint64_t total) { total_ = total; }
    // Redraws at most a few times a second.
    void update(std::uint64_t done);
    // From a percentage when the job reports no count.
    void updatePercent(int percent);
    void finish();

private:
    void draw(const std::string& text);
    std::string noun_;
    std::uint64_t total_;
    std::FILE* stream_;
    bool shown_;
    bool drawn_ = false;
    bool started_ = false;
    std::chrono::steady_clock::time_point start_{};
    std::chrono::steady_clock::time_point last_{};
};

// While alive, SIGINT only sets a flag the job checks between records; a
// second Ctrl+C ends the program at once. The former handler comes back on
// destruction.
class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;
    static bool requested();
};

// The exit status of a job stopped by Ctrl+C.
inline constexpr int kInterruptedStatus = 130;

} // namespace qp::batch
