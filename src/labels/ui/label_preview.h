#pragma once
#include <string>

#include "history/labels.h"

class QWidget;

namespace cl::labels::ui {

// Print preview: print on any printer, or save as PDF. Errors are shown as messages.
void previewLabels(QWidget* parent, const history::LabelList& list, const std::string& layoutName,
                   int copies);

}  // namespace cl::labels::ui
