#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"

namespace cl::cli {

// Exit status of every command: 0 done, 1 refused or failed with nothing written, 2 usage.
enum Exit { kDone = 0, kFailed = 1, kUsage = 2 };

// Thrown for a bad command line: printed with the command's usage, exit 2.
struct UsageError {
    std::string message;
};

// The options and arguments of one command.
class Args {
  public:
    Args(std::vector<std::string> words, std::vector<std::string> valueOptions,
         std::vector<std::string> flagOptions);
    bool flag(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;  // repeated option
    const std::vector<std::string>& positional() const { return positional_; }

  private:
    std::map<std::string, std::vector<std::string>> values_;
    std::map<std::string, bool> flags_;
    std::vector<std::string> positional_;
};

// Messages printed exactly as the screens would show them; questions answered by --yes, or on
// a terminal, else No.
class CliMessages : public Messages {
  public:
    explicit CliMessages(bool yes) : yes_(yes) {}
    void show(const std::string& text, Icon icon, const std::string& title) override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override;

  private:
    bool yes_;
};

// Keeps the last value of every counter; draws the bar on stderr when it is a terminal.
class CliProgress : public Progress {
  public:
    void setText(const std::string& control, const std::string& text) override;
    void setBar(int position) override;
    void showBar(bool visible) override;
    std::string get(const std::string& control) const;

  private:
    std::map<std::string, std::string> values_;
    bool bar_ = false;
    int lastShown_ = -1;
};

struct Context {
    Session& session;
    CliMessages& messages;
    bool yes = false;
    // Setto_DB with the messages printed; a "non esiste" ends the command.
    void locate();
};

struct Command {
    std::string name;
    std::string usage;    // options after the command name
    std::string summary;  // one line for --help
    std::vector<std::string> valueOptions, flagOptions;
    std::function<int(Context&, const Args&)> run;
};

// Each command file registers itself with a static Registration.
std::map<std::string, Command>& registry();
struct Registration {
    explicit Registration(Command c);
};
// Lines shown after the usage by `COMMAND --help` only (how values are read, examples).
std::map<std::string, std::string>& helpDetails();
struct HelpDetails {
    HelpDetails(const std::string& command, std::string text);
};

int runCli(int argc, char** argv, const std::function<int(Session&, bool)>& gui);

}  // namespace cl::cli
