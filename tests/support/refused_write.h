#pragma once
#include <string>

#include "store/identifier.h"
#include "support/temp_store.h"

namespace cl::test {

// Makes the engine refuse a row write midway, as a full or failing disk would: `timing` is
// "BEFORE INSERT", "BEFORE UPDATE", ...; `condition` may name NEW and OLD and hold a subquery.
// The same failure on either engine: a trigger of the file engine, a trigger function on the
// server (whose trigger conditions take no subquery).
inline void refuseWrites(TempStore& t, const std::string& name, const std::string& timing,
                         const std::string& table, const std::string& condition,
                         const std::string& message, bool fixed = false) {
    const std::string trigger = store::quoteName(name);
    if (!t.session.onServer()) {
        t.openStoreDb(fixed)->exec("CREATE TRIGGER " + trigger + " " + timing + " ON " + table +
                                   " WHEN " + condition + " BEGIN SELECT RAISE(ABORT, '" + message +
                                   "'); END");
        return;
    }
    const std::string function = store::quoteName(name + "_refuse");
    auto db = t.openStoreDb(fixed);
    db->exec("CREATE FUNCTION " + function +
             "() RETURNS trigger LANGUAGE plpgsql AS $body$ BEGIN IF " + condition +
             " THEN RAISE EXCEPTION '" + message +
             "'; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $body$");
    db->exec("CREATE TRIGGER " + trigger + " " + timing + " ON " + table +
             " FOR EACH ROW EXECUTE FUNCTION " + function + "()");
}

}  // namespace cl::test
