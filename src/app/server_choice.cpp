#include "app/server_choice.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "store/connection_mask.h"
#include "store/error.h"

namespace cl {

namespace {

std::string trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

[[noreturn]] void refuse(const std::string& shownName, int line, const std::string& what) {
    throw Error("Attenzione ... File di impostazioni " + shownName + ", riga " +
                    std::to_string(line) + ": " + what + ".",
                ErrorKind::InvalidInput);
}

bool hasOnlyKeyCharacters(const std::string& key) {
    for (unsigned char c : key)
        if (!std::isalnum(c) && c != '_' && c != '-') return false;
    return !key.empty();
}

// key=value pairs of a libpq connection string; values may be single-quoted with \ escapes.
std::map<std::string, std::string> keywordPairs(const std::string& text) {
    std::map<std::string, std::string> out;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    };
    while (true) {
        skipBlanks();
        if (i >= text.size()) break;
        size_t keyStart = i;
        while (i < text.size() && text[i] != '=' &&
               !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::string key = text.substr(keyStart, i - keyStart);
        skipBlanks();
        if (i >= text.size() || text[i] != '=') break;
        ++i;
        skipBlanks();
        std::string value;
        if (i < text.size() && text[i] == '\'') {
            for (++i; i < text.size() && text[i] != '\''; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                value += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
                value += text[i++];
        }
        out[key] = value;
    }
    return out;
}

// dbname and host of a postgresql:// URI; parameters after "?" override them.
std::map<std::string, std::string> uriParts(const std::string& uri) {
    std::map<std::string, std::string> out;
    std::string rest = uri.substr(uri.find("://") + 3);
    std::string query;
    if (auto q = rest.find('?'); q != std::string::npos) {
        query = rest.substr(q + 1);
        rest = rest.substr(0, q);
    }
    std::string authority = rest.substr(0, rest.find('/'));
    if (auto slash = rest.find('/'); slash != std::string::npos)
        out["dbname"] = store::percentDecoded(rest.substr(slash + 1));
    if (auto at = authority.rfind('@'); at != std::string::npos)
        authority = authority.substr(at + 1);
    // The port is not part of the place shown; an IPv6 address keeps its brackets.
    std::string host = authority;
    auto bracket = host.rfind(']');
    auto colon = host.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket))
        host = host.substr(0, colon);
    out["host"] = store::percentDecoded(host);
    std::stringstream params(query);
    for (std::string pair; std::getline(params, pair, '&');)
        if (auto eq = pair.find('='); eq != std::string::npos)
            out[pair.substr(0, eq)] = store::percentDecoded(pair.substr(eq + 1));
    return out;
}

}  // namespace

std::string serverFromSettings(const std::string& text, const std::string& shownName) {
    std::string server;
    bool seen = false;
    // A file saved by Notepad begins with a byte order mark.
    const std::string bom = "\xEF\xBB\xBF";
    std::istringstream lines(text.rfind(bom, 0) == 0 ? text.substr(bom.size()) : text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') continue;
        auto eq = content.find('=');
        if (eq == std::string::npos)
            refuse(shownName, number, "manca \"=\" (atteso: server = URL)");
        std::string key = trimmed(content.substr(0, eq));
        std::string value = trimmed(content.substr(eq + 1));
        // The line is named by its number, never shown: it may hold a password.
        if (!hasOnlyKeyCharacters(key)) refuse(shownName, number, "riga non valida");
        if (key != "server") refuse(shownName, number, "chiave sconosciuta \"" + key + "\"");
        if (value.empty()) refuse(shownName, number, "manca l'indirizzo del server");
        if (seen) refuse(shownName, number, "server indicato più volte");
        server = value;
        seen = true;
    }
    return server;
}

std::optional<std::string> serverFromEnvironment() {
    const char* value = std::getenv(kServerVariable);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

std::string chooseServer(const std::optional<std::string>& option,
                         const std::optional<std::string>& environment,
                         const std::filesystem::path& root) {
    const auto file = root / kSettingsFileName;
    std::string fromFile;
    std::error_code ec;
    // The file is read even when an option or the variable wins: a mistake in it is told at
    // once, not on the day the option is dropped.
    if (std::filesystem::exists(file, ec)) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        if (!in || !(text << in.rdbuf()))
            if (std::filesystem::file_size(file, ec) != 0)
                throw Error("Attenzione ... Il file di impostazioni " + file.string() +
                                " non si può leggere.",
                            ErrorKind::InvalidInput);
        fromFile = serverFromSettings(text.str(), file.string());
    }
    if (option) return *option;
    if (environment) return *environment;
    return fromFile;
}

std::string serverPlace(const std::string& connection) {
    bool uri = connection.rfind("postgresql://", 0) == 0 || connection.rfind("postgres://", 0) == 0;
    auto parts = uri ? uriParts(connection) : keywordPairs(connection);
    std::string db = parts["dbname"];
    std::string host = parts["host"].empty() ? parts["hostaddr"] : parts["host"];
    if (db.empty()) db = "server";
    // A database name may itself be a whole connection string.
    return store::withoutPasswords(host.empty() ? db : db + "@" + host, connection);
}

std::string workPlace(const std::string& server, const std::filesystem::path& root) {
    return server.empty() ? "cartella: " + root.string() : "server: " + serverPlace(server);
}

}  // namespace cl
