#include "pricelist/xlsx_cells.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "pricelist/xml_reader.h"
#include "store/error.h"

namespace cl::pricelist {

namespace {

// Price lists never need more; a reference beyond is left out rather than filling memory.
constexpr size_t kMaxColumns = 256;
constexpr size_t kMaxCells = 4'000'000;
// The text the cells hold in all: a few shared strings named by a million cells would copy
// them a million times (a file of some KB asking for GB).
constexpr size_t kMaxText = 64ull << 20;

std::optional<double> number(std::string_view text) {
    double v = 0;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "BC12" -> column 54 (0-based) and row 12; nullopt pieces when absent or malformed.
void splitReference(const std::string& ref, std::optional<size_t>& column,
                    std::optional<long long>& row) {
    size_t i = 0;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i]))) ++i;
    column = columnIndex(ref.substr(0, i));
    long long r = 0;
    auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
    if (ec == std::errc() && end == ref.data() + ref.size() && r > 0) row = r;
}

bool isDateCode(const std::string& code) {
    bool quoted = false, bracket = false;
    for (char c : code) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '[') bracket = true;
        if (c == ']') bracket = false;
        if (bracket) continue;
        char l = char(std::tolower(static_cast<unsigned char>(c)));
        if (l == 'y' || l == 'd') return true;
    }
    return false;
}

CellFormats::Kind builtinKind(long long id) {
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
        (id >= 50 && id <= 58))
        return CellFormats::Kind::Date;
    if (id == 9 || id == 10) return CellFormats::Kind::Percent;
    return CellFormats::Kind::Number;
}

long long integerOf(const XmlHandlers::Attributes& a, const char* name, long long fallback) {
    auto it = a.find(name);
    if (it == a.end()) return fallback;
    long long v = 0;
    auto [end, ec] = std::from_chars(it->second.data(), it->second.data() + it->second.size(), v);
    return ec == std::errc() && end == it->second.data() + it->second.size() ? v : fallback;
}

// Collects the cells of one worksheet as expat reports them.
class SheetBuilder {
  public:
    SheetBuilder(const std::vector<std::string>& shared, const CellFormats& formats)
        : shared_(shared), formats_(formats) {}

    void start(const std::string& name, const XmlHandlers::Attributes& a) {
        if (name == "row") {
            long long r = integerOf(a, "r", nextRow_);
            row_ = SheetRow{};
            row_.line = r > 0 ? r : nextRow_;
            nextRow_ = row_.line + 1;
            nextColumn_ = 0;
        } else if (name == "c") {
            cell_ = Open{};
            auto ref = a.find("r");
            std::optional<size_t> col;
            std::optional<long long> r;
            if (ref != a.end()) splitReference(ref->second, col, r);
            cell_.column = col.value_or(nextColumn_);
            nextColumn_ = cell_.column + 1;
            auto t = a.find("t");
            if (t != a.end()) cell_.type = t->second;
            cell_.style = integerOf(a, "s", 0);
            inCell_ = true;
        } else if (inCell_ && (name == "v" || (name == "t" && !inPhonetic_))) {
            collecting_ = true;
        } else if (name == "rPh") {
            inPhonetic_ = true;
        }
    }

    void end(const std::string& name) {
        if (name == "v" || name == "t") collecting_ = false;
        if (name == "rPh") inPhonetic_ = false;
        if (name == "c" && inCell_) {
            place(finish());
            inCell_ = false;
        }
        if (name == "row") {
            if (!row_.empty()) rows.push_back(std::move(row_));
            row_ = SheetRow{};
        }
    }

    void text(std::string_view s) {
        if (collecting_) cell_.value.append(s);
    }

    std::vector<SheetRow> rows;

  private:
    struct Open {
        size_t column = 0;
        std::string type, value;
        long long style = 0;
    };

    Cell finish() {
        Cell c;
        const std::string& t = cell_.type;
        if (t == "s") {
            auto i = number(cell_.value);
            if (i && *i >= 0 && *i < double(shared_.size())) c.text = shared_[size_t(*i)];
        } else if (t == "inlineStr" || t == "str" || t == "e") {
            c.text = cell_.value;
        } else if (t == "b") {
            c.text = cell_.value == "1" ? "VERO" : "FALSO";
        } else if (t == "d") {
            c.text = cell_.value.substr(0, 10);
            c.isDate = true;
        } else if (auto v = number(cell_.value)) {
            auto kind = formats_.kindOf(cell_.style);
            if (kind == CellFormats::Kind::Date && *v >= 0 && *v < 2958466) {
                c.text = serialDate(*v, formats_.date1904);
                c.isDate = true;
            } else {
                c.number = *v;
                c.isPercent = kind == CellFormats::Kind::Percent;
                c.text = plainText(*v);
            }
        } else {
            c.text = cell_.value;
        }
        return c;
    }

