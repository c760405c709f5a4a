// Recognising the kind of a supplier's file and reading it into rows.
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>

#include "app/italian_errors.h"
#include "pricelist/csv_sheet.h"
#include "pricelist/price_list.h"
#include "pricelist/text_encoding.h"
#include "pricelist/xlsx_book.h"
#include "store/error.h"

namespace cl::pricelist {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 160ull << 20;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// An OLE2 compound file: an Excel 97-2003 workbook, or an .xlsx encrypted with a password
// (its "EncryptionInfo" stream is named in UTF-16).
[[noreturn]] void refuseCompound(std::string_view bytes) {
    const std::string_view marker("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o", 28);
    if (bytes.find(marker) != std::string_view::npos)
        throw Error(
            "Il file è protetto da password (cifrato): aprirlo con Excel e salvarlo senza "
            "password, come .xlsx o CSV.",
            ErrorKind::InvalidInput);
    throw Error(
        "Il file è nel vecchio formato Excel 97-2003 (.xls), che non si legge: salvarlo come "
        ".xlsx o CSV.",
        ErrorKind::InvalidInput);
}

}  // namespace

Sheet readPriceListBytes(std::string_view bytes, std::optional<int> sheet) {
    if (bytes.empty()) throw Error("Il file è vuoto.", ErrorKind::InvalidInput);
    if (startsWith(bytes, "PK\x03\x04") || startsWith(bytes, "PK\x05\x06"))
        return readXlsx(bytes, sheet.value_or(1));
    if (startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) refuseCompound(bytes);
    if (startsWith(bytes, "%PDF"))
        throw Error("Il file è un PDF: serve il listino in formato .xlsx o CSV.",
                    ErrorKind::InvalidInput);
    bool utf16 = startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF");
    if (!utf16 && bytes.substr(0, 4096).find('\0') != std::string_view::npos)
        throw Error("Formato del file non riconosciuto: serve un listino .xlsx o CSV.",
                    ErrorKind::InvalidInput);
    if (sheet && *sheet != 1)
        throw Error("Il file è un CSV, con un solo foglio: --sheet vale solo per i file .xlsx.",
                    ErrorKind::InvalidInput);
    Sheet s = readCsv(toUtf8(bytes));
    if (s.rows.empty()) throw Error("Il file non contiene righe.", ErrorKind::InvalidInput);
    return s;
}

namespace {

std::string fileBytes(const std::filesystem::path& file) {
    // Only a regular file of a price list's size is read: a folder, a FIFO or a device such as
    // /dev/zero would never end, or never be a list.
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status))
        throw Error("Impossibile aprire il file " + file.string() +
                        (ec && ec.value() != ENOENT ? ": " + systemErrorText(ec.value()) : "") +
                        ".",
                    ErrorKind::NotFound);
    if (std::filesystem::is_directory(status))
        throw Error(file.string() + " è una cartella: indicare il file del listino.",
                    ErrorKind::InvalidInput);
    if (!std::filesystem::is_regular_file(status))
        throw Error(file.string() +
                        " non è un file normale (è un dispositivo o una coda): "
                        "indicare il file del listino.",
                    ErrorKind::InvalidInput);
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size > kMaxFileBytes)
        throw Error("Il file " + file.string() + " è troppo grande per un listino (oltre " +
                        std::to_string(kMaxFileBytes >> 20) + " MB).",
                    ErrorKind::InvalidInput);
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Error("Impossibile aprire il file " + file.string() + ".", ErrorKind::NotFound);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("Errore di lettura del file " + file.string() + ".");
    return bytes;
}

// A CSV text, or a kind readPriceListBytes() reads or refuses.
bool isCsvText(std::string_view bytes) {
    if (bytes.empty() || startsWith(bytes, "PK\x03\x04") || startsWith(bytes, "PK\x05\x06") ||
        startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || startsWith(bytes, "%PDF"))
        return false;
    bool utf16 = startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF");
    return utf16 || bytes.substr(0, 4096).find('\0') == std::string_view::npos;
}

}  // namespace

Sheet readPriceListFile(const std::filesystem::path& file, std::optional<int> sheet) {
    return readPriceListBytes(fileBytes(file), sheet);
}

PriceList readPriceListRows(const std::filesystem::path& file,
                            const std::optional<std::string>& columns,
                            std::optional<NumberStyle> decimal, std::optional<int> sheet) {
    std::string text = fileBytes(file);
    if (!isCsvText(text) || (sheet && *sheet != 1)) {
        Sheet s = readPriceListBytes(text, sheet);
        text = std::string();
        ColumnMap map = columnsFor(s, columns);
        map.decimal = decimal;
        return extractRows(s, map);
    }
    text = toUtf8(text);
    // First pass: the rows where the headings are sought, and what every later row's amounts
    // say of their style.
    Sheet head;
    head.kind = SourceKind::Csv;
    head.delimiter = detectDelimiter(text);
    AmountEvidence later;
    size_t index = 0;
    forEachCsvRow(text, head.delimiter, [&](SheetRow&& row) {
        if (index++ < kHeadingSearch)
            head.rows.push_back(std::move(row));
        else
            later.add(row);
    });
    if (head.rows.empty()) throw Error("Il file non contiene righe.", ErrorKind::InvalidInput);
    ColumnMap map = columnsFor(head, columns);
    map.decimal = decimal;
    const size_t first = map.headingRow ? *map.headingRow + 1 : 0;
    AmountEvidence evidence;
    for (size_t i = first; i < head.rows.size(); ++i) evidence.add(head.rows[i]);
    evidence.merge(later);
    // Second pass: each row read into an article as it comes.
    RowExtractor rows(head, map, evidence);
    rows.expect(index - std::min(first, index));
    index = 0;
    forEachCsvRow(text, head.delimiter, [&](SheetRow&& row) {
        if (index++ >= first) rows.add(row);
    });
    std::string().swap(text);  // the rows are all read: the text goes before they are sorted
    return rows.finish();
}

ColumnMap columnsFor(const Sheet& sheet, const std::optional<std::string>& spec) {
    if (spec) return resolveColumns(sheet, parseColumnSpec(*spec));
    auto guessed = guessColumns(sheet);
    if (!guessed)
        throw Error(
            "Riga di intestazione non trovata: nessuna delle prime righe nomina il costo e il "
            "codice fornitore o l'EAN. Indicare le colonne (--columns, o dalla finestra delle "
            "colonne).",
            ErrorKind::InvalidInput);
    return *guessed;
}

}  // namespace cl::pricelist
