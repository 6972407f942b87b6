#pragma once
// The modem dial sequence: the AT commands sent, in order, with the pause
// after the set-up string. Nothing is ever read from the modem.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::addressbook {

inline constexpr int kInitPauseMs = 1500;

// The set-up string as sent: "AT" put in front unless its first two
// characters are "AT" in any letter case, then CR LF; empty for an empty
// string.
std::string InitCommand(std::string_view init);
// "ATDT" (or "ATDP" for pulse) + number + CR LF.
std::string DialCommand(std::string_view number, bool pulse);
// "ATH" + CR LF.
std::string HangUpCommand();

// COM 1..COM 4 (index 0..3) as the devices of this system.
std::string ComDevice(int index);
// "COM" + digit for those devices, else the device path itself: the name
// the failure messages give.
std::string PortMessageName(std::string_view device);

struct DialRequest {
    std::string number; // prefix + number, as typed
    std::string init;
    bool pulse = false;
    std::string device; // the serial device to open
    bool confirm = false;
};

// What the sequence needs from the world around it.
struct DialLine {
    std::function<bool(const std::string& device)> open;
    std::function<bool(const std::string& bytes)> write;
    std::function<void()> close;
    std::function<void(int ms)> wait;                    // keeps the window responsive
    std::function<void(const std::string& text)> error;  // an error message
    std::function<void(const std::string& text)> inform; // "Pick up phone", closed by Ok
    std::function<bool(const std::string& text)> ask;    // the confirmation question
};

enum class DialResult { Declined, OpenFailed, DialFailed, Dialled };

// Steps 2 to 7 of a dial: confirm, open, set-up string and pause, the dial
// command, "Pick up phone", hang up, close.
DialResult RunDial(const DialRequest& request, const DialLine& line);

// A line on a POSIX serial device: opened write-only and exclusive, set up as
// the window's serial port sets it up (ConfigureRawPort), written whole.
DialLine PosixDialLine();

// The port settings the window's serial port uses: raw bytes in and out (no
// output processing, so CR LF stays CR LF), 9600 baud, 8 data bits, no
// parity, one stop bit, no flow control, modem lines ignored. Empty on
// success, else the system's reason.
std::string ConfigureRawPort(int fd);

} // namespace qp::addressbook
