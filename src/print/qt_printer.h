#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include "app/interfaces.h"

class QPagedPaintDevice;
class QPrinter;

namespace cl::print {

// The page operations on a paged device (a real printer, the print preview or a PDF writer).
// The user scale covers the printable area of whatever paper the printer has; fonts keep
// their size in points whatever the scale. Positions follow the original printer: text goes
// to the right of the current position, a line end brings x back to 0 and y one text line
// of the current font down.
class QtPrinter : public Printer {
  public:
    // Begins the document; throws cl::Error when the printer or file cannot be opened.
    explicit QtPrinter(QPagedPaintDevice& printer);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    void setScale(double width, double height) override;
    void setPos(double x, double y) override;
    double x() const override { return x_; }
    double y() const override { return y_; }
    void setFontName(const std::string& name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    void setLineWidth(int pixels) override;
    void rect(double x1, double y1, double x2, double y2) override;
    void print(const std::string& text, bool lineEnd) override;
    void newPage() override;
    void endDoc() override;

    // The font in use, as the printer resolved it (the family may be a metric-compatible
    // substitute of the one asked for).
    QFont font() const { return font_; }

  private:
    QPointF device(double x, double y) const;
    QFontMetricsF metrics() const;
    void applyFont();

    QPagedPaintDevice& printer_;
    QPainter painter_;
    QFont font_;
    QString fontName_ = QStringLiteral("times new roman");
    double scaleWidth_ = 450, scaleHeight_ = 650;
    double x_ = 0, y_ = 0;
    bool ended_ = false;
};

// The report's paper: A4 portrait, 10 mm margins.
void setReportPage(QPagedPaintDevice& device);
// A printer set up for the report: its paper and the document's name. The operator can change
// paper and margins in the print dialogs; the layout follows.
void prepareReportPrinter(QPrinter& printer, const QString& documentName);

}  // namespace cl::print
