#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <memory>

#include "cli/CommandDescription.h"
#include "cli/HelpFormatter.h"
#include "cli/HelpTexts.h"
#include "cli/ManualSections.h"
#include "cli/ShellCompletion.h"

namespace kiv {

namespace {

// The declaration: every command of the table with its options and operands.
class Declaration {
  public:
    explicit Declaration(const CommandTable& table) {
        program_.formatter(std::make_shared<HelpFormatter>());
        program_.footer(
            "A word \"--\" ends the options: the words after it are arguments even when they start "
            "with \"-\". A FILE or FILE.vrq \"-\" is standard input.\n\n" +
            std::string(kExitStatusHelp) + "\n\n" + kPasswordRulesHelp);
        program_.set_help_flag("-h,--help", "this text; after a command, that command's help");
        program_.set_version_flag("--version", std::string("kiv-cli ") + KIV_VERSION,
                                  "prints kiv-cli's version");
        program_.require_subcommand(1);
        // Each option at most once: the parse keeps every occurrence so that a second one is
        // reported rather than silently winning.
        program_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        for (const auto& entry : table) {
            CLI::App* command = program_.add_subcommand(entry->Name(), entry->Description());
            command->set_help_flag("-h,--help", "this command's help");
            entry->Declare(*command);
            commands_[command] = entry.get();
        }
        // "kiv-cli help [COMMAND]" as "kiv-cli [COMMAND] --help", as many tools accept; not listed.
        program_.add_subcommand("help")->group("")->add_option("COMMAND");
    }

    ParsedCommandLine Parse(const std::vector<std::string>& words) {
        ParsedCommandLine parsed;
        if (words.empty()) {
            parsed.usageError = "no command given";
            return parsed;
        }
        // The build writes the manual page's sections and the completions with this; it is for
        // the build, so the help does not list it.
        if (words.front() == "--generate") return Generated(words);
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
        parsed.command = commands_.at(command);
        return parsed;
    }

  private:
    ParsedCommandLine Generated(const std::vector<std::string>& words) const {
        ParsedCommandLine parsed;
        const ProgramDescription described = DescribeProgram(
            program_, [this](const CLI::App& command) { return commands_.at(&command)->Manual(); });
        const std::string kind = words.size() == 2 ? words[1] : "";
        if (kind == "man")
            parsed.print = ManualSections(described);
        else if (kind == "bash")
            parsed.print = BashCompletion(described);
        else if (kind == "zsh")
            parsed.print = ZshCompletion(described);
        else if (kind == "fish")
            parsed.print = FishCompletion(described);
        else
            parsed.usageError = "--generate needs one of man, bash, zsh, fish";
        return parsed;
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
            return commands_.at(selected.front())->MissingOperand();
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
    std::map<const CLI::App*, CliCommand*> commands_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words,
                                   const CommandTable& commands) {
    return Declaration(commands).Parse(words);
}

}  // namespace kiv
