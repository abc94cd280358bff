#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <map>
#include <memory>

#include "cli/HelpFormatter.h"

namespace kiv {

namespace {

constexpr char kPasswordGroup[] =
    "Password options (without one, the password is asked for on the terminal, twice when "
    "encrypting)";

// Accepts a file descriptor's number; its words follow the option's name in the usage error.
const CLI::Validator kDescriptorNumber(
    [](const std::string& value) -> std::string {
        int number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
            number < 0)
            return "needs a descriptor number, not '" + value + "'";
        return {};
    },
    "");

// The declaration: every command with its options and operands. A command's missing operand is
// worded with it.
class Declaration {
  public:
    Declaration() {
        program_.formatter(std::make_shared<HelpFormatter>());
        program_.footer(
            "A word \"--\" ends the options: the words after it are arguments even when they start "
            "with \"-\". Exit status: 0 on success, 1 when the password is refused or a line or "
            "file could not be processed, 2 on a usage error.");
        program_.set_help_flag("-h,--help", "this text; after a command, that command's help");
        program_.set_version_flag("--version", std::string("kiv-cli ") + KIV_VERSION,
                                  "prints kiv-cli's version");
        program_.require_subcommand(1);
        // Each option at most once: the parse keeps every occurrence so that a second one is
        // reported rather than silently winning.
        program_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

        CLI::App* text = Command(
            CliCommand::EncryptText, "encrypt-text",
            "Encrypts standard input line by line (LF or CR LF line ends) and writes one cipher "
            "text per line to standard output. Lines are encrypted whole, whatever their length.");
        PasswordOptions(*text);
        text = Command(CliCommand::DecryptText, "decrypt-text",
                       "Decrypts standard input line by line. A line that is not a cipher text for "
                       "the password is written back unchanged, and the exit status is then 1.");
        PasswordOptions(*text);

        CLI::App* files = Command(
            CliCommand::EncryptFiles, "encrypt-files",
            "Encrypts the files, in order, into one encrypted file. One file without -o goes to "
            "its name with the last extension replaced by .vrq (plan.txt -> plan.vrq); several "
            "files need -o. The report goes to standard error.");
        files->add_option("-o,--output", "the encrypted file to write")->type_name("OUT");
        PasswordOptions(*files);
        Operand(*files, "FILE", "the files to encrypt, in this order", "no file to encrypt given",
                true);

        CLI::App* restore = Command(
            CliCommand::DecryptFile, "decrypt-file",
            "Restores the files held in FILE.vrq beside it, or into DIR, replacing files of the "
            "same names. The report goes to standard error.");
        restore->add_option("-C,--directory", "the folder to restore into")->type_name("DIR");
        PasswordOptions(*restore);
        Operand(*restore, "FILE.vrq", "the encrypted file", "no encrypted file given", false);

        CLI::App* list = Command(CliCommand::List, "list",
                                 "Prints the names and sizes stored in FILE.vrq (they are not "
                                 "encrypted; no password is needed). Names are printed with "
                                 "control characters and backslashes escaped (\\x1b, \\n, \\\\).");
        Operand(*list, "FILE.vrq", "the encrypted file", "no encrypted file given", false);

#ifdef KIV_CLI_WITH_DDE
        CLI::App* dde = Command(
            CliCommand::Dde, "dde",
            "Opens a conversation on TOPIC with the command service of the running desktop program "
            "(NAME, kiv unless given), executes each MACRO and prints each answer on a line of its "
            "own: FACK when the topic's component took the macro, 0 when the topic is a window "
            "caption. The exit status is 1 when the topic is refused.");
        dde->add_option("--service", "the command service to talk to")->type_name("NAME");
        Operand(*dde, "TOPIC", "the topic to open a conversation on", "no topic given", false);
        Operand(*dde, "MACRO", "the macros to execute, in order", "", true);
#endif
        // "kiv-cli help [COMMAND]" as "kiv-cli [COMMAND] --help", as many tools accept; not listed.
        program_.add_subcommand("help")->group("")->add_option("COMMAND");
    }

    ParsedCommandLine Parse(const std::vector<std::string>& words) {
        ParsedCommandLine parsed;
        if (words.empty()) {
            parsed.usageError = "no command given";
            return parsed;
        }
        std::vector<std::string> reversed(words.rbegin(), words.rend());
        try {
            program_.parse(reversed);
        } catch (const CLI::CallForHelp&) {
            parsed.print = program_.help();
            return parsed;
        } catch (const CLI::CallForVersion& version) {
            parsed.print = std::string(version.what()) + "\n";
            return parsed;
        } catch (const CLI::ParseError& error) {
            parsed.usageError = UsageMessage(error, words);
            return parsed;
        }
        CLI::App* command = program_.get_subcommands().front();
        if (command->get_name() == "help") {
            const CLI::Option* about = command->get_option("COMMAND");
            const CLI::App* subject = &program_;
            if (about->count() > 0) {
                const std::string name = about->as<std::string>();
                const auto named = program_.get_subcommands(
                    [&](const CLI::App* c) { return c->get_name() == name && c != command; });
                if (named.empty()) {
                    parsed.usageError = "unknown command '" + name + "'";
                    return parsed;
                }
                subject = named.front();
            }
            parsed.print =
                subject->get_formatter()->make_help(subject, "", CLI::AppFormatMode::Normal);
            return parsed;
        }
        for (const CLI::Option* option : command->get_options()) {
            if (!option->get_positional() && option->count() > 1) {
                parsed.usageError = "option '" + option->get_name() + "' given twice";
                return parsed;
            }
        }
        parsed.request = Request(*command);
        return parsed;
    }

