#include "exports/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cstdlib>
#include <map>

#include "store/error.h"

namespace cl::exports {

namespace {

const char* numberFormat(CellKind kind) {
    switch (kind) {
        case CellKind::Integer:
            return "0";
        case CellKind::Decimal:
            return "#,##0.###";
        case CellKind::Money2:
            return "#,##0.00";
        case CellKind::Money4:
            return "#,##0.0000";
        case CellKind::Percent2:
            return "0.00%";
        case CellKind::Percent4:
            return "0.0000%";
        case CellKind::Date:
            return "dd/mm/yyyy";
        case CellKind::DateTime:
            return "dd/mm/yyyy hh:mm:ss";
        case CellKind::Text:
            break;
    }
    return "@";
}

bool isPercent(CellKind k) {
    return k == CellKind::Percent2 || k == CellKind::Percent4;
}

// "2026-12-08" or "2026-12-08 09:14:03" (also with a "T"); false for anything else.
bool parseDate(const std::string& s, lxw_datetime& out) {
    auto digits = [&](size_t from, size_t n, int& v) {
        if (s.size() < from + n) return false;
        v = 0;
        for (size_t i = from; i < from + n; ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            v = v * 10 + (s[i] - '0');
        }
        return true;
    };
    int y, m, d, hh = 0, mm = 0, ss = 0;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-' || !digits(0, 4, y) || !digits(5, 2, m) ||
        !digits(8, 2, d) || m < 1 || m > 12 || d < 1 || d > 31 || y < 1900)
        return false;
    if (s.size() > 10) {
        if (s.size() < 19 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':' ||
            !digits(11, 2, hh) || !digits(14, 2, mm) || !digits(17, 2, ss) || hh > 23 || mm > 59 ||
            ss > 59)
            return false;
    }
    out = {y, m, d, hh, mm, static_cast<double>(ss)};
    return true;
}

struct Workbook {
    lxw_workbook* book;
    explicit Workbook(const std::string& file) : book(workbook_new(file.c_str())) {}
    ~Workbook() {
        if (book) workbook_close(book);
    }
    lxw_error close() {
        lxw_error rc = workbook_close(book);
        book = nullptr;
        return rc;
    }
};

void writeSheet(lxw_workbook* book, const Sheet& sheet, lxw_format* heading,
                std::map<CellKind, lxw_format*>& formats) {
    lxw_worksheet* ws = workbook_add_worksheet(book, sheet.name.substr(0, 31).c_str());
    if (!ws) throw Error("Attenzione ... Impossibile creare il foglio " + sheet.name + ".");
    for (size_t c = 0; c < sheet.columns.size(); ++c) {
        const auto& col = sheet.columns[c];
        auto cc = static_cast<lxw_col_t>(c);
        worksheet_set_column(ws, cc, cc, col.width, formats[col.kind]);
        worksheet_write_string(ws, 0, cc, col.heading.c_str(), heading);
    }
    worksheet_freeze_panes(ws, 1, 0);
    for (size_t r = 0; r < sheet.rows.size(); ++r) {
        auto rr = static_cast<lxw_row_t>(r + 1);
        for (size_t c = 0; c < sheet.rows[r].size() && c < sheet.columns.size(); ++c) {
            const Cell& cell = sheet.rows[r][c];
            const CellKind kind = sheet.columns[c].kind;
            lxw_format* f = formats[kind];
            auto cc = static_cast<lxw_col_t>(c);
            if (const double* n = std::get_if<double>(&cell)) {
                worksheet_write_number(ws, rr, cc, isPercent(kind) ? *n / 100 : *n, f);
            } else if (const std::string* s = std::get_if<std::string>(&cell)) {
                lxw_datetime dt;
                if ((kind == CellKind::Date || kind == CellKind::DateTime) && parseDate(*s, dt))
                    worksheet_write_datetime(ws, rr, cc, &dt, f);
                else if (!s->empty())
                    // Always a string cell: a text beginning with "=" is never a formula.
                    worksheet_write_string(ws, rr, cc, s->c_str(), formats[CellKind::Text]);
            }
        }
    }
    if (!sheet.columns.empty())
        worksheet_autofilter(ws, 0, 0, static_cast<lxw_row_t>(sheet.rows.size()),
                             static_cast<lxw_col_t>(sheet.columns.size() - 1));
}

}  // namespace

Cell numberCell(const std::string& plain) {
    if (plain.empty()) return std::monostate{};
    char* end = nullptr;
    double v = std::strtod(plain.c_str(), &end);
    if (end && *end == '\0' && plain.find_first_of("xXnN") == std::string::npos) return v;
    return plain;
}

void writeXlsx(const std::filesystem::path& file, const std::vector<Sheet>& sheets) {
    const std::filesystem::path part = file.string() + ".part";
    std::error_code ec;
    const auto folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (!std::filesystem::is_directory(folder, ec))
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() +
                        ": la cartella non esiste.",
                    ErrorKind::NotFound);
    std::filesystem::remove(part, ec);
    lxw_error rc = LXW_ERROR_CREATING_XLSX_FILE;
    try {
        Workbook wb(part.string());
        if (!wb.book)
            throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ".",
                        ErrorKind::ReadOnly);
        lxw_format* heading = workbook_add_format(wb.book);
        format_set_bold(heading);
        format_set_bottom(heading, LXW_BORDER_THIN);
        format_set_text_wrap(heading);
        format_set_align(heading, LXW_ALIGN_VERTICAL_TOP);
        std::map<CellKind, lxw_format*> formats;
        for (CellKind k : {CellKind::Text, CellKind::Integer, CellKind::Decimal, CellKind::Money2,
                           CellKind::Money4, CellKind::Percent2, CellKind::Percent4, CellKind::Date,
                           CellKind::DateTime}) {
            formats[k] = workbook_add_format(wb.book);
            format_set_num_format(formats[k], numberFormat(k));
        }
        for (const auto& s : sheets) writeSheet(wb.book, s, heading, formats);
        rc = wb.close();
    } catch (...) {
        std::filesystem::remove(part, ec);
        throw;
    }
    if (rc != LXW_NO_ERROR) {
        std::filesystem::remove(part, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + " (" +
                        lxw_strerror(rc) + ").",
                    ErrorKind::ReadOnly);
    }
    std::filesystem::rename(part, file, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ".",
                    ErrorKind::ReadOnly);
    }
}

}  // namespace cl::exports
