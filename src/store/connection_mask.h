#pragma once
#include <string>

namespace cl::store {

// What stands in the place of a password in every text the program shows or prints.
inline constexpr const char* kMaskedPassword = "***";

// A text that may hold a connection string (a message, a window title, a line of the settings
// file) with every password it could carry replaced by kMaskedPassword: the value of a keyword
// ending in "password" in libpq's key = value form (quoted or not), which is also how a URI's
// `password` parameter is written, and the password of a URI's user:password@. Every message,
// title and line on stderr passes through here before it is shown.
std::string withoutPasswords(const std::string& text);

// The same, and the passwords `connection` holds also removed wherever the text quotes them in
// pieces (the server library's own messages echo the parts of a string it cannot read; an
// operator who forgot the quotes around a password with a blank meant the words after it too).
std::string withoutPasswords(const std::string& text, const std::string& connection);

// "%2F" and the like of a URI part as the characters they stand for; a lone "%" stays.
std::string percentDecoded(const std::string& s);

}  // namespace cl::store
