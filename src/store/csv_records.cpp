#include "store/csv_records.h"

#include "store/error.h"

namespace cl::store {

void CsvRecords::endField() {
    fields_.push_back(std::move(field_));
    field_ = CsvField{};
    state_ = State::FieldStart;
}

void CsvRecords::endRecord() {
    endField();
    ++records_;
    sink_(fields_);
    fields_.clear();
    recordStarted_ = false;
}

void CsvRecords::feed(std::string_view chunk) {
    for (char c : chunk) {
        switch (state_) {
            case State::FieldStart:
                recordStarted_ = true;
                if (c == '"') {
                    field_.quoted = true;
                    state_ = State::Quoted;
                } else if (c == ',') {
                    endField();
                } else if (c == '\n') {
                    endRecord();
                } else {
                    field_.text += c;
                    state_ = State::Unquoted;
                }
                break;
            case State::Unquoted:
                if (c == ',') {
                    endField();
                } else if (c == '\n') {
                    endRecord();
                } else {
                    field_.text += c;
                }
                break;
            case State::Quoted:
                if (c == '"')
                    state_ = State::QuoteInQuoted;
                else
                    field_.text += c;
                break;
            case State::QuoteInQuoted:
                if (c == '"') {
                    field_.text += '"';
                    state_ = State::Quoted;
                } else if (c == ',') {
                    endField();
                } else if (c == '\n') {
                    endRecord();
                } else {
                    throw Error(
                        "Attenzione ... Dati esportati dal file Access non leggibili "
                        "(virgolette inattese).");
                }
                break;
        }
    }
}

void CsvRecords::finish() {
    if (state_ == State::Quoted)
        throw Error("Attenzione ... Dati esportati dal file Access interrotti a metà di un testo.");
    if (recordStarted_) endRecord();
}

}  // namespace cl::store
