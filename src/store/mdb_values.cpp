#include <charconv>

#include "store/mdb_schema.h"

namespace cl::store {

namespace {

bool hexToBytes(const std::string& hex, std::string& out) {
    if (hex.size() % 2) return false;
    out.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        auto r = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (r.ec != std::errc() || r.ptr != hex.data() + i + 2) return false;
        out += static_cast<char>(value);
    }
    return true;
}

}  // namespace

StoredValue storedValue(AccessType type, const CsvField& field) {
    using K = StoredValue::Kind;
    StoredValue v;
    if (field.isNull()) return v;
    const std::string& s = field.text;
    const char* end = s.data() + s.size();
    v.kind = K::Text;
    v.text = s;
    switch (type) {
        case AccessType::Boolean:
        case AccessType::Byte:
        case AccessType::Integer:
        case AccessType::LongInteger: {
            auto r = std::from_chars(s.data(), end, v.integer);
            if (r.ec == std::errc() && r.ptr == end) v.kind = K::Integer;
            break;
        }
        case AccessType::Single:
        case AccessType::Double: {
            auto r = std::from_chars(s.data(), end, v.real);
            if (r.ec == std::errc() && r.ptr == end) v.kind = K::Real;
            break;
        }
        case AccessType::DateTime:
            // Access's zero date stands for "never set", which this program stores as null.
            if (s == "1899-12-30 00:00:00") return StoredValue{};
            if (s.size() == 19 && s.compare(10, 9, " 00:00:00") == 0) v.text = s.substr(0, 10);
            break;
        case AccessType::Binary:
        case AccessType::OLE:
            if (hexToBytes(s, v.text))
                v.kind = K::Blob;
            else
                v.text = s;
            break;
        default:
            break;  // texts as they are; money and decimals as text, which NUMERIC makes numbers
    }
    return v;
}

}  // namespace cl::store
