#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/clock.h"
#include "app/italian_errors.h"
#include "app/server_choice.h"
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
    if (!title.empty()) out << title << ": ";
    out << text << std::endl;
}

Answer CliMessages::ask(const std::string& text, const std::string& title, Icon,
                        Answer defaultAnswer) {
    std::string prompt = (title.empty() ? "" : title + ": ") + text;
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
           "  --yes             risponde Sì a ogni domanda\n"
           "  --version         mostra la versione del programma\n\n"
           "Comandi:\n";
    for (const auto& [name, c] : registry())
        out << "  " << name << (c.usage.empty() ? "" : " " + c.usage) << "\n      " << c.summary
            << "\n";
}

}  // namespace

int runCli(int argc, char** argv, const std::function<int(Session&, bool)>& gui) {
    std::vector<std::string> words(argv + 1, argv + argc);
    std::filesystem::path root = store::defaultRoot();
    char drive = 'C';
    bool yes = false;
    std::optional<std::string> serverOption;
    size_t i = 0;
    try {
        for (; i < words.size(); ++i) {
            const std::string& w = words[i];
            auto next = [&]() -> std::string {
                if (i + 1 >= words.size()) throw UsageError{"manca il valore di " + w};
                return words[++i];
            };
            if (w == "--root") {
                root = next();
                // An empty root would put the drives in whatever folder the command runs from.
                if (root.empty()) throw UsageError{"cartella radice vuota: indicare --root DIR"};
            } else if (w == "--drive") {
                std::string d = next();
                if (d.empty() || !std::isalpha(static_cast<unsigned char>(d[0])) ||
                    (d.size() > 1 && d != std::string(1, d[0]) + ":"))
                    throw UsageError{"unità non valida: " + d};
                drive = static_cast<char>(std::toupper(static_cast<unsigned char>(d[0])));
            } else if (w == "--server") {
                serverOption = next();
                if (serverOption->empty())
                    throw UsageError{"indirizzo del server vuoto: indicare --server URL"};
            } else if (w == "--today") {
                std::string t = next();
                if (!isIsoDate(t)) throw UsageError{"data non valida (AAAA-MM-GG): " + t};
                setToday(t);
            } else if (w == "--yes" || w == "-y") {
                yes = true;
            } else if (w == "--version") {
                std::cout << "controllo-listino " << CL_VERSION << "\n";
                return kDone;
            } else if (w == "--help" || w == "-h" || w == "help") {
                printHelp(std::cout);
                return kDone;
            } else if (w.rfind("-", 0) == 0) {
                throw UsageError{"opzione sconosciuta: " + w};
            } else {
                break;
            }
        }
    } catch (const UsageError& e) {
        std::cerr << "controllo-listino: " << e.message << "\n";
        printHelp(std::cerr);
        return kUsage;
    }

    Session session(root, drive);
    try {
        session.server = chooseServer(serverOption, serverFromEnvironment(), root);
    } catch (const Error& e) {
        std::cerr << "controllo-listino: " << e.what() << "\n";
        return kUsage;
    }
    CliMessages messages(yes);
    if (i == words.size()) return gui(session, yes);
    // The command line asks before converting an Access file (--yes answers) and shows the bar.
    CliProgress accessProgress;
    session.accessMessages = &messages;
    session.accessProgress = &accessProgress;

    auto it = registry().find(words[i]);
    if (it == registry().end()) {
        std::cerr << "controllo-listino: comando sconosciuto: " << words[i] << "\n";
        printHelp(std::cerr);
        return kUsage;
    }
    const Command& cmd = it->second;
    for (size_t j = i + 1; j < words.size(); ++j) {
        if (words[j] == "--help" || words[j] == "-h") {
            std::cout << "Uso: controllo-listino " << cmd.name
                      << (cmd.usage.empty() ? "" : " " + cmd.usage) << "\n    " << cmd.summary
                      << "\n";
            if (auto d = helpDetails().find(cmd.name); d != helpDetails().end())
                std::cout << "\n" << d->second;
            return kDone;
        }
    }
    try {
        Args args(std::vector<std::string>(words.begin() + static_cast<long>(i) + 1, words.end()),
                  cmd.valueOptions, cmd.flagOptions);
        Context ctx{session, messages, yes};
        return cmd.run(ctx, args);
    } catch (const UsageError& e) {
        std::cerr << "controllo-listino " << cmd.name << ": " << e.message << "\n"
                  << "Uso: controllo-listino " << cmd.name << " " << cmd.usage << "\n";
        return kUsage;
    } catch (const Error& e) {
        std::cerr << e.what() << "\n";
        return kFailed;
    } catch (const std::exception& e) {
        std::cerr << italianMessage(e) << "\n";
        return kFailed;
    }
}

}  // namespace cl::cli
