#include "store/mdb_schema.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "store/identifier.h"

namespace cl::store {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool sameName(const std::string& a, const std::string& b) {
    return lower(a) == lower(b);
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool isNumberLiteral(const std::string& s) {
    if (s.empty()) return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    bool digits = false, dot = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i])))
            digits = true;
        else if (s[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits;
}

// An Access default as SQLite understands it; empty when there is no faithful equivalent.
std::string defaultExpression(const std::string& access) {
    std::string v = trim(access);
    if (!v.empty() && v[0] == '=') v = trim(v.substr(1));
    std::string l = lower(v);
    if (l == "true" || l == "yes") return "1";
    if (l == "false" || l == "no") return "0";
    if (isNumberLiteral(v)) return v;
    if (l == "date()") return "(date('now','localtime'))";
    if (l == "now()") return "(datetime('now','localtime'))";
    if (v.size() >= 2 && v.front() == '\'' && v.back() == '\'' && v.find('\\') == std::string::npos)
        return v;
    return "";
}

struct TypeName {
    const char* name;
    AccessType type;
};
// Longest names first, so that "Long Integer" is not read as "Integer".
const TypeName kTypeNames[] = {
    {"Memo/Hyperlink", AccessType::Memo},
    {"Replication ID", AccessType::ReplicationId},
    {"Long Integer", AccessType::LongInteger},
    {"Currency", AccessType::Currency},
    {"DateTime", AccessType::DateTime},
    {"Boolean", AccessType::Boolean},
    {"Integer", AccessType::Integer},
    {"Numeric", AccessType::Numeric},
    {"Single", AccessType::Single},
    {"Double", AccessType::Double},
    {"Binary", AccessType::Binary},
    {"Byte", AccessType::Byte},
    {"Text", AccessType::Text},
    {"OLE", AccessType::OLE},
};

AccessColumn parseColumn(const std::string& line) {
    AccessColumn col;
    size_t open = line.find('[');
    size_t close = line.find(']', open);
    col.name = line.substr(open + 1, close - open - 1);
    std::string rest = trim(line.substr(close + 1));
    if (!rest.empty() && rest.back() == ',') rest = trim(rest.substr(0, rest.size() - 1));
    size_t def = rest.find(" DEFAULT ");
    if (def != std::string::npos) {
        std::string access = rest.substr(def + 9);
        col.defaultSql = defaultExpression(access);
        if (col.defaultSql.empty()) col.droppedDefault = trim(access);
        rest = rest.substr(0, def);
    }
    size_t notNull = rest.find(" NOT NULL");
    if (notNull != std::string::npos) rest = rest.substr(0, notNull);
    col.typeText = trim(rest);
    col.type = accessTypeNamed(col.typeText);
    return col;
}

// Quoted identifiers of a statement, and where the column list opens.
std::vector<std::string> identifiers(const std::string& line, size_t from, size_t to) {
    std::vector<std::string> out;
    for (size_t i = from; i < to && i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::string name;
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    name += '"';
                    ++i;
                } else {
                    break;
                }
            } else {
                name += line[i];
            }
        }
        out.push_back(name);
    }
    return out;
}

size_t openParen(const std::string& line) {
    bool inQuote = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') inQuote = !inQuote;
        if (line[i] == '(' && !inQuote) return i;
    }
    return std::string::npos;
}

}  // namespace

const AccessColumn* AccessTable::column(const std::string& n) const {
    for (const auto& c : columns)
        if (sameName(c.name, n)) return &c;
    return nullptr;
}

AccessType accessTypeNamed(const std::string& typeText) {
    for (const auto& t : kTypeNames)
        if (typeText.rfind(t.name, 0) == 0) return t.type;
    return AccessType::Unknown;
}

