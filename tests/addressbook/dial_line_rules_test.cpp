// The dialer on a real terminal device: a pseudo-terminal left in its default
// mode (output processing on, which turns LF into CR LF) must receive exactly
// the bytes of the dial sequence.
#include "addressbook/dial_sequence.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace qp::addressbook {
namespace {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            if (const char* name = ::ptsname(master_))
                device_ = name;
    }
    ~PseudoTerminal() {
        if (master_ >= 0)
            ::close(master_);
    }
    bool ok() const { return !device_.empty(); }
    const std::string& device() const { return device_; }
    // Whatever arrived, waiting up to a second for `expected` bytes.
    std::string read(std::size_t expected) {
        std::string got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (got.size() < expected && std::chrono::steady_clock::now() < until) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
        }
        return got;
    }

private:
    int master_ = -1;
    std::string device_;
};

TEST(DialLine, SendsCrLfUnchangedOnATerminalInItsDefaultMode) {
    PseudoTerminal pty;
    if (!pty.ok())
        GTEST_SKIP() << "no pseudo-terminals here";
    {
        // The slave side as the system leaves it: output processing on.
        const int fd = ::open(pty.device().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        ASSERT_TRUE(tio.c_oflag & OPOST);
        ::close(fd);
    }
    DialRequest request;
    request.number = "9555-1212";
    request.init = "&F";
    request.pulse = true;
    request.device = pty.device();
    DialLine line = PosixDialLine();
    line.wait = nullptr;
    std::string error;
    line.error = [&](const std::string& text) { error = text; };
    ASSERT_EQ(RunDial(request, line), DialResult::Dialled) << error;
    const std::string expected = "AT&F\r\nATDP9555-1212\r\nATH\r\n";
    EXPECT_EQ(pty.read(expected.size()), expected);
}

TEST(DialLine, RawSettingsMatchTheWindowsPort) {
    PseudoTerminal pty;
    if (!pty.ok())
        GTEST_SKIP() << "no pseudo-terminals here";
    const int fd = ::open(pty.device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ConfigureRawPort(fd), "");
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_TRUE(tio.c_cflag & CLOCAL);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B9600));
    ::close(fd);
    EXPECT_NE(ConfigureRawPort(-1), "");
}

} // namespace
} // namespace qp::addressbook
