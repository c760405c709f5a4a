#pragma once
#include <stdexcept>
#include <string>

namespace cl {

// What went wrong, for callers that must react (wait and retry, refuse, explain) without
// reading the message.
enum class ErrorKind {
    Other,
    Busy,          // another workstation holds the database
    ReadOnly,      // a file or folder that cannot be written
    Corrupt,       // a damaged file or one that is not a database of ours
    InvalidInput,  // what the operator typed or a file supplied is not acceptable
    NotFound,      // a file, table, row or run that does not exist
};

// Every failure the operator must read: the message is the Italian text shown as it is.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, ErrorKind kind = ErrorKind::Other)
        : std::runtime_error(message), kind_(kind) {}
    ErrorKind kind() const { return kind_; }

  private:
    ErrorKind kind_;
};

// A refusal that is no fault: there is nothing to act on ("Nessun aggiornamento registrato").
// A caller handles it as any other refusal; the screens show it as information.
class NothingToDo : public Error {
  public:
    explicit NothingToDo(const std::string& message) : Error(message, ErrorKind::NotFound) {}
};

// The kind of any failure: Other for one that is not ours.
inline ErrorKind errorKindOf(const std::exception& e) {
    auto* ours = dynamic_cast<const Error*>(&e);
    return ours ? ours->kind() : ErrorKind::Other;
}

}  // namespace cl
