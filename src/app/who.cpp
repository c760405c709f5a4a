#include "app/who.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace cl {

namespace {

std::string fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string systemUser() {
#ifndef _WIN32
    // The account the process runs under, not a name the environment may claim.
    if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_name)
        return account->pw_name;
    std::string user = fromEnvironment("USER");
    return user.empty() ? fromEnvironment("LOGNAME") : user;
#else
    return fromEnvironment("USERNAME");
#endif
}

std::string systemPc() {
#ifndef _WIN32
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0) return name;
    return {};
#else
    return fromEnvironment("COMPUTERNAME");
#endif
}

// A name as the journal keeps it: printable, short enough for a column of a list.
std::string tidy(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (text.size() > 64) text.resize(64);
    return text.empty() ? "?" : text;
}

}  // namespace

const Who& whoIsHere() {
    static const Who who{tidy(systemUser()), tidy(systemPc())};
    return who;
}

std::string describeWho(const std::string& user, const std::string& pc) {
    if (user.empty() && pc.empty()) return {};
    return (user.empty() ? "?" : user) + " su " + (pc.empty() ? "?" : pc);
}

}  // namespace cl
