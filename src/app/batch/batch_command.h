#pragma once
// The registry of batch commands. Each command file registers itself with
// a static BatchCommand, so adding a command touches no other file.

#include "app/batch/batch_args.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace qp::batch {

// Thrown by a command for a failure: printed on stderr, exit status 1.
class Failure {
public:
    explicit Failure(std::string message) : message(std::move(message)) {}
    std::string message;
};

struct CommandInfo {
    std::string name;
    std::string synopsis; // arguments, as shown by --help
    std::string summary;  // one line
    std::function<int(const std::vector<std::string>& words, std::ostream& out)> run;
};

std::vector<CommandInfo>& commandRegistry();

struct BatchCommand {
    explicit BatchCommand(CommandInfo info) { commandRegistry().push_back(std::move(info)); }
};

int runBatch(int argc, char** argv, std::ostream& out, std::ostream& err);

// The command table sorted by name, as --help lists it.
std::vector<CommandInfo> sortedCommands();
// The long options (--name) a synopsis names, in order, without repeats.
std::vector<std::string> synopsisOptions(const std::string& synopsis);
// The manual page and the bash completion script, written from the same
// table --help prints, so neither can drift from the program.
void printManPage(std::ostream& out);
void printBashCompletion(std::ostream& out);

// The program's version, from the build's project version.
const char* programVersion();

} // namespace qp::batch
