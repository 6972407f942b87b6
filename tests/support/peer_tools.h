#pragma once
// Running the independent tools that check our files.

#include <string>
#include <vector>

namespace qp::testing {

struct CommandOutput {
    int status = 0;
    std::string output; // stdout and stderr
};

CommandOutput runCommand(const std::string& command);
std::string shellQuote(const std::string& text);
bool havePythonDbf();
bool haveIndexDump();
std::string peerScript(const std::string& name);
std::vector<std::string> lines(const std::string& text);

} // namespace qp::testing
