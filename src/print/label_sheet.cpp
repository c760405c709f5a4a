#include "print/label_sheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "labels/barcode.h"
#include "labels/label_face.h"
#include "print/pdf_file.h"
#include "print/qt_printer.h"
#include "store/error.h"

namespace cl::print {

// The label faces and layouts are the labels folder's; this file only paints them.
using namespace labels;

namespace {

constexpr double kPointMm = 25.4 / 72.0;

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Draws in millimetres from the paper's top-left corner.
class FacePainter {
  public:
    FacePainter(QPainter& painter, QPagedPaintDevice& printer)
        : p_(painter), printer_(printer), dpmm_(printer.logicalDpiX() / 25.4) {}

    void draw(const LabelFace& face, double x0, double y0, double w, double h, bool outline) {
        x0_ = x0;
        y0_ = y0;
        auto symbol = face.barcode.empty() ? std::nullopt : eanSymbol(face.barcode);
        FaceBoxes b = faceBoxes(w, h, symbol.has_value(), !face.offerLine.empty());
        if (outline) {
            p_.setPen(QPen(QColor(190, 190, 190), 0));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(rect({0, 0, w, h}));
        }
        auto fitted = fitText(face.description, b.description, 11, 6, measure(true));
        for (size_t i = 0; i < fitted.lines.size(); ++i)
            text(fitted.lines[i], b.description.x,
                 b.description.y + static_cast<double>(i) * lineHeight(fitted.points),
                 fitted.points, true);
        oneLine(face.price, b.price, b.price.height / kPointMm * 0.8, 8, true);
        oneLine(face.unitLine, b.unitLine, 12, 5, false);
        offer(face.offerLine, face.offerUnitLine, b.offerLine);
        if (symbol) barcode(*symbol, b.barcode);
        if (!face.codeLine.empty()) oneLine(face.codeLine, b.codeLine, 8, 5, false);
    }

  private:
    QRectF rect(const Box& b) const {
        return {(x0_ + b.x) * dpmm_, (y0_ + b.y) * dpmm_, b.width * dpmm_, b.height * dpmm_};
    }
    QFont font(double points, bool bold) const {
        QFont f;
        f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                       QStringLiteral("Helvetica")});
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    Measure measure(bool bold) const {
        return [this, bold](const std::string& s, double pt) {
            return QFontMetricsF(font(pt, bold), &printer_).horizontalAdvance(qs(s)) / dpmm_;
        };
    }
    // Text with its top at y (millimetres on the label).
    void text(const std::string& s, double x, double y, double pt, bool bold,
              QColor colour = Qt::black) {
        QFont f = font(pt, bold);
        p_.setFont(f);
        p_.setPen(colour);
        QFontMetricsF fm(f, &printer_);
        p_.drawText(QPointF((x0_ + x) * dpmm_, (y0_ + y) * dpmm_ + fm.ascent()), qs(s));
    }
    void oneLine(const std::string& s, const Box& box, double maxPt, double minPt, bool bold) {
        if (s.empty()) return;
        double pt = fitOneLine(s, box.width, maxPt, minPt, measure(bold));
        pt = std::min(pt, box.height / (kPointMm * 1.15));
        text(s, box.x, box.y, pt, bold);
    }
    // The offer stands out, white on black, with its price per reference unit below.
    void offer(const std::string& s, const std::string& unit, const Box& box) {
        if (s.empty()) return;
        const double bandHeight = unit.empty() ? box.height : box.height * 0.62;
        double pt = fitOneLine(s, box.width - 2, 14, 5, measure(true));
        pt = std::min(pt, (bandHeight - 0.8) / (kPointMm * 1.15));
        double textWidth = measure(true)(s, pt);
        Box band{box.x, box.y + 0.2, std::min(box.width, textWidth + 2), lineHeight(pt) + 0.6};
        p_.fillRect(rect(band), Qt::black);
        text(s, box.x + 1, box.y + 0.5, pt, true, Qt::white);
        oneLine(unit,
                Box{box.x, band.bottom() + 0.2, box.width, box.bottom() - band.bottom() - 0.2}, 9,
                5, false);
    }
    void barcode(const BarcodeSymbol& sym, const Box& box) {
        double scale = std::min(box.width / sym.width, box.height / sym.height);
        double left = box.x + (box.width - sym.width * scale) / 2;
        p_.setPen(Qt::NoPen);
        p_.setBrush(Qt::black);
        for (const auto& bar : sym.bars)
            p_.drawRect(rect({left + bar.x * scale, box.y + bar.y * scale, bar.width * scale,
                              bar.height * scale}));
        p_.setBrush(Qt::NoBrush);
        for (const auto& t : sym.texts) {
            QFont f = font(t.size * scale / kPointMm, false);
            p_.setFont(f);
            p_.setPen(Qt::black);
            QFontMetricsF fm(f, &printer_);
            double width = fm.horizontalAdvance(qs(t.text));
            double x = (x0_ + left + t.x * scale) * dpmm_;
            if (t.align == 0) x -= width / 2;
            if (t.align == 2) x -= width;
            p_.drawText(QPointF(x, (y0_ + box.y + t.y * scale) * dpmm_), qs(t.text));
        }
    }

    QPainter& p_;
    QPagedPaintDevice& printer_;
    double dpmm_;
    double x0_ = 0, y0_ = 0;
};

}  // namespace

void setLabelPage(QPagedPaintDevice& device, const LabelLayout& layout) {
    if (layout.table) return setReportPage(device);
    QPageSize size(QSizeF(layout.pageWidth, layout.pageHeight), QPageSize::Millimeter,
                   qs(layout.title), QPageSize::ExactMatch);
    QPageLayout page(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    page.setMode(QPageLayout::FullPageMode);
    device.setPageLayout(page);
}

void prepareLabelPrinter(QPrinter& printer, const LabelLayout& layout) {
    printer.setCreator(QStringLiteral("Controllo Listino"));
    if (layout.table) {
        prepareReportPrinter(printer, QStringLiteral("Etichette da ristampare"));
        return;
    }
    printer.setDocName(QStringLiteral("Etichette da ristampare"));
    setLabelPage(printer, layout);
    printer.setFullPage(true);
}

void drawLabels(QPagedPaintDevice& printer, const LabelLayout& layout,
                const history::LabelList& list, int copies) {
    if (layout.table) {
        QtPrinter out(printer);
        history::printLabelList(list, out);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error("Attenzione ... Impossibile avviare la stampa delle etichette.");
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Sheets of several labels get a faint outline to cut along; a roll is already cut.
    const bool outline = layout.perPage() > 1;
    FacePainter face(painter, printer);
    int page = 0;
    for (const auto& slot : placeLabels(layout, list.labels.size(), copies)) {
        if (slot.page != page) {
            if (!printer.newPage())
                throw Error("Attenzione ... Impossibile iniziare una nuova pagina.");
            page = slot.page;
        }
        face.draw(faceOf(list.labels[slot.label]), slot.x, slot.y, layout.labelWidth,
                  layout.labelHeight, outline);
    }
    if (!painter.end()) throw Error("Attenzione ... La stampa non è stata completata.");
}

void writeLabelsPdf(const history::LabelList& list, const std::string& file,
                    const std::string& layoutName, int copies) {
    const LabelLayout& layout = findLayout(layoutName);
    writePdf(
        file, QStringLiteral("Etichette da ristampare"),
        [&](QPagedPaintDevice& device) { setLabelPage(device, layout); },
        [&](QPagedPaintDevice& device) { drawLabels(device, layout, list, copies); });
}

}  // namespace cl::print
