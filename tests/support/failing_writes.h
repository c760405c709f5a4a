#pragma once
#include <string>

#include "support/temp_store.h"
#include "support/test_engine.h"

namespace cl::test {

// Makes the store refuse a write, on whichever engine runs: every `event` ("INSERT", "UPDATE",
// "DELETE") on `table` fails with `message` when `when` holds (a condition over NEW or OLD;
// "" for always). `timing` is "BEFORE" or "AFTER".
inline void failWrites(TempStore& ts, const std::string& name, const std::string& timing,
                       const std::string& event, const std::string& table, const std::string& when,
                       const std::string& message) {
    if (!onServerEngine()) {
        ts.exec("CREATE TRIGGER " + name + " " + timing + " " + event + " ON " + table +
                (when.empty() ? "" : " WHEN " + when) + " BEGIN SELECT RAISE(ABORT, '" + message +
                "'); END");
        return;
    }
    ts.exec("CREATE FUNCTION " + name + "() RETURNS trigger LANGUAGE plpgsql AS $body$ BEGIN IF " +
            (when.empty() ? "true" : when) + " THEN RAISE EXCEPTION '" + message +
            "'; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $body$;"
            "CREATE TRIGGER " +
            name + " " + timing + " " + event + " ON " + table + " FOR EACH ROW EXECUTE FUNCTION " +
            name + "()");
}

inline void allowWrites(TempStore& ts, const std::string& name, const std::string& table) {
    ts.exec(onServerEngine() ? "DROP TRIGGER " + name + " ON " + table + "; DROP FUNCTION " + name
                             : "DROP TRIGGER " + name);
}

}  // namespace cl::test
