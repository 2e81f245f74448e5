#include "tarnreg/cli.h"

#include <optional>
#include <stdexcept>

#include "tarnreg/commands.h"

namespace tarn::reg {
namespace {

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    std::string command;
    std::vector<std::string> arguments;
    std::optional<std::string> type;
    bool regedit4 = false;
};

bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            return false;
        }
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError("no command given");
    }
    CommandLine line{args[0], {}, std::nullopt, false};
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with("--")) {
            line.arguments.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (line.command == "set" && arg == "--type") {
            if (++i == args.size()) {
                throw UsageError("--type needs a value: sz, dword or binary");
            }
            line.type = args[i];
        } else if (line.command == "set" && arg.starts_with("--type=")) {
            line.type = arg.substr(7);
        } else if (line.command == "export" && arg == "--regedit4") {
            line.regedit4 = true;
        } else {
            throw UsageError("unknown option '" + arg + "' for '" + line.command + "'");
        }
    }
    return line;
}

void requireArguments(const CommandLine& line, size_t least, size_t most, const char* form) {
    const size_t count = line.arguments.size();
    if (count < least || count > most) {
        throw UsageError(std::string(count < least ? "missing arguments" : "too many arguments") +
                         ": usage: tarnreg " + form);
    }
}

int typeCode(const std::optional<std::string>& type) {
    if (!type || *type == "sz") {
        return kRegString;
    }
    if (*type == "dword") {
        return kRegDword;
    }
    if (*type == "binary") {
        return kRegBinary;
    }
    throw UsageError("unknown type '" + *type + "': use sz, dword or binary");
}

void runCommand(const CommandLine& line, std::ostream& out) {
    const auto& args = line.arguments;
    if (line.command == "query") {
        requireArguments(line, 1, 2, "query KEY [NAME]");
        if (args.size() == 2) {
            queryValue(parseKeyPath(args[0]), args[1], out);
        } else {
            queryKey(parseKeyPath(args[0]), out);
        }
    } else if (line.command == "set") {
        requireArguments(line, 3, 3, "set KEY NAME DATA [--type sz|dword|binary]");
        const int type = typeCode(line.type);
        setValue(parseKeyPath(args[0]), args[1], type, args[2]);
    } else if (line.command == "delete") {
        requireArguments(line, 1, 2, "delete KEY [NAME]");
        if (args.size() == 2) {
            deleteValue(parseKeyPath(args[0]), args[1]);
        } else {
            deleteKey(parseKeyPath(args[0]));
        }
    } else if (line.command == "export") {
        requireArguments(line, 2, 2, "export KEY FILE [--regedit4]");
        exportKey(parseKeyPath(args[0]), line.regedit4 ? RegFormat::Regedit4 : RegFormat::Version5,
                  args[1]);
    } else if (line.command == "import") {
        requireArguments(line, 1, 1, "import FILE");
        importFile(args[0]);
    } else {
        throw UsageError("unknown command '" + line.command + "'");
    }
}

}  // namespace

int runTarnreg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (asksForHelp(args)) {
        out << usageText();
        return kExitSuccess;
    }
    try {
        runCommand(parseCommandLine(args), out);
        out.flush();
        return kExitSuccess;
    } catch (const UsageError& error) {
        err << "tarnreg: " << error.what() << "\n\n" << usageText();
        return kExitUsage;
    } catch (const std::exception& error) {
        // Refused input (RegError), the store's SettingsError and HiveDamagedError, and any
        // other failure all end with one line.
        err << "tarnreg: " << error.what() << '\n';
    }
    return kExitFailure;
}

}  // namespace tarn::reg
