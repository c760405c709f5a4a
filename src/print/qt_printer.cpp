#include "print/qt_printer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QPrinter>
#include <algorithm>

#include "store/error.h"

namespace cl::print {

namespace {

// A "printer pixel" is taken as a dot of a 300 dpi printer, so that the heading's 3-pixel
// frames look the same on a 1200 dpi printer, in the preview and in a PDF.
constexpr double kPrinterPixelDpi = 300.0;

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void setReportPage(QPagedPaintDevice& device) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

void prepareReportPrinter(QPrinter& printer, const QString& documentName) {
    setReportPage(printer);
    printer.setDocName(documentName);
    printer.setCreator(QStringLiteral("Controllo Listino"));
}

QtPrinter::QtPrinter(QPagedPaintDevice& printer) : printer_(printer) {
    if (!painter_.begin(&printer_)) {
        auto* onPrinter = dynamic_cast<QPrinter*>(&printer_);
        const QString file = onPrinter ? onPrinter->outputFileName() : QString();
        throw Error("Attenzione ... Impossibile avviare la stampa" +
                    (file.isEmpty() ? std::string(".") : " sul file " + file.toStdString() + "."));
    }
    // The printer's own font until the report sets one: the report font at row size.
    font_.setPointSizeF(8);
    applyFont();
    setLineWidth(1);
    painter_.setBrush(Qt::NoBrush);
}

QtPrinter::~QtPrinter() {
    if (!ended_ && painter_.isActive()) painter_.end();
}

void QtPrinter::setScale(double width, double height) {
    if (width > 0 && height > 0) {
        scaleWidth_ = width;
        scaleHeight_ = height;
    }
}

QPointF QtPrinter::device(double x, double y) const {
    return {x * printer_.width() / scaleWidth_, y * printer_.height() / scaleHeight_};
}

void QtPrinter::setPos(double x, double y) {
    x_ = x;
    y_ = y;
}

void QtPrinter::applyFont() {
    // A missing "times new roman" falls back on its metric twin, so widths stay as designed.
    font_.setFamilies({fontName_, QStringLiteral("Times New Roman"),
                       QStringLiteral("Liberation Serif"), QStringLiteral("Times")});
    painter_.setFont(font_);
}

void QtPrinter::setFontName(const std::string& name) {
    fontName_ = fromUtf8(name);
    applyFont();
}

void QtPrinter::setFontSize(double points) {
    if (points > 0) font_.setPointSizeF(points);
    applyFont();
}

void QtPrinter::setBold(bool bold) {
    font_.setBold(bold);
    applyFont();
}

void QtPrinter::setLineWidth(int pixels) {
    const double dots = std::max(1.0, printer_.logicalDpiX() / kPrinterPixelDpi);
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1, pixels) * dots);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
}

void QtPrinter::rect(double x1, double y1, double x2, double y2) {
    painter_.drawRect(QRectF(device(x1, y1), device(x2, y2)).normalized());
}

QFontMetricsF QtPrinter::metrics() const {
    return QFontMetricsF(font_, &printer_);
}

void QtPrinter::print(const std::string& text, bool lineEnd) {
    const QFontMetricsF fm = metrics();
    const QString s = fromUtf8(text);
    if (!s.isEmpty()) {
        const QPointF at = device(x_, y_);
        painter_.drawText(QPointF(at.x(), at.y() + fm.ascent()), s);
    }
    if (lineEnd) {
        x_ = 0;
        y_ += fm.lineSpacing() * scaleHeight_ / printer_.height();
    } else {
        x_ += fm.horizontalAdvance(s) * scaleWidth_ / printer_.width();
    }
}

void QtPrinter::newPage() {
    if (!printer_.newPage()) throw Error("Attenzione ... Impossibile iniziare una nuova pagina.");
    x_ = y_ = 0;
}

void QtPrinter::endDoc() {
    if (ended_) return;
    ended_ = true;
    if (!painter_.end()) throw Error("Attenzione ... La stampa non è stata completata.");
}

}  // namespace cl::print
