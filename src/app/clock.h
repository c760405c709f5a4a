#pragma once
#include <string>

namespace cl {

// Today's date as ISO text (YYYY-MM-DD); fixed by --today for scripted runs and tests.
std::string todayIso();
void setToday(const std::string& iso);  // empty: the system date again
int currentYear();
bool isIsoDate(const std::string& text);

}  // namespace cl
