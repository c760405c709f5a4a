#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/clock.h"
#include "app/italian_errors.h"
#include "app/server_choice.h"
#include "store/connection_mask.h"
#include "store/error.h"
#include "store/windows_path.h"

namespace cl::cli {

// ---- Args ----

Args::Args(std::vector<std::string> words, std::vector<std::string> valueOptions,
           std::vector<std::string> flagOptions) {
    auto has = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 2 && w.rfind("--", 0) == 0) {
            std::string name = w.substr(2), inlineValue;
            bool hasInline = false;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name = name.substr(0, eq);
                hasInline = true;
            }
            if (has(valueOptions, name)) {
                if (hasInline) {
                    values_[name].push_back(inlineValue);
                } else {
                    if (i + 1 >= words.size()) throw UsageError{"manca il valore di --" + name};
                    values_[name].push_back(words[++i]);
                }
            } else if (has(flagOptions, name) && !hasInline) {
                flags_[name] = true;
            } else {
                throw UsageError{"opzione sconosciuta: " + w};
            }
        } else {
            positional_.push_back(w);
        }
    }
}

bool Args::flag(const std::string& name) const {
    return flags_.count(name) > 0;
}

std::optional<std::string> Args::value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    if (it->second.size() > 1) throw UsageError{"--" + name + " indicato più volte"};
    return it->second.front();
}

std::vector<std::string> Args::values(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

// ---- messages and progress ----

void CliMessages::show(const std::string& text, Icon icon, const std::string& title) {
    std::ostream& out = icon == Icon::Critical ? std::cerr : std::cout;
    if (!title.empty()) out << store::withoutPasswords(title) << ": ";
    out << store::withoutPasswords(text) << std::endl;
}

Answer CliMessages::ask(const std::string& text, const std::string& title, Icon,
                        Answer defaultAnswer) {
    std::string prompt = store::withoutPasswords((title.empty() ? "" : title + ": ") + text);
    if (yes_) {
        std::cout << prompt << " Sì (--yes)" << std::endl;
        return Answer::Yes;
    }
    if (!isatty(STDIN_FILENO)) {
        std::cerr << prompt << " No (rispondere con --yes per confermare)" << std::endl;
        return Answer::No;
    }
    std::cout << prompt << (defaultAnswer == Answer::Yes ? " [S/n] " : " [s/N] ") << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return Answer::No;
    if (line.empty()) return defaultAnswer;
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    return (c == 's' || c == 'y') ? Answer::Yes : Answer::No;
}

void CliProgress::setText(const std::string& control, const std::string& text) {
    values_[control] = text;
}

void CliProgress::setBar(int position) {
    if (!bar_ || !isatty(STDERR_FILENO)) return;
    int percent = position * 100 / 20000;
    if (percent == lastShown_) return;
    lastShown_ = percent;
    std::fprintf(stderr, "\r%3d%%", percent);
    std::fflush(stderr);
}

void CliProgress::showBar(bool visible) {
    if (bar_ && !visible && lastShown_ >= 0 && isatty(STDERR_FILENO))
        std::fputs("\r    \r", stderr);
    bar_ = visible;
    lastShown_ = -1;
}

std::string CliProgress::get(const std::string& control) const {
    auto it = values_.find(control);
    return it == values_.end() ? std::string() : it->second;
}

void Context::locate() {
    if (!session.settoDb(messages))
        throw Error(
            "Creare i database vuoti con \"controllo-listino init\" oppure crearne uno "
            "di prova con \"controllo-listino demo\".",
            ErrorKind::NotFound);
}

// ---- registry and entry ----

std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> commands;
    return commands;
}

Registration::Registration(Command c) {
    registry().emplace(c.name, std::move(c));
}

std::map<std::string, std::string>& helpDetails() {
    static std::map<std::string, std::string> details;
    return details;
}

HelpDetails::HelpDetails(const std::string& command, std::string text) {
    helpDetails()[command] = std::move(text);
}

