#include "app/batch/batch_command.h"

#include <algorithm>
#include <ostream>
#include <regex>

#ifndef QP_VERSION
#define QP_VERSION "0"
#endif

namespace qp::batch {

std::vector<CommandInfo>& commandRegistry() {
    static std::vector<CommandInfo> commands;
    return commands;
}

const char* programVersion() {
    return QP_VERSION;
}

std::vector<CommandInfo> sortedCommands() {
    auto commands = commandRegistry();
    std::sort(commands.begin(), commands.end(),
              [](const CommandInfo& a, const CommandInfo& b) { return a.name < b.name; });
    return commands;
}

std::vector<std::string> synopsisOptions(const std::string& synopsis) {
    static const std::regex option("--[a-z][a-z0-9-]*");
    std::vector<std::string> out;
    for (std::sregex_iterator it(synopsis.begin(), synopsis.end(), option), end; it != end; ++it)
        if (std::find(out.begin(), out.end(), it->str()) == out.end())
            out.push_back(it->str());
    return out;
}

namespace {

void printHelp(std::ostream& out) {
    out << "Usage: quillpost-batch COMMAND [ARGUMENTS]\n"
           "       quillpost-batch --help | --version\n\n"
           "Runs Quillpost's jobs without a window. Exit status: 0 on success, 1 when the job\n"
           "fails (the reason on stderr), 2 when the command line is wrong, 130 when Ctrl+C\n"
           "stopped it. Long jobs show their progress on stderr when it is a terminal.\n\n"
           "Commands:\n";
    for (const auto& c : sortedCommands())
        out << "  " << c.name << " " << c.synopsis << "\n      " << c.summary << "\n";
    out << "\nThe program folder is $QUILLPOST_HOME when set, else ~/.local/share/Quillpost.\n";
}

// Text for roff: backslashes doubled, hyphens as minus signs, no line taken
// for a request.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

} // namespace

void printManPage(std::ostream& out) {
    out << ".TH QUILLPOST\\-BATCH 1 \"\" \"Quillpost " << QP_VERSION << "\" \"User Commands\"\n"
        << ".SH NAME\n"
           "quillpost\\-batch \\- run Quillpost's mailing\\-list jobs without a window\n"
           ".SH SYNOPSIS\n"
           ".B quillpost\\-batch\n"
           ".I COMMAND\n"
           ".RI [ ARGUMENTS ]\n"
           ".br\n"
           ".B quillpost\\-batch\n"
           ".BR \\-\\-help \" | \" \\-\\-version\n"
           ".br\n"
           ".B quillpost\\-batch\n"
           ".I COMMAND\n"
           ".B \\-\\-help\n"
           ".SH DESCRIPTION\n"
           "Every job the windows of\n"
           ".BR quillpost (1)\n"
           "do also runs from the command line: address files, imports and exports, label stock "
           "and label printing, presort, layouts and the engine's own checks.\n"
           "Jobs that walk many records show a single progress line on standard error "
           "(records done, rate, time left) when standard error is a terminal, and nothing when "
           "it is redirected.\n"
           "Ctrl+C stops such a job after the record in hand; the files it wrote stay whole.\n"
           ".SH OPTIONS\n"
           ".TP\n"
           ".BR \\-h \", \" \\-\\-help\n"
           "List the commands; after a command, show that command's usage.\n"
           ".TP\n"
           ".B \\-\\-version\n"
           "Print the program's version.\n"
           ".SH COMMANDS\n";
    for (const auto& c : sortedCommands()) {
        out << ".TP\n.B " << roff(c.name) << "\n";
        if (!c.synopsis.empty())
            out << "\\fI" << roff(c.synopsis) << "\\fR\n.br\n";
        out << roff(c.summary) << "\n";
    }
    out << ".SH ENVIRONMENT\n"
           ".TP\n"
           ".B QUILLPOST_HOME\n"
           "The program folder, holding\n"
           ".I DATA\n"
           "and\n"
           ".IR sysdata ;\n"
           "when unset,\n"
           ".IR ~/.local/share/Quillpost .\n"
           ".SH EXIT STATUS\n"
           "0 on success, 1 when the job fails (the reason on standard error), 2 when the "
           "command line is wrong, 130 when Ctrl+C stopped the job.\n"
           ".SH SEE ALSO\n"
           ".BR quillpost (1)\n";
}

void printBashCompletion(std::ostream& out) {
    const auto commands = sortedCommands();
    out << "# bash completion for quillpost-batch; generated from its command table.\n"
           "_quillpost_batch()\n{\n"
           "    local cur=\"${COMP_WORDS[COMP_CWORD]}\"\n"
           "    if ((COMP_CWORD == 1)); then\n"
           "        COMPREPLY=($(compgen -W \"";
    for (const auto& c : commands)
        out << c.name << " ";
    out << "--help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local options=\"\"\n"
           "    case \"${COMP_WORDS[1]}\" in\n";
    for (const auto& c : commands) {
        auto options = synopsisOptions(c.synopsis);
        if (options.empty())
            continue;
        out << "    " << c.name << ") options=\"";
        for (std::size_t i = 0; i < options.size(); ++i)
            out << (i ? " " : "") << options[i];
        out << "\" ;;\n";
    }
    out << "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options --help\" -- \"$cur\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -o bashdefault -F _quillpost_batch quillpost-batch\n";
}

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
    if (words[0] == "--version") {
        out << "quillpost-batch " << QP_VERSION << "\n";
        return 0;
    }
    // For the build: the manual page and the completion script.
    if (words[0] == "--man-page") {
        printManPage(out);
        return 0;
    }
    if (words[0] == "--bash-completion") {
        printBashCompletion(out);
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
