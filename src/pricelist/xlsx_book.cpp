#include "pricelist/xlsx_book.h"

#include <zip.h>

#include <memory>

#include "pricelist/xlsx_cells.h"
#include "pricelist/xml_reader.h"
#include "store/error.h"

namespace cl::pricelist {

namespace {

constexpr zip_uint64_t kMaxPart = 96ull << 20;  // a larger part is not a price list

const char* kDamaged = "Il file non è un .xlsx leggibile: l'archivio è danneggiato o incompleto.";

struct ZipClose {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct FileClose {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

class Package {
  public:
    explicit Package(std::string_view bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (!src) throw Error(kDamaged, ErrorKind::Corrupt);
        zip_t* z = zip_open_from_source(src, ZIP_RDONLY, &error);
        zip_error_fini(&error);
        if (!z) {
            zip_source_free(src);
            throw Error(kDamaged, ErrorKind::Corrupt);
        }
        zip_.reset(z);
    }

    bool has(const std::string& name) const {
        return zip_name_locate(zip_.get(), name.c_str(), 0) >= 0;
    }

    std::string read(const std::string& name) const {
        zip_int64_t index = zip_name_locate(zip_.get(), name.c_str(), 0);
        if (index < 0)
            throw Error("Il file .xlsx è incompleto: manca " + name + ".", ErrorKind::Corrupt);
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_.get(), zip_uint64_t(index), 0, &st) != 0)
            throw Error(kDamaged, ErrorKind::Corrupt);
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            throw Error("Il file .xlsx è protetto da password: salvarlo senza password.",
                        ErrorKind::InvalidInput);
        if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxPart)
            throw Error("Il file .xlsx è troppo grande per essere letto come listino.",
                        ErrorKind::InvalidInput);
        std::unique_ptr<zip_file_t, FileClose> f(
            zip_fopen_index(zip_.get(), zip_uint64_t(index), 0));
        if (!f) throw Error(kDamaged, ErrorKind::Corrupt);
        std::string out;
        char buf[1 << 16];
        zip_int64_t n;
        while ((n = zip_fread(f.get(), buf, sizeof buf)) > 0) {
            out.append(buf, size_t(n));
            if (out.size() > kMaxPart)
                throw Error("Il file .xlsx è troppo grande per essere letto come listino.",
                            ErrorKind::InvalidInput);
        }
        if (n < 0) throw Error(kDamaged, ErrorKind::Corrupt);
        return out;
    }

  private:
    std::unique_ptr<zip_t, ZipClose> zip_;
};

// Relationship id -> target part of a .rels part.
std::map<std::string, std::string> relationships(const std::string& xml, const std::string& part) {
    std::map<std::string, std::string> out;
    XmlHandlers h;
    h.start = [&](const std::string& n, const XmlHandlers::Attributes& a) {
        if (n != "Relationship") return;
        auto id = a.find("Id"), target = a.find("Target");
        if (id != a.end() && target != a.end()) out[id->second] = target->second;
    };
    parseXml(xml, h, part);
    return out;
}

// A target relative to the folder of the part that names it ("xl/").
std::string resolve(const std::string& folder, const std::string& target) {
    if (!target.empty() && target[0] == '/') return target.substr(1);
    return folder + target;
}

struct Workbook {
    std::string part, folder;
    std::vector<std::string> names, targets;
    std::string sharedStrings, styles;  // parts named by the workbook's relationships
    bool date1904 = false;
};

Workbook readWorkbook(const Package& zip) {
    Workbook wb;
    wb.part = "xl/workbook.xml";
    if (zip.has("_rels/.rels")) {
        for (auto& [id, target] : relationships(zip.read("_rels/.rels"), "_rels/.rels"))
            if (target.find("workbook") != std::string::npos) wb.part = resolve("", target);
    }
    if (!zip.has(wb.part))
        throw Error("Il file è un archivio ZIP ma non una cartella di lavoro .xlsx.",
                    ErrorKind::InvalidInput);
    wb.folder = wb.part.substr(0, wb.part.rfind('/') + 1);
    std::string relsPart = wb.folder + "_rels/" + wb.part.substr(wb.folder.size()) + ".rels";
    std::map<std::string, std::string> rels;
    if (zip.has(relsPart)) rels = relationships(zip.read(relsPart), relsPart);
    wb.sharedStrings = wb.folder + "sharedStrings.xml";
    wb.styles = wb.folder + "styles.xml";
    for (const auto& [id, target] : rels) {
        if (target.find("sharedStrings") != std::string::npos)
            wb.sharedStrings = resolve(wb.folder, target);
        else if (target.find("styles") != std::string::npos)
            wb.styles = resolve(wb.folder, target);
    }
    XmlHandlers h;
    h.start = [&](const std::string& n, const XmlHandlers::Attributes& a) {
        if (n == "workbookPr") {
            auto d = a.find("date1904");
            wb.date1904 = d != a.end() && (d->second == "1" || d->second == "true");
        }
        if (n != "sheet") return;
        auto name = a.find("name"), id = a.find("id");
        std::string target;
        if (id != a.end() && rels.count(id->second)) target = resolve(wb.folder, rels[id->second]);
        wb.names.push_back(name == a.end() ? "" : name->second);
        wb.targets.push_back(target);
    };
    parseXml(zip.read(wb.part), h, wb.part);
    return wb;
}

std::string sheetList(const Workbook& wb) {
    std::string out;
    for (size_t i = 0; i < wb.names.size(); ++i)
        out += (i ? ", " : "") + std::to_string(i + 1) + " «" + wb.names[i] + "»";
    return out;
}

}  // namespace

Sheet readXlsx(std::string_view bytes, int sheet) {
    Package zip(bytes);
    Workbook wb = readWorkbook(zip);
    if (wb.names.empty())
        throw Error("La cartella di lavoro .xlsx non contiene fogli.", ErrorKind::InvalidInput);
    if (sheet < 1 || size_t(sheet) > wb.names.size())
        throw Error("Il foglio " + std::to_string(sheet) + " non esiste: la cartella ha " +
                        std::to_string(wb.names.size()) + " fogli (" + sheetList(wb) + ").",
                    ErrorKind::NotFound);
    const std::string& part = wb.targets[size_t(sheet - 1)];
    if (part.empty() || !zip.has(part))
        throw Error("Il foglio " + std::to_string(sheet) + " non è un foglio di lavoro leggibile.",
                    ErrorKind::InvalidInput);
    std::vector<std::string> shared;
    if (zip.has(wb.sharedStrings)) shared = readSharedStrings(zip.read(wb.sharedStrings));
    CellFormats formats;
    if (zip.has(wb.styles)) formats = readCellFormats(zip.read(wb.styles));
    formats.date1904 = wb.date1904;
    Sheet out;
    out.kind = SourceKind::Xlsx;
    out.sheetNames = wb.names;
    out.rows = readSheetCells(zip.read(part), shared, formats);
    return out;
}

}  // namespace cl::pricelist
