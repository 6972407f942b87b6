#include "support/peer_tools.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace qp::testing {

CommandOutput runCommand(const std::string& command) {
    CommandOutput result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        result.status = -1;
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

bool havePythonDbf() {
    return runCommand("/usr/bin/python3 -c 'import dbf'").status == 0;
}

bool haveIndexDump() {
    return std::filesystem::exists("/usr/bin/index_dump");
}

std::string peerScript(const std::string& name) {
    return std::string(QP_SOURCE_DIR) + "/tests/store/peers/" + name;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
        start = end + 1;
    }
    return out;
}

} // namespace qp::testing