    void place(Cell c) {
        if (cell_.column >= kMaxColumns || c.empty()) return;
        if (row_.cells.size() <= cell_.column) {
            cells_ += cell_.column + 1 - row_.cells.size();
            if (cells_ > kMaxCells)
                throw Error("Il foglio è troppo grande per essere letto come listino.",
                            ErrorKind::InvalidInput);
            row_.cells.resize(cell_.column + 1);
        }
        text_ += c.text.size();
        if (text_ > kMaxText)
            throw Error("Il foglio contiene troppo testo per essere letto come listino (oltre " +
                            std::to_string(kMaxText >> 20) + " MB).",
                        ErrorKind::InvalidInput);
        row_.cells[cell_.column] = std::move(c);
    }

    const std::vector<std::string>& shared_;
    const CellFormats& formats_;
    SheetRow row_;
    Open cell_;
    long long nextRow_ = 1;
    size_t nextColumn_ = 0, cells_ = 0, text_ = 0;
    bool inCell_ = false, collecting_ = false, inPhonetic_ = false;
};

}  // namespace

CellFormats::Kind CellFormats::kindOf(long long style) const {
    if (style < 0 || size_t(style) >= styles.size()) return Kind::Number;
    return styles[size_t(style)];
}

std::vector<SheetRow> readSheetCells(std::string_view xml, const std::vector<std::string>& shared,
                                     const CellFormats& formats) {
    SheetBuilder b(shared, formats);
    XmlHandlers h;
    h.start = [&](const std::string& n, const XmlHandlers::Attributes& a) { b.start(n, a); };
    h.end = [&](const std::string& n) { b.end(n); };
    h.text = [&](std::string_view s) { b.text(s); };
    parseXml(xml, h, "il foglio di lavoro");
    return std::move(b.rows);
}

std::vector<std::string> readSharedStrings(std::string_view xml) {
    std::vector<std::string> out;
    bool inItem = false, inText = false, phonetic = false;
    XmlHandlers h;
    h.start = [&](const std::string& n, const XmlHandlers::Attributes&) {
        if (n == "si") {
            out.emplace_back();
            inItem = true;
        } else if (n == "rPh") {
            phonetic = true;
        } else if (n == "t" && inItem && !phonetic) {
            inText = true;
        }
    };
    h.end = [&](const std::string& n) {
        if (n == "si") inItem = false;
        if (n == "rPh") phonetic = false;
        if (n == "t") inText = false;
    };
    h.text = [&](std::string_view s) {
        if (inText) out.back().append(s);
    };
    parseXml(xml, h, "le stringhe condivise");
    return out;
}

CellFormats readCellFormats(std::string_view xml) {
    CellFormats f;
    std::map<long long, CellFormats::Kind> custom;
    bool inCellXfs = false;
    XmlHandlers h;
    h.start = [&](const std::string& n, const XmlHandlers::Attributes& a) {
        if (n == "numFmt") {
            auto code = a.find("formatCode");
            std::string c = code == a.end() ? "" : code->second;
            custom[integerOf(a, "numFmtId", -1)] = isDateCode(c) ? CellFormats::Kind::Date
                                                   : c.find('%') != std::string::npos
                                                       ? CellFormats::Kind::Percent
                                                       : CellFormats::Kind::Number;
        } else if (n == "cellXfs") {
            inCellXfs = true;
        } else if (n == "xf" && inCellXfs) {
            long long id = integerOf(a, "numFmtId", 0);
            auto it = custom.find(id);
            f.styles.push_back(it != custom.end() ? it->second : builtinKind(id));
        }
    };
    h.end = [&](const std::string& n) {
        if (n == "cellXfs") inCellXfs = false;
    };
    parseXml(xml, h, "gli stili");
    return f;
}

std::string serialDate(double serial, bool date1904) {
    long long days = static_cast<long long>(std::floor(serial));
    // Day 0 is 1899-12-31, and the calendar counts a 29 February 1900 that never was.
    long long fromEpoch;  // days since 1970-01-01
    if (date1904)
        fromEpoch = days - 24107;
    else
        fromEpoch = days - (days >= 60 ? 25569 : 25568);
    // Civil date from a day count (Howard Hinnant's algorithm).
    long long z = fromEpoch + 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400, doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153, d = doy - (153 * mp + 2) / 5 + 1;
    long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", y, m, d);
    return buf;
}

std::string plainText(double v) {
    // to_chars, not printf: the screens run under the operator's locale, which may write ",".
    char buf[64];
    auto r = v == std::floor(v) && std::fabs(v) < 1e15
                 ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0)
                 : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

}  // namespace cl::pricelist
