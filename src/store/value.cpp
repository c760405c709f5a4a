#include "store/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cl::store {

std::string Value::text() const {
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", *d);
        return buf;
    }
    return {};
}

double Value::number() const {
    if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    if (auto* s = std::get_if<std::string>(&v)) return std::strtod(s->c_str(), nullptr);
    return 0;
}

std::int64_t Value::integer() const {
    if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
    double d = number();
    if (!std::isfinite(d)) return 0;
    return static_cast<std::int64_t>(d);
}

}  // namespace cl::store