namespace {

void printHelp(std::ostream& out) {
    out << "Uso: controllo-listino [opzioni globali] [comando [opzioni]]\n\n"
           "Senza comando apre le schermate (Controllo Articoli).\n\n"
           "Opzioni globali:\n"
           "  --root DIR        cartella con una sottocartella per lettera di unità\n"
           "                    (predefinita: "
        << store::defaultRoot().string()
        << ")\n"
           "  --drive X         unità corrente (predefinita C)\n"
           "  --server URL      lavora sul server PostgreSQL indicato (stringa di connessione\n"
           "                    o URI); altrimenti la variabile "
        << kServerVariable << ",\n                    poi la riga \"server = URL\" di DIR/"
        << kSettingsFileName
        << ";\n"
           "                    senza nessuno dei tre, i file SQLite nella cartella radice\n"
           "  --today AAAA-MM-GG  data di oggi per le operazioni\n"
           "  --yes, -y         risponde Sì a ogni domanda\n"
           "  --version         mostra la versione del programma\n"
           "Le opzioni globali valgono anche dopo il comando (controllo-listino undo --yes),\n"
           "salvo dove il comando ha un'opzione con lo stesso nome.\n\n"
           "Comandi:\n";
    for (const auto& [name, c] : registry())
        out << "  " << name << (c.usage.empty() ? "" : " " + c.usage) << "\n      " << c.summary
            << "\n";
}

// The options of the program as a whole, before or after the command.
struct GlobalOptions {
    std::filesystem::path root = store::defaultRoot();
    char drive = 'C';
    bool yes = false;
    std::optional<std::string> server;
};

// "--name" or "--name=value" split; the name is empty for a word that is not a long option.
std::pair<std::string, std::optional<std::string>> longOption(const std::string& word) {
    if (word.size() <= 2 || word.rfind("--", 0) != 0) return {{}, std::nullopt};
    auto eq = word.find('=');
    if (eq == std::string::npos) return {word.substr(2), std::nullopt};
    return {word.substr(2, eq - 2), word.substr(eq + 1)};
}

bool isGlobalOption(const std::string& name) {
    return name == "root" || name == "drive" || name == "server" || name == "today" ||
           name == "yes";
}

// Takes the global option at words[i] (and its value), moving i past it; false when the word
// is not one.
bool takeGlobalOption(const std::vector<std::string>& words, size_t& i, GlobalOptions& g) {
    const std::string& w = words[i];
    if (w == "-y") {
        g.yes = true;
        return true;
    }
    auto [name, inlineValue] = longOption(w);
    if (!isGlobalOption(name)) return false;
    if (name == "yes") {
        if (inlineValue) throw UsageError{"--yes non vuole un valore"};
        g.yes = true;
        return true;
    }
    std::string value;
    if (inlineValue) {
        value = *inlineValue;
    } else {
        if (i + 1 >= words.size()) throw UsageError{"manca il valore di --" + name};
        value = words[++i];
    }
    if (name == "root") {
        // An empty root would put the drives in whatever folder the command runs from.
        if (value.empty()) throw UsageError{"cartella radice vuota: indicare --root DIR"};
        g.root = value;
    } else if (name == "drive") {
        if (value.empty() || !std::isalpha(static_cast<unsigned char>(value[0])) ||
            (value.size() > 1 && value != std::string(1, value[0]) + ":"))
            throw UsageError{"unità non valida: " + value};
        g.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    } else if (name == "server") {
        if (value.empty()) throw UsageError{"indirizzo del server vuoto: indicare --server URL"};
        g.server = value;
    } else {
        if (!isIsoDate(value)) throw UsageError{"data non valida (AAAA-MM-GG): " + value};
        setToday(value);
    }
    return true;
}

// The command's own words, once the global options written among them are taken out. A word
// that is an option of the command (or the value of one) stays the command's, even when a
// global option has the same name.
std::vector<std::string> commandWords(const std::vector<std::string>& words, size_t from,
                                      const Command& cmd, GlobalOptions& g) {
    auto ownsOption = [](const std::vector<std::string>& v, const std::string& name) {
        return std::find(v.begin(), v.end(), name) != v.end();
    };
    std::vector<std::string> own;
    for (size_t i = from; i < words.size(); ++i) {
        auto [name, inlineValue] = longOption(words[i]);
        if (ownsOption(cmd.valueOptions, name)) {
            own.push_back(words[i]);
            if (!inlineValue && i + 1 < words.size()) own.push_back(words[++i]);
        } else if (ownsOption(cmd.flagOptions, name) || !takeGlobalOption(words, i, g)) {
            own.push_back(words[i]);
        }
    }
    return own;
}

// Usage errors, with the help of the program or of the command. What reaches stderr never
// shows a password (an option mistyped may hold a connection string).
void printUsageError(const std::string& message) {
    std::cerr << "controllo-listino: " << store::withoutPasswords(message) << "\n";
    printHelp(std::cerr);
}

void printUsageError(const Command& cmd, const std::string& message) {
    std::cerr << "controllo-listino " << cmd.name << ": " << store::withoutPasswords(message)
              << "\n"
              << "Uso: controllo-listino " << cmd.name << " " << cmd.usage << "\n";
}

}  // namespace

