#include "addressbook/dial_sequence.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace qp::addressbook {

namespace {
constexpr std::string_view kCrLf = "\r\n";
}

std::string InitCommand(std::string_view init) {
    if (init.empty())
        return {};
    std::string out;
    const bool hasAt = init.size() >= 2 &&
                       std::toupper(static_cast<unsigned char>(init[0])) == 'A' &&
                       std::toupper(static_cast<unsigned char>(init[1])) == 'T';
    if (!hasAt)
        out = "AT";
    out += init;
    out += kCrLf;
    return out;
}

std::string DialCommand(std::string_view number, bool pulse) {
    std::string out = pulse ? "ATDP" : "ATDT";
    out += number;
    out += kCrLf;
    return out;
}

std::string HangUpCommand() {
    return "ATH" + std::string(kCrLf);
}

std::string ComDevice(int index) {
    return "/dev/ttyS" + std::to_string(index);
}

std::string PortMessageName(std::string_view device) {
    for (int i = 0; i < 4; ++i)
        if (device == ComDevice(i))
            return "COM" + std::to_string(i + 1);
    return std::string(device);
}

DialResult RunDial(const DialRequest& request, const DialLine& line) {
    if (request.confirm && line.ask &&
        !line.ask("About to dial the number " + request.number + ". Are you sure?"))
        return DialResult::Declined;
    if (!line.open(request.device)) {
        line.error("Unable to open " + PortMessageName(request.device));
        return DialResult::OpenFailed;
    }
    bool written = true;
    if (std::string init = InitCommand(request.init); !init.empty()) {
        written = line.write(init);
        if (line.wait)
            line.wait(kInitPauseMs);
    }
    written = line.write(DialCommand(request.number, request.pulse)) && written;
    DialResult result = DialResult::Dialled;
    if (written) {
        if (line.inform)
            line.inform("Pick up phone");
        line.write(HangUpCommand());
    } else {
        line.error("Unable to dial number");
        result = DialResult::DialFailed;
    }
    line.close();
    return result;
}

std::string ConfigureRawPort(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return std::strerror(errno);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return std::strerror(errno);
    return {};
}

DialLine PosixDialLine() {
    auto fd = std::make_shared<int>(-1);
    DialLine line;
    line.open = [fd](const std::string& device) {
        // Non-blocking open so that a port without carrier does not hang.
        *fd = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (*fd < 0)
            return false;
        if (::ioctl(*fd, TIOCEXCL) != 0) {
            ::close(*fd);
            *fd = -1;
            return false;
        }
        if (!ConfigureRawPort(*fd).empty()) {
            ::close(*fd);
            *fd = -1;
            return false;
        }
        int flags = ::fcntl(*fd, F_GETFL);
        ::fcntl(*fd, F_SETFL, flags & ~O_NONBLOCK);
        return true;
    };
    line.write = [fd](const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(*fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += std::size_t(n);
        }
        return true;
    };
    line.close = [fd] {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    };
    line.wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return line;
}

} // namespace qp::addressbook
