#pragma once
#include <string>

namespace cl {

// Today's date as ISO text (YYYY-MM-DD); fixed by --today for scripted runs and tests.
std::string todayIso();
void setToday(const std::string& iso);  // empty: the system date again
// Today (as above) and the clock time: "YYYY-MM-DD HH:MM:SS".
std::string nowIso();
int currentYear();
bool isIsoDate(const std::string& text);

}  // namespace cl
