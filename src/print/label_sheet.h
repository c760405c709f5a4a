#pragma once
#include <QString>
#include <string>

#include "history/labels.h"
#include "labels/label_layouts.h"

class QPrinter;

namespace cl::print {

// Paper of the layout (A4, or one roll label per page), no margins: positions are taken from
// the paper's edge, as the label sheets are cut.
void prepareLabelPrinter(QPrinter& printer, const labels::LabelLayout& layout);

// Every label `copies` times on the printer's pages; the table layout prints the list.
// Throws cl::Error when the printer cannot be used.
void drawLabels(QPrinter& printer, const labels::LabelLayout& layout,
                const history::LabelList& list, int copies);

// The labels as a PDF file that appears only when complete.
void writeLabelsPdf(const history::LabelList& list, const std::string& file,
                    const std::string& layoutName, int copies);

}  // namespace cl::print