std::vector<AccessTable> parseAccessSchema(const std::string& text) {
    std::vector<AccessTable> tables;
    std::istringstream in(text);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("CREATE TABLE [", 0) == 0) {
            size_t open = line.find('['), close = line.rfind(']');
            tables.push_back({line.substr(open + 1, close - open - 1), {}});
            inTable = true;
        } else if (inTable && line.rfind(");", 0) == 0) {
            inTable = false;
        } else if (inTable && line.find('[') != std::string::npos &&
                   line.find(']') != std::string::npos) {
            tables.back().columns.push_back(parseColumn(line));
        }
    }
    return tables;
}

namespace {

// A name between backticks, doubled inside, from position at (on the opening backtick).
std::string backticked(const std::string& line, size_t at) {
    std::string name;
    for (size_t i = at + 1; i < line.size(); ++i) {
        if (line[i] != '`') {
            name += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '`') {
            name += '`';
            ++i;
        } else {
            break;
        }
    }
    return name;
}

}  // namespace

std::vector<AutoNumber> parseAutoNumbers(const std::string& text) {
    std::vector<AutoNumber> out;
    std::istringstream in(text);
    std::string line, table;
    while (std::getline(in, line)) {
        if (line.rfind("CREATE TABLE `", 0) == 0)
            table = backticked(line, line.find('`'));
        else if (!table.empty() && line.rfind("\t`", 0) == 0 &&
                 line.find(" auto_increment") != std::string::npos)
            out.push_back({table, backticked(line, 1)});
    }
    return out;
}

std::string autoNumberTriggerSql(const AutoNumber& f) {
    const std::string t = quoteName(f.table), c = quoteName(f.column);
    return "CREATE TRIGGER " + quoteName(f.table + "_" + f.column + "_contatore") +
           " AFTER INSERT ON " + t + " WHEN NEW." + c + " IS NULL BEGIN UPDATE " + t + " SET " + c +
           " = (SELECT coalesce(max(" + c + "), 0) + 1 FROM " + t +
           ") WHERE rowid = NEW.rowid; END";
}

std::vector<AccessIndex> parseIndexStatements(const std::string& text) {
    std::vector<AccessIndex> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        bool primary =
            line.rfind("ALTER TABLE ", 0) == 0 && line.find(" PRIMARY KEY ") != std::string::npos;
        bool create = line.rfind("CREATE ", 0) == 0 && line.find(" INDEX ") != std::string::npos;
        size_t paren = openParen(line);
        if ((!primary && !create) || paren == std::string::npos) continue;
        auto head = identifiers(line, 0, paren);
        AccessIndex idx;
        idx.columns = identifiers(line, paren, line.size());
        if (head.empty() || idx.columns.empty()) continue;
        if (primary) {
            idx.table = head[0];
            idx.name = head.size() > 1 ? head[1] : head[0] + "_pkey";
            idx.unique = true;
        } else {
            if (head.size() < 2) continue;
            idx.name = head[0];
            idx.table = head[1];
            idx.unique = line.rfind("CREATE UNIQUE ", 0) == 0;
        }
        out.push_back(std::move(idx));
    }
    return out;
}

std::string sqliteType(AccessType type) {
    switch (type) {
        case AccessType::Boolean:
        case AccessType::Byte:
        case AccessType::Integer:
        case AccessType::LongInteger:
            return "INTEGER";
        case AccessType::Currency:
        case AccessType::Numeric:
            return "NUMERIC";
        case AccessType::Single:
        case AccessType::Double:
            return "REAL";
        case AccessType::Binary:
        case AccessType::OLE:
            return "BLOB";
        case AccessType::DateTime:
        case AccessType::Text:
        case AccessType::Memo:
        case AccessType::ReplicationId:
        case AccessType::Unknown:
            break;
    }
    return "TEXT COLLATE NOCASE";
}

std::string createTableSql(const AccessTable& table) {
    std::string sql = "CREATE TABLE " + quoteName(table.name) + " (";
    for (size_t i = 0; i < table.columns.size(); ++i) {
        const auto& c = table.columns[i];
        sql += (i ? ", " : "") + quoteName(c.name) + " " + sqliteType(c.type);
        if (!c.defaultSql.empty()) sql += " DEFAULT " + c.defaultSql;
    }
    return sql + ")";
}

