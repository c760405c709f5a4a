#pragma once
#include <QString>
#include <string>

#include "history/labels.h"
#include "labels/label_layouts.h"

class QPagedPaintDevice;
class QPrinter;

namespace cl::print {

// Paper of the layout (A4, or one roll label per page), no margins: positions are taken from
// the paper's edge, as the label sheets are cut.
void setLabelPage(QPagedPaintDevice& device, const labels::LabelLayout& layout);
// The same on a printer, with the document's name.
void prepareLabelPrinter(QPrinter& printer, const labels::LabelLayout& layout);

// Every label `copies` times on the printer's pages; the table layout prints the list.
// Throws cl::Error when the printer cannot be used.
void drawLabels(QPagedPaintDevice& printer, const labels::LabelLayout& layout,
                const history::LabelList& list, int copies);

// The labels as a PDF file that appears only when complete.
void writeLabelsPdf(const history::LabelList& list, const std::string& file,
                    const std::string& layoutName, int copies);

}  // namespace cl::print
