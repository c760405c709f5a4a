#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cl::store {

// One field of an exported row: a quoted field is a text (possibly empty); an unquoted empty
// field is a null; any other unquoted field is the value as written.
struct CsvField {
    std::string text;
    bool quoted = false;
    bool isNull() const { return !quoted && text.empty(); }
};

// Splits the comma-separated output of mdb-export as it arrives, in chunks of any size.
// Quotes are doubled inside quoted fields, which may hold commas and line ends.
class CsvRecords {
  public:
    using Sink = std::function<void(std::vector<CsvField>&)>;
    explicit CsvRecords(Sink sink) : sink_(std::move(sink)) {}
    void feed(std::string_view chunk);
    // Ends the input; throws cl::Error when it stops inside a quoted field.
    void finish();
    long long records() const { return records_; }

  private:
    void endField();
    void endRecord();
    Sink sink_;
    std::vector<CsvField> fields_;
    CsvField field_;
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted } state_ = State::FieldStart;
    bool recordStarted_ = false;
    long long records_ = 0;
};

}  // namespace cl::store
