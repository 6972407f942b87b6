#include "app/batch/progress_line.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace qp::batch {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction previous {};

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

std::string grouped(std::uint64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string clockText(std::uint64_t seconds) {
    const auto h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    char text[32];
    if (h)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(h),
                      static_cast<unsigned long long>(m), static_cast<unsigned long long>(s));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(m),
                      static_cast<unsigned long long>(s));
    return text;
}

} // namespace

std::string progressText(const std::string& noun, std::uint64_t done, std::uint64_t total,
                         double seconds) {
    // A noun starting with '%' counts percent: "45% of the indexes built".
    const bool percent = !noun.empty() && noun[0] == '%';
    std::string text = grouped(done);
    if (percent) {
        text += noun;
    } else {
        if (total)
            text += " / " + grouped(total);
        text += " " + noun;
    }
    // Rate and time left only once there is enough to measure them by.
    if (seconds >= 0.5 && done > 0) {
        const double rate = static_cast<double>(done) / seconds;
        if (!percent)
            text += "  " + grouped(static_cast<std::uint64_t>(rate + 0.5)) + "/s";
        if (total > 0 && total >= done)
            text += "  " +
                    clockText(static_cast<std::uint64_t>(static_cast<double>(total - done) / rate +
                                                         0.5)) +
                    " left";
    }
    return text;
}

ProgressLine::ProgressLine(std::string noun, std::uint64_t total, std::FILE* stream)
    : noun_(std::move(noun)), total_(total), stream_(stream),
      shown_(stream && isatty(fileno(stream))) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::update(std::uint64_t done) {
    if (!shown_)
        return;
    const auto now = std::chrono::steady_clock::now();
    // The clock starts with the first record, not with the preparations.
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    if (drawn_ && now - last_ < std::chrono::milliseconds(200) && done != total_)
        return;
    last_ = now;
    draw(progressText(noun_, done, total_, std::chrono::duration<double>(now - start_).count()));
}

void ProgressLine::updatePercent(int percent) {
    if (total_ == 0)
        total_ = 100;
    update(static_cast<std::uint64_t>(percent < 0 ? 0 : percent));
}

void ProgressLine::draw(const std::string& text) {
    // Carriage return, the text, then erase to the end of the line.
    std::fprintf(stream_, "\r%s\033[K", text.c_str());
    std::fflush(stream_);
    drawn_ = true;
}

void ProgressLine::finish() {
    if (shown_ && drawn_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
    }
    drawn_ = false;
}

Interruption::Interruption() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl+C gets the default action: the user can always get out.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previous);
}

Interruption::~Interruption() {
    sigaction(SIGINT, &previous, nullptr);
}

bool Interruption::requested() {
    return interrupted != 0;
}

} // namespace qp::batch
