#include "store/text_fold.h"

#include <sqlite3.h>
#include <unicode/stringoptions.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <vector>

namespace cl::store {

namespace {

constexpr const char* kFoldFunction = "cl_piega";

void foldFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string folded =
        foldCase(std::string(text, static_cast<size_t>(sqlite3_value_bytes(argv[0]))));
    sqlite3_result_text(ctx, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

std::string foldCase(const std::string& utf8) {
    if (utf8.empty()) return utf8;
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return utf8;
    std::vector<UChar> wide(static_cast<size_t>(length) + 1);
    status = U_ZERO_ERROR;
    u_strFromUTF8(wide.data(), length + 1, nullptr, utf8.data(), static_cast<int32_t>(utf8.size()),
                  &status);
    if (U_FAILURE(status)) return utf8;
    // Full folding may lengthen a text ("ß" becomes "ss"): at most three units per unit.
    std::vector<UChar> folded(static_cast<size_t>(length) * 3 + 1);
    int32_t foldedLength = u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()),
                                         wide.data(), length, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) return utf8;
    std::string out(static_cast<size_t>(foldedLength) * 3 + 1, '\0');
    int32_t outLength = 0;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &outLength, folded.data(),
                foldedLength, &status);
    if (U_FAILURE(status)) return utf8;
    out.resize(static_cast<size_t>(outLength));
    return out;
}

std::string foldedLikeSql(const std::string& expression) {
    return std::string(kFoldFunction) + "(" + expression + ") LIKE " + kFoldFunction +
           "(?) ESCAPE '\\'";
}

void registerTextFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, kFoldFunction, 1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               foldFunction, nullptr, nullptr, nullptr);
}

}  // namespace cl::store