std::optional<DatabaseKind> guessKind(const std::vector<AccessTable>& tables) {
    std::optional<DatabaseKind> best;
    size_t bestScore = 0;
    for (auto kind : {DatabaseKind::Store, DatabaseKind::FixedArticles, DatabaseKind::Suite}) {
        size_t score = 0;
        for (const auto& def : schemaOf(kind))
            score += std::any_of(tables.begin(), tables.end(),
                                 [&](const AccessTable& t) { return sameName(t.name, def.name); });
        if (score > bestScore) best = kind, bestScore = score;
    }
    return best;
}

namespace {

// Index names share one name space with tables in SQLite.
class NameSpace {
  public:
    explicit NameSpace(const std::vector<AccessTable>& tables) {
        for (const auto& t : tables) used_.insert(lower(t.name));
    }
    bool take(const std::string& name) { return used_.insert(lower(name)).second; }
    std::string fresh(const std::string& name) {
        std::string candidate = name;
        for (int n = 2; !take(candidate); ++n) candidate = name + "_" + std::to_string(n);
        return candidate;
    }

  private:
    std::set<std::string> used_;
};

bool sameColumns(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameName);
}

}  // namespace

std::vector<PlannedIndex> planIndexes(const std::vector<AccessTable>& tables,
                                      const std::vector<AccessIndex>& sourceIndexes,
                                      std::optional<DatabaseKind> kind,
                                      std::vector<std::string>& notes) {
    std::vector<PlannedIndex> out;
    NameSpace names(tables);
    std::vector<bool> taken(sourceIndexes.size(), false);
    for (const auto& table : tables) {
        if (!kind) break;
        const auto& defs = schemaOf(*kind);
        auto def = std::find_if(defs.begin(), defs.end(),
                                [&](const TableDef& d) { return sameName(d.name, table.name); });
        if (def == defs.end()) continue;
        for (const auto& want : def->indexes) {
            PlannedIndex p{want.name, table.name, {}, want.unique, true};
            for (const auto& f : want.fields)
                if (const auto* c = table.column(f)) p.columns.push_back(c->name);
            if (p.columns.size() != want.fields.size()) {
                notes.push_back("Indice \"" + want.name + "\" della tabella \"" + table.name +
                                "\" non creato: mancano i suoi campi.");
                continue;
            }
            for (size_t i = 0; i < sourceIndexes.size(); ++i) {
                const auto& s = sourceIndexes[i];
                if (!taken[i] && sameName(s.table, table.name) &&
                    sameColumns(s.columns, p.columns)) {
                    taken[i] = true;  // the source's own index, kept under the program's name
                    p.unique = s.unique;
                    p.required = false;
                    break;
                }
            }
            if (!names.take(p.name)) {
                notes.push_back("Indice \"" + want.name + "\" non creato: il nome è già in uso.");
                continue;
            }
            out.push_back(std::move(p));
        }
    }
    for (size_t i = 0; i < sourceIndexes.size(); ++i) {
        if (taken[i]) continue;
        const auto& s = sourceIndexes[i];
        auto table = std::find_if(tables.begin(), tables.end(),
                                  [&](const AccessTable& t) { return sameName(t.name, s.table); });
        if (table == tables.end()) continue;
        PlannedIndex p{"", table->name, {}, s.unique, false};
        for (const auto& f : s.columns)
            if (const auto* c = table->column(f)) p.columns.push_back(c->name);
        if (p.columns.size() != s.columns.size()) continue;
        p.name = names.fresh(s.name);
        out.push_back(std::move(p));
    }
    return out;
}

std::string createIndexSql(const PlannedIndex& index, bool unique) {
    std::string sql = std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " +
                      quoteName(index.name) + " ON " + quoteName(index.table) + " (";
    for (size_t i = 0; i < index.columns.size(); ++i)
        sql += (i ? ", " : "") + quoteName(index.columns[i]);
    return sql + ")";
}

}  // namespace cl::store