int runCli(int argc, char** argv, const std::function<int(Session&, bool)>& gui) {
    std::vector<std::string> words(argv + 1, argv + argc);
    GlobalOptions g;
    size_t i = 0;
    try {
        for (; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w == "--version") {
                std::cout << "controllo-listino " << CL_VERSION << "\n";
                return kDone;
            }
            if (w == "--help" || w == "-h" || w == "help") {
                printHelp(std::cout);
                return kDone;
            }
            if (takeGlobalOption(words, i, g)) continue;
            if (w.rfind("-", 0) == 0) throw UsageError{"opzione sconosciuta: " + w};
            break;
        }
    } catch (const UsageError& e) {
        printUsageError(e.message);
        return kUsage;
    }

    const Command* cmd = nullptr;
    std::vector<std::string> own;
    if (i < words.size()) {
        auto it = registry().find(words[i]);
        if (it == registry().end()) {
            printUsageError("comando sconosciuto: " + words[i]);
            return kUsage;
        }
        cmd = &it->second;
        for (size_t j = i + 1; j < words.size(); ++j) {
            if (words[j] == "--help" || words[j] == "-h") {
                std::cout << "Uso: controllo-listino " << cmd->name
                          << (cmd->usage.empty() ? "" : " " + cmd->usage) << "\n    "
                          << cmd->summary << "\n";
                if (auto d = helpDetails().find(cmd->name); d != helpDetails().end())
                    std::cout << "\n" << d->second;
                return kDone;
            }
        }
        try {
            own = commandWords(words, i + 1, *cmd, g);
        } catch (const UsageError& e) {
            printUsageError(*cmd, e.message);
            return kUsage;
        }
    }

    Session session(g.root, g.drive);
    try {
        session.server = chooseServer(g.server, serverFromEnvironment(), g.root);
    } catch (const Error& e) {
        std::cerr << "controllo-listino: " << store::withoutPasswords(e.what()) << "\n";
        return kUsage;
    }
    CliMessages messages(g.yes);
    if (!cmd) return gui(session, g.yes);
    session.holdOnWrite = true;
    // The command line asks before converting an Access file (--yes answers) and shows the bar.
    CliProgress accessProgress;
    session.accessMessages = &messages;
    session.accessProgress = &accessProgress;
    try {
        Args args(own, cmd->valueOptions, cmd->flagOptions);
        Context ctx{session, messages, g.yes};
        return cmd->run(ctx, args);
    } catch (const UsageError& e) {
        printUsageError(*cmd, e.message);
        return kUsage;
    } catch (const Error& e) {
        std::cerr << store::withoutPasswords(e.what()) << "\n";
        return kFailed;
    } catch (const std::exception& e) {
        std::cerr << store::withoutPasswords(italianMessage(e)) << "\n";
        return kFailed;
    }
}

}  // namespace cl::cli