  private:
    CLI::App* Command(CliCommand id, const std::string& name, const std::string& description) {
        CLI::App* command = program_.add_subcommand(name, description);
        command->set_help_flag("-h,--help", "this command's help");
        commands_[command] = id;
        return command;
    }

    static void PasswordOptions(CLI::App& command) {
        CLI::Option* file =
            command.add_option("--password-file", "the first line of FILE, without its line break")
                ->type_name("FILE")
                ->group(kPasswordGroup);
        CLI::Option* fd = command
                              .add_option("--password-fd",
                                          "the first line read from file "
                                          "descriptor N")
                              ->type_name("N")
                              ->check(kDescriptorNumber)
                              ->group(kPasswordGroup);
        file->excludes(fd);
    }

    void Operand(CLI::App& command, const std::string& name, const std::string& description,
                 const std::string& missing, bool many) {
        CLI::Option* operand = command.add_option(name, description);
        if (many) operand->expected(0, -1)->allow_extra_args();  // any number
        if (!missing.empty()) {
            operand->required();
            missing_[&command] = missing;
        }
    }

    CommandRequest Request(const CLI::App& command) const {
        CommandRequest request;
        request.command = commands_.at(&command);
        const auto value = [&](const std::string& name) -> std::optional<std::string> {
            const CLI::Option* option = command.get_option_no_throw(name);
            if (option == nullptr || option->count() == 0) return std::nullopt;
            return option->as<std::string>();
        };
        request.passwordFile = value("--password-file");
        if (const auto fd = value("--password-fd")) request.passwordFd = std::stoi(*fd);
        request.output = value("--output");
        request.directory = value("--directory");
        request.service = value("--service");
        for (const CLI::Option* operand :
             command.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
            for (const std::string& word : operand->results())
                request.operands.push_back(word);
        }
        return request;
    }

    // Usage errors in kiv-cli's words, whatever CLI11 calls them.
    std::string UsageMessage(const CLI::ParseError& error,
                             const std::vector<std::string>& words) const {
        const std::vector<CLI::App*> selected = program_.get_subcommands();
        // Words nothing was declared for; CLI11 keeps the "--" among them. An unknown option is
        // named first, whichever check CLI11 stopped at.
        std::vector<std::string> extra = program_.remaining();
        if (extra.empty() && !selected.empty()) extra = selected.front()->remaining();
        extra.erase(std::remove(extra.begin(), extra.end(), "--"), extra.end());
        for (const std::string& word : extra)
            if (IsOption(word, words))
                return "unknown option '" + word.substr(0, word.find('=')) + "'";
        if (selected.empty() && !extra.empty()) return "unknown command '" + extra.front() + "'";
        if (selected.empty()) return "no command given";
        if (!extra.empty()) return "unexpected argument '" + extra.front() + "'";
        if (dynamic_cast<const CLI::RequiredError*>(&error)) {
            if (const auto missing = missing_.find(selected.front()); missing != missing_.end())
                return missing->second;
        }
        const std::string what = error.what();
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
            return "option '" + what.substr(0, what.find(':')) + "' needs a value";
        if (dynamic_cast<const CLI::ValidationError*>(&error)) {
            const auto colon = what.find(": ");
            if (colon != std::string::npos) return what.substr(0, colon) + what.substr(colon + 1);
        }
        if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
            const auto excludes = what.find(" excludes ");
            if (excludes != std::string::npos)
                return "give either " + what.substr(0, excludes) + " or " +
                       what.substr(excludes + 10);
        }
        return what;
    }

    // Whether word, which the declaration has no place for, stands as an option: it starts with
    // "-" and no "--" comes before it.
    static bool IsOption(const std::string& word, const std::vector<std::string>& words) {
        const auto at = std::find(words.begin(), words.end(), word);
        return word.size() > 1 && word[0] == '-' && std::find(words.begin(), at, "--") == at;
    }

    CLI::App program_{"Protects texts and files with a password, as the desktop program kiv does.",
                      "kiv-cli"};
    std::map<const CLI::App*, CliCommand> commands_;
    std::map<const CLI::App*, std::string> missing_;  // how a missing operand is worded
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words) {
    return Declaration().Parse(words);
}

}  // namespace kiv
