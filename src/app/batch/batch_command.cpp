#include "app/batch/batch_command.h"

#include <algorithm>
#include <ostream>

namespace qp::batch {

std::vector<CommandInfo>& commandRegistry() {
    static std::vector<CommandInfo> commands;
    return commands;
}

namespace {
void printHelp(std::ostream& out) {
    auto commands = commandRegistry();
    std::sort(commands.begin(), commands.end(),
              [](const CommandInfo& a, const CommandInfo& b) { return a.name < b.name; });
    out << "Usage: quillpost-batch COMMAND [ARGUMENTS]\n\n"
           "Runs Quillpost's jobs without a window. Exit status: 0 on success, 1 when the job\n"
           "fails (the reason on stderr), 2 when the command line is wrong.\n\n"
           "Commands:\n";
    for (const auto& c : commands)
        out << "  " << c.name << " " << c.synopsis << "\n      " << c.summary << "\n";
    out << "\nThe program folder is $QUILLPOST_HOME when set, else ~/.local/share/Quillpost.\n";
}
} // namespace

int runBatch(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        printHelp(err);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printHelp(out);
        return 0;
    }
    const auto& commands = commandRegistry();
    auto it = std::find_if(commands.begin(), commands.end(),
                           [&](const CommandInfo& c) { return c.name == words[0]; });
    if (it == commands.end()) {
        err << "quillpost-batch: unknown command \"" << words[0] << "\" (see --help)\n";
        return 2;
    }
    words.erase(words.begin());
    if (!words.empty() && (words[0] == "--help" || words[0] == "-h")) {
        out << "Usage: quillpost-batch " << it->name << " " << it->synopsis << "\n"
            << it->summary << "\n";
        return 0;
    }
    try {
        return it->run(words, out);
    } catch (const UsageError& e) {
        err << "quillpost-batch " << it->name << ": " << e.message << "\nUsage: quillpost-batch "
            << it->name << " " << it->synopsis << "\n";
        return 2;
    } catch (const Failure& e) {
        err << e.message << "\n";
        return 1;
    }
}

} // namespace qp::batch
