#include "pricelist/xml_reader.h"

#include <expat.h>

#include <algorithm>
#include <exception>
#include <memory>

#include "store/error.h"

namespace cl::pricelist {

namespace {

std::string localName(const char* name) {
    std::string s(name);
    auto colon = s.rfind(':');
    return colon == std::string::npos ? s : s.substr(colon + 1);
}

// A handler's exception must not cross expat's C frames: it stops the parser and is thrown
// again once XML_Parse has returned.
struct Context {
    const XmlHandlers* handlers;
    XML_Parser parser;
    std::exception_ptr error;
};

template <typename F>
void guarded(void* data, F&& f) {
    auto* ctx = static_cast<Context*>(data);
    if (ctx->error) return;
    try {
        f(*ctx->handlers);
    } catch (...) {
        ctx->error = std::current_exception();
        XML_StopParser(ctx->parser, XML_FALSE);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
    guarded(data, [&](const XmlHandlers& h) {
        if (!h.start) return;
        XmlHandlers::Attributes a;
        for (int i = 0; atts[i] && atts[i + 1]; i += 2) a[localName(atts[i])] = atts[i + 1];
        h.start(localName(name), a);
    });
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](const XmlHandlers& h) {
        if (h.end) h.end(localName(name));
    });
}

void XMLCALL onText(void* data, const XML_Char* s, int len) {
    guarded(data, [&](const XmlHandlers& h) {
        if (h.text) h.text(std::string_view(s, size_t(len)));
    });
}

// expat's own texts are English: the operator reads what went wrong in Italian.
std::string italianXmlError(XML_Error code) {
    switch (code) {
        case XML_ERROR_NO_MEMORY:
            return "memoria insufficiente";
        case XML_ERROR_SYNTAX:
            return "errore di sintassi";
        case XML_ERROR_NO_ELEMENTS:
            return "nessun elemento";
        case XML_ERROR_INVALID_TOKEN:
            return "testo non ben formato";
        case XML_ERROR_UNCLOSED_TOKEN:
        case XML_ERROR_PARTIAL_CHAR:
            return "il testo finisce a metà";
        case XML_ERROR_TAG_MISMATCH:
            return "un elemento chiuso con un altro nome";
        case XML_ERROR_DUPLICATE_ATTRIBUTE:
            return "un attributo ripetuto";
        case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
            return "testo dopo la fine del documento";
        case XML_ERROR_UNDEFINED_ENTITY:
        case XML_ERROR_RECURSIVE_ENTITY_REF:
            return "un'entità non definita o ricorsiva";
        case XML_ERROR_UNKNOWN_ENCODING:
        case XML_ERROR_INCORRECT_ENCODING:
            return "codifica dei caratteri non valida";
        case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
            return "entità che si moltiplicano oltre ogni misura";
        default:
            return "XML non valido (errore " + std::to_string(int(code)) + ")";
    }
}

struct ParserFree {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

}  // namespace

void parseXml(std::string_view xml, const XmlHandlers& handlers, const std::string& part) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate("UTF-8"));
    if (!parser) throw Error("Memoria insufficiente per leggere il file .xlsx.");
    XML_Parser p = parser.get();
    Context ctx{&handlers, p, nullptr};
    XML_SetUserData(p, &ctx);
    XML_SetElementHandler(p, onStart, onEnd);
    XML_SetCharacterDataHandler(p, onText);
    // Fed in pieces: expat takes an int length.
    constexpr size_t kPiece = 1 << 24;
    size_t at = 0;
    do {
        size_t n = std::min(kPiece, xml.size() - at);
        bool last = at + n == xml.size();
        auto status = XML_Parse(p, xml.data() + at, int(n), last);
        if (ctx.error) std::rethrow_exception(ctx.error);
        if (status == XML_STATUS_ERROR)
            throw Error("Il file .xlsx è danneggiato: XML non valido in " + part + " (riga " +
                            std::to_string(XML_GetCurrentLineNumber(p)) + ": " +
                            italianXmlError(XML_GetErrorCode(p)) + ").",
                        ErrorKind::Corrupt);
        at += n;
    } while (at < xml.size());
}

}  // namespace cl::pricelist
