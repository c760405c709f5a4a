#include "app/clock.h"

#include <cctype>
#include <ctime>

namespace cl {

namespace {
std::string& fixedToday() {
    static std::string value;
    return value;
}
}  // namespace

std::string todayIso() {
    if (!fixedToday().empty()) return fixedToday();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
}

std::string nowIso() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return todayIso() + " " + buf;
}

void setToday(const std::string& iso) {
    fixedToday() = iso;
}

int currentYear() {
    return std::stoi(todayIso().substr(0, 4));
}

bool isIsoDate(const std::string& t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
    int y = std::stoi(t.substr(0, 4)), m = std::stoi(t.substr(5, 2)), d = std::stoi(t.substr(8, 2));
    if (m < 1 || m > 12 || d < 1) return false;
    // 2026-02-31 is not a day: refused rather than stored as a date no calendar has.
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

}  // namespace cl
