#pragma once
#include <string>

namespace cl::store {

// Fixed-width texts: longer values are cut, shorter ones padded with blanks. Widths count
// characters, not bytes, so an accented letter is one position.
std::string fixedWidth(const std::string& text, size_t width);
// The first n characters, without padding.
std::string firstChars(const std::string& text, size_t n);
std::string trimmed(const std::string& text);
std::string rtrimmed(const std::string& text);
// The text as the case-insensitive columns compare it: ASCII letters in lower case, nothing else
// changed.
std::string asciiFolded(std::string text);
// Trimmed comparison, as lookups on fixed-width fields do.
bool sameTrimmed(const std::string& a, const std::string& b);
size_t charCount(const std::string& text);

}  // namespace cl::store
