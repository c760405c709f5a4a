#include "store/workstations.h"

namespace cl::store {

namespace {

// The server keeps 63 bytes of a connection's name; "|" cannot be part of a PC or user name
// that the name carries.
constexpr const char* kPrefix = "controllo-listino|";

std::string clean(const std::string& part) {
    std::string out;
    for (char c : part) out += (c == '|') ? '_' : c;
    return out;
}

}  // namespace

void announceWorkstation(Database& db, const std::string& pc, const std::string& user) {
    if (!db.onServer()) return;
    const std::string name = (kPrefix + clean(pc) + "|" + clean(user)).substr(0, 63);
    db.prepare("SELECT set_config('application_name', ?, false)").bind(1, Value(name)).step();
}

std::vector<Workstation> otherWorkstations(Database& db) {
    std::vector<Workstation> out;
    if (!db.onServer()) return out;
    auto q = db.prepare(
        "SELECT application_name, to_char(backend_start, 'YYYY-MM-DD HH24:MI:SS') "
        "FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid() "
        "AND starts_with(application_name, ?) ORDER BY backend_start");
    q.bind(1, Value(std::string(kPrefix)));
    while (q.step()) {
        const std::string name = q.value(0).text().substr(std::string(kPrefix).size());
        const auto bar = name.find('|');
        Workstation w;
        w.pc = name.substr(0, bar);
        w.user = bar == std::string::npos ? "" : name.substr(bar + 1);
        w.since = q.value(1).isNull() ? "" : q.value(1).text();
        out.push_back(w);
    }
    return out;
}

}  // namespace cl::store
