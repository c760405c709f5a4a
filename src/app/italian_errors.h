#pragma once
#include <exception>
#include <string>

namespace cl {

// The operator reads Italian only: the texts of the C++ library and the system (English) are
// turned into Italian ones. A cl::Error keeps its own text.
std::string italianMessage(const std::exception& e);
// The Italian text of a system error number (errno).
std::string systemErrorText(int code);

}  // namespace cl
