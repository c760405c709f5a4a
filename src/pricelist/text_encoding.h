#pragma once
#include <string>
#include <string_view>

namespace cl::pricelist {

// The text of a file as UTF-8: a UTF-8 file (with or without its byte-order mark) as it is,
// a UTF-16 file with its mark converted, anything else read as Windows-1252, the code page
// Italian spreadsheets save CSV in.
std::string toUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
std::string windows1252ToUtf8(std::string_view bytes);

}  // namespace cl::pricelist
