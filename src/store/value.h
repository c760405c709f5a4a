#pragma once
#include <cstdint>
#include <string>
#include <variant>

namespace cl::store {

// A field value as the engine holds it. Null reads as "" or 0 through the accessors.
struct Value {
    std::variant<std::monostate, std::int64_t, double, std::string> v;

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int x) : v(std::int64_t{x}) {}
    Value(long x) : v(std::int64_t{x}) {}
    Value(long long x) : v(std::int64_t{x}) {}
    Value(double x) : v(x) {}
    Value(std::string s) : v(std::move(s)) {}
    Value(const char* s) : v(std::string(s)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v); }
    bool isText() const { return std::holds_alternative<std::string>(v); }
    bool isNumber() const { return !isNull() && !isText(); }
    // Null gives "", numbers their plain text.
    std::string text() const;
    // Null gives 0; a text gives its leading number.
    double number() const;
    std::int64_t integer() const;
    bool operator==(const Value&) const = default;
};

}  // namespace cl::store
