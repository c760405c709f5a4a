#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace cl {

// The environment variable and the settings file (in the root) that name the database server.
inline constexpr const char* kServerVariable = "CONTROLLO_LISTINO_SERVER";
inline constexpr const char* kSettingsFileName = "controllo-listino.conf";

// Where the program works: the server's connection string, or empty for the SQLite files.
// The --server option wins over the environment variable, which wins over the settings file.
// A settings file that cannot be read, or holds a line it does not understand, is a cl::Error
// with ErrorKind::InvalidInput naming the file and the line: it is never half-obeyed.
std::string chooseServer(const std::optional<std::string>& option,
                         const std::optional<std::string>& environment,
                         const std::filesystem::path& root);

// The value of the `server` line of a settings file's text (empty when there is none);
// `shownName` names the file in messages.
std::string serverFromSettings(const std::string& text, const std::string& shownName);

// "dbname@host" for a connection string or URI (no user, no password), to show where the
// program works; "server" when neither is said.
std::string serverPlace(const std::string& connection);

// Where the screens say they work: "server: dbname@host", or "cartella: ROOT" on the files.
std::string workPlace(const std::string& server, const std::filesystem::path& root);

// The environment variable's value; unset or empty: nothing.
std::optional<std::string> serverFromEnvironment();

}  // namespace cl
