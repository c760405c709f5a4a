// The hostile supplier files, generated: nothing here is copied from anywhere.
#include "pricelist/hostile_files.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <stdexcept>

#include "app/ean.h"

namespace cl::test {

namespace fs = std::filesystem;

namespace {

fs::path text(const fs::path& dir, const std::string& name, const std::string& bytes) {
    auto p = dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

// An .xlsx of the parts given (name, XML), stored with deflate as spreadsheets do.
fs::path workbook(const fs::path& dir, const std::string& name,
                  const std::vector<std::pair<std::string, std::string>>& parts) {
    auto p = dir / name;
    int err = 0;
    zip_t* z = zip_open(p.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) throw std::runtime_error("zip_open");
    for (const auto& [part, xml] : parts) {
        // libzip copies nothing: the bytes live until zip_close, so they are kept here.
        auto* copy = new std::string(xml);
        zip_source_t* src = zip_source_buffer(z, copy->data(), copy->size(), 0);
        zip_file_add(z, part.c_str(), src, ZIP_FL_OVERWRITE);
        static std::vector<std::unique_ptr<std::string>> keep;
        keep.emplace_back(copy);
    }
    if (zip_close(z) != 0) throw std::runtime_error("zip_close");
    return p;
}

const char* kContentTypes =
    "<?xml version=\"1.0\"?><Types "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char* kWorkbook =
    "<?xml version=\"1.0\"?><workbook "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Listino\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char* kWorkbookRels =
    "<?xml version=\"1.0\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"sharedStrings.xml\"/></Relationships>";

fs::path sheetWorkbook(const fs::path& dir, const std::string& name, const std::string& sheet,
                       const std::string& shared) {
    return workbook(dir, name,
                    {{"[Content_Types].xml", kContentTypes},
                     {"xl/workbook.xml", kWorkbook},
                     {"xl/_rels/workbook.xml.rels", kWorkbookRels},
                     {"xl/worksheets/sheet1.xml", sheet},
                     {"xl/sharedStrings.xml", shared}});
}

const std::string kSheetOpen =
    "<?xml version=\"1.0\"?><worksheet "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
const std::string kSheetClose = "</sheetData></worksheet>";

// Some KB of zip whose cells all name one long shared string: GB of text once copied.
fs::path sharedStringBomb(const fs::path& dir) {
    std::string sheet = kSheetOpen;
    for (int r = 1; r <= 200000; ++r) {
        sheet += "<row r=\"" + std::to_string(r) + "\">";
        for (int c = 0; c < 5; ++c) sheet += "<c t=\"s\"><v>0</v></c>";
        sheet += "</row>";
    }
    sheet += kSheetClose;
    const std::string shared =
        "<?xml version=\"1.0\"?><sst "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>" +
        std::string(4096, 'A') + "</t></si></sst>";
    return sheetWorkbook(dir, "stringhe_condivise.xlsx", sheet, shared);
}

// A sheet part that inflates to far more than any price list.
fs::path zipBomb(const fs::path& dir) {
    std::string sheet = kSheetOpen + "<row r=\"1\"><c t=\"inlineStr\"><is><t>";
    sheet += std::string(200u << 20, ' ');
    sheet += "</t></is></c></row>" + kSheetClose;
    return sheetWorkbook(dir, "bomba.xlsx", sheet, "<sst/>");
}

fs::path badXml(const fs::path& dir) {
    return sheetWorkbook(dir, "xml_rotto.xlsx", kSheetOpen + "<row><c><v>1</c></row>", "<sst/>");
}

std::string eanOf(long long n) {
    std::string twelve = std::to_string(800000000000LL + n % 100000000000LL);
    return app::ean13(twelve);
}

}  // namespace

fs::path writeBigCsv(const fs::path& file, long long rows) {
    std::ofstream out(file, std::ios::binary);
    out << "EAN;Codice;Descrizione;Costo;IVA\n";
    for (long long i = 0; i < rows; ++i)
        out << eanOf(i) << ";C" << i << ";ARTICOLO " << i << ";" << (i % 900) + 1 << ","
            << (i % 100 < 10 ? "0" : "") << i % 100 << ";22\n";
    return file;
}

std::vector<HostileFile> hostileFiles() {
    return {
        {"EAN con cifra di controllo sbagliata, 11 cifre, esponente",
         [](const fs::path& d) {
             return text(d, "ean.csv",
                         "EAN;Codice;Costo\n8001234567890;A1;1,00\n80012345678;A2;1,00\n"
                         "8.01235E+12;A3;1,00\n");
         }},
        {"IVA assente o illeggibile",
         [](const fs::path& d) {
             return text(d, "iva.csv", "Codice;Costo;IVA\nA1;1,00;esente\nA2;1,00;IVA 22\n");
         }},
        {"righe ripetute con costi diversi",
         [](const fs::path& d) {
             return text(d, "doppie.csv", "Codice;Costo\nA1;1,00\nA1;7,24\n");
         }},
        {"virgole decimali in un file separato da virgole",
         [](const fs::path& d) {
             return text(d, "virgole.csv", "Codice,Costo,IVA\nA1,1,50,22\nA2,2,75,22\n");
         }},
        {"virgolette non chiuse",
         [](const fs::path& d) {
             return text(d, "virgolette.csv", "Codice;Descrizione;Costo\nA1;\"PASTA;1,00\n");
         }},
        {"importi ambigui",
         [](const fs::path& d) {
             return text(d, "mille.csv", "Codice;Costo\nA1;1.250\nA2;2.750\n");
         }},
        {"30 MB di separatori",
         [](const fs::path& d) { return text(d, "separatori.csv", std::string(30u << 20, ';')); }},
        {"celle di 1 MB",
         [](const fs::path& d) {
             std::string big(1u << 20, 'X');
             return text(d, "celle.csv",
                         "Codice;Descrizione;Costo\nA1;" + big + ";1,00\n" + big + ";B;2,00\n");
         }},
        {"dati binari",
         [](const fs::path& d) {
             return text(d, "binario.csv",
                         std::string("\x01\x00\xff\xfe", 4) + std::string(5000, '\0'));
         }},
        {"file vuoto", [](const fs::path& d) { return text(d, "vuoto.csv", ""); }},
        {"cartella", [](const fs::path& d) { return d; }},
        {"coda FIFO",
         [](const fs::path& d) {
             auto p = d / "coda.csv";
             mkfifo(p.c_str(), 0600);
             return p;
         }},
        {"/dev/zero", [](const fs::path&) { return fs::path("/dev/zero"); }},
        {".xlsx con stringhe condivise moltiplicate", sharedStringBomb},
        {".xlsx che si espande oltre misura", zipBomb},
        {".xlsx con XML non ben formato", badXml},
    };
}

}  // namespace cl::test
