#include "pricelist/csv_sheet.h"

#include <map>

#include "store/error.h"

namespace cl::pricelist {

namespace {

constexpr size_t kMaxFields = 1000;

// How many times each candidate splits each of the first lines, outside quotes.
std::map<char, std::vector<int>> countsPerLine(std::string_view text, int maxLines) {
    std::map<char, std::vector<int>> counts{{';', {}}, {'\t', {}}, {',', {}}};
    std::map<char, int> line{{';', 0}, {'\t', 0}, {',', 0}};
    bool quoted = false, any = false;
    int lines = 0;
    auto endLine = [&] {
        if (any)
            for (auto& [c, n] : line) counts[c].push_back(n);
        for (auto& [c, n] : line) n = 0;
        any = false;
        ++lines;
    };
    for (size_t i = 0; i < text.size() && lines < maxLines; ++i) {
        char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') {
            endLine();
            continue;
        }
        if (c != '\r' && c != ' ') any = true;
        if (line.count(c)) ++line[c];
    }
    endLine();
    return counts;
}

}  // namespace

char detectDelimiter(std::string_view text) {
    char best = ';';
    int bestScore = 0;
    for (auto& [c, perLine] : countsPerLine(text, 60)) {
        std::map<int, int> freq;
        for (int n : perLine)
            if (n > 0) ++freq[n];
        int score = 0;
        for (auto& [n, f] : freq) score = std::max(score, f);
        // Ties go to ";" (Italian spreadsheets), then tab, then ",".
        int rank = c == ';' ? 2 : c == '\t' ? 1 : 0;
        int bestRank = best == ';' ? 2 : best == '\t' ? 1 : 0;
        if (score > bestScore || (score == bestScore && score > 0 && rank > bestRank)) {
            best = c;
            bestScore = score;
        }
    }
    return best;
}

Sheet readCsv(std::string_view text) {
    Sheet sheet;
    sheet.kind = SourceKind::Csv;
    sheet.delimiter = detectDelimiter(text);
    forEachCsvRow(text, sheet.delimiter,
                  [&](SheetRow&& row) { sheet.rows.push_back(std::move(row)); });
    return sheet;
}

void forEachCsvRow(std::string_view text, char d, const std::function<void(SheetRow&&)>& take) {
    SheetRow row;
    std::string field;
    long long line = 1, quoteLine = 0;
    row.line = 1;
    bool quoted = false, wasQuoted = false;
    auto endField = [&] {
        // A line of thousands of separators is no price list; kept, it would take gigabytes.
        if (row.cells.size() == kMaxFields)
            throw Error("La riga " + std::to_string(row.line) + " ha più di " +
                            std::to_string(kMaxFields) +
                            " campi: il file non è un listino, o il separatore è sbagliato.",
                        ErrorKind::InvalidInput);
        Cell cell;
        cell.text = wasQuoted ? field : trimBlanks(field);
        // A quoted field keeps its text, but blanks outside the quotes never count.
        if (wasQuoted) cell.text = trimBlanks(cell.text);
        row.cells.push_back(std::move(cell));
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (!row.empty()) take(std::move(row));
        row = SheetRow{};
        row.line = line;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && trimBlanks(field).empty()) {
            quoted = wasQuoted = true;
            quoteLine = line;
            field.clear();
        } else if (c == d) {
            endField();
        } else if (c == '\n') {
            ++line;
            endRow();
        } else if (c != '\r') {
            field += c;
        }
    }
    // Read to the end, the open quote would swallow every row after it without a word.
    if (quoted)
        throw Error("Virgolette non chiuse: il campo che inizia alla riga " +
                        std::to_string(quoteLine) +
                        " non finisce. Correggere il file (ogni \" aperto va chiuso).",
                    ErrorKind::InvalidInput);
    if (!field.empty() || !row.cells.empty() || wasQuoted) endRow();
}

}  // namespace cl::pricelist
