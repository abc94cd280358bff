#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <memory>

#include "cli/CommandDescription.h"
#include "cli/FailureLines.h"
#include "cli/HelpFormatter.h"
#include "cli/HelpTexts.h"
#include "cli/ManualSections.h"
#include "cli/ShellCompletion.h"

namespace kiv {

namespace {

// Edits (a character inserted, dropped, changed, or two neighbours swapped) that turn a into b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// message, with the name among known that typed was most likely meant for: at most two edits
// away, and fewer than half its length, so that "-x" suggests nothing.
std::string WithSuggestion(const std::string& message, const std::string& typed,
                           const std::vector<std::string>& known) {
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& name : known) {
        const std::size_t distance = EditDistance(typed, name);
        if (distance < bestDistance && 2 * distance < typed.size()) {
            best = name;
            bestDistance = distance;
        }
    }
    return best.empty() ? message : CliWording(Message::DidYouMean, {message, best});
}

bool IsForce(const std::string& word) {
    return word == "-f" || word == "--force";
}
bool IsNoClobber(const std::string& word) {
    return word == "-n" || word == "--no-clobber";
}

// Every name of the options of app, as typed: "-o", "--output".
std::vector<std::string> OptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const auto& name : option->get_snames())
            names.push_back("-" + name);
        for (const auto& name : option->get_lnames())
            names.push_back("--" + name);
    }
    return names;
}

// The declaration: every command of the table with its options and operands.
class Declaration {
  public:
    explicit Declaration(const CommandTable& table) {
        program_.formatter(std::make_shared<HelpFormatter>());
        program_.footer(
            "A word \"--\" ends the options: the words after it are arguments even when they start "
            "with \"-\". A FILE or FILE.vrq \"-\" is standard input.\n\n" +
            ExitStatusHelp() + "\n\n" + kPasswordRulesHelp);
        program_.set_help_flag("-h,--help", "this text; after a command, that command's help");
        program_.set_version_flag("--version", std::string("kiv-cli ") + KIV_VERSION,
                                  "prints kiv-cli's version");
        program_.require_subcommand(1);
        // The last of a repeated option counts, as a wrapper that gives a default needs.
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
            parsed.usageError = CliText(Message::NoCommand);
            return parsed;
        }
        // The build writes the manual page's sections and the completions with this; it is for
        // the build, so the help does not list it.
        if (words.front() == "--generate") return Generated(words);
        const std::vector<std::string> given = Conventional(words, parsed);
        if (!parsed.usageError.empty()) return parsed;
        std::vector<std::string> reversed(given.rbegin(), given.rend());
        try {
            program_.parse(reversed);
        } catch (const CLI::CallForHelp&) {
            parsed.print = program_.help();
            return parsed;
        } catch (const CLI::CallForVersion& version) {
            parsed.print = std::string(version.what()) + "\n";
            return parsed;
        } catch (const CLI::ParseError& error) {
            parsed.usageError = UsageMessage(error, given);
            if (const auto selected = program_.get_subcommands();
                !selected.empty() && selected.front()->get_name() != "help")
                parsed.usageCommand = selected.front()->get_name();
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
                    std::vector<std::string> names;
                    for (const CLI::App* other :
                         program_.get_subcommands([](const CLI::App*) { return true; }))
                        names.push_back(other->get_name());
                    parsed.usageError =
                        WithSuggestion(CliWording(Message::UnknownCommand, {name}), name, names);
                    return parsed;
                }
                subject = named.front();
            }
            parsed.print =
                subject->get_formatter()->make_help(subject, "", CLI::AppFormatMode::Normal);
            return parsed;
        }
        parsed.command = commands_.at(command);
        return parsed;
    }

  private:
    // The command the words name, if any: the first word that is not an option.
    const CLI::App* NamedCommand(const std::vector<std::string>& words) const {
        for (const std::string& word : words) {
            if (word == "--") break;
            if (word.starts_with("-")) continue;
            for (const CLI::App* command :
                 program_.get_subcommands([](const CLI::App*) { return true; }))
                if (command->get_name() == word) return command;
            break;
        }
        return nullptr;
    }

    // words with the conventions CLI11 has no setting for applied: "--version" stands alone, a
    // flag takes no "=VALUE", and a -v before the command goes to the command. A usage error is
    // left in parsed.
    std::vector<std::string> Conventional(const std::vector<std::string>& words,
                                          ParsedCommandLine& parsed) const {
        const CLI::App* command = NamedCommand(words);
        if (command && command->get_name() != "help") parsed.usageCommand = command->get_name();
        if (words.front() == "--version" && words.size() > 1) {
            parsed.usageError = CliWording(Message::UnexpectedArgument, {words[1]});
            return words;
        }
        std::vector<std::string> given, moved;
        bool beforeCommand = command != nullptr, ended = false;
        for (const std::string& word : words) {
            ended = ended || word == "--";
            const std::string name = word.substr(0, word.find('='));
            if (!ended && word.starts_with("--") && name.size() < word.size()) {
                const CLI::App& owner = beforeCommand || !command ? program_ : *command;
                const CLI::Option* option = owner.get_option_no_throw(name);
                if (option && option->get_expected_max() == 0) {
                    parsed.usageError = CliWording(Message::FlagTakesNoValue, {name});
                    return words;
                }
            }
            if (beforeCommand &&
                (word == "-v" || word == "--verbose" || word == "-q" || word == "--quiet")) {
                if (command->get_option_no_throw(
                        word.size() == 2 ? (word == "-v" ? "--verbose" : "--quiet") : word))
                    moved.push_back(word);
                continue;
            }
            // -f and -n say opposite things; as with cp and mv, the one given last counts.
            if (!ended && (IsForce(word) || IsNoClobber(word))) {
                const auto opposite = IsForce(word) ? IsNoClobber : IsForce;
                given.erase(std::remove_if(given.begin(), given.end(), opposite), given.end());
            }
            given.push_back(word);
            if (beforeCommand && word == command->get_name()) {
                given.insert(given.end(), moved.begin(), moved.end());
                beforeCommand = false;
            }
        }
        return given;
    }

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
        for (const std::string& word : extra) {
            if (!IsOption(word, words)) continue;
            const std::string name = word.substr(0, word.find('='));
            return WithSuggestion(CliWording(Message::UnknownOption, {name}), name,
                                  OptionNames(selected.empty() ? program_ : *selected.front()));
        }
        if (selected.empty() && !extra.empty()) {
            std::vector<std::string> names;
            for (const CLI::App* command :
                 program_.get_subcommands([](const CLI::App*) { return true; }))
                names.push_back(command->get_name());
            return WithSuggestion(CliWording(Message::UnknownCommand, {extra.front()}),
                                  extra.front(), names);
        }
        if (selected.empty()) return CliText(Message::NoCommand);
        if (!extra.empty()) return CliWording(Message::UnexpectedArgument, {extra.front()});
        if (dynamic_cast<const CLI::RequiredError*>(&error)) {
            return commands_.at(selected.front())->MissingOperand();
        }
        const std::string what = error.what();
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
            return CliWording(Message::OptionNeedsValue, {what.substr(0, what.find(':'))});
        if (dynamic_cast<const CLI::ValidationError*>(&error)) {
            const auto colon = what.find(": ");
            if (colon != std::string::npos) return what.substr(0, colon) + what.substr(colon + 1);
        }
        if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
            const auto excludes = what.find(" excludes ");
            if (excludes != std::string::npos)
                return CliWording(Message::GiveEither,
                                  {what.substr(0, excludes), what.substr(excludes + 10)});
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
