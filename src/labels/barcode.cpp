#include "labels/barcode.h"

#include <zint.h>

#include <memory>

namespace cl::labels {

std::optional<BarcodeSymbol> eanSymbol(const std::string& code) {
    if (code.size() != 13 && code.size() != 8) return std::nullopt;
    for (char c : code)
        if (c < '0' || c > '9') return std::nullopt;
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) return std::nullopt;
    symbol->symbology = BARCODE_EANX_CHK;  // the last digit is the check digit, verified
    symbol->show_hrt = 1;
    const int rc = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(code.data()),
        static_cast<int>(code.size()), 0);
    if (rc >= ZINT_ERROR || !symbol->vector) return std::nullopt;
    BarcodeSymbol out;
    out.width = symbol->vector->width;
    out.height = symbol->vector->height;
    for (auto* r = symbol->vector->rectangles; r; r = r->next)
        if (r->colour == -1 || r->colour == 7)
            out.bars.push_back({r->x, r->y, r->width, r->height});
    for (auto* s = symbol->vector->strings; s; s = s->next)
        out.texts.push_back(
            {s->x, s->y, s->fsize,
             std::string(reinterpret_cast<const char*>(s->text), static_cast<size_t>(s->length)),
             s->halign});
    return out;
}

}  // namespace cl::labels
