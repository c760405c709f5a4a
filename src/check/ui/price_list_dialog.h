#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <array>
#include <functional>

#include "pricelist/columns.h"
#include "pricelist/sheet.h"

namespace cl::check::ui {

// "Colonne del listino": the first rows of the supplier's file with the column guessed for
// each field, all changeable; "Controllo dati" runs the check on the file with them.
class PriceListDialog : public QDialog {
    Q_OBJECT
  public:
    // `reread` gives another sheet of the workbook (numbered from 1); it may throw cl::Error.
    PriceListDialog(const QString& fileName, pricelist::Sheet sheet,
                    std::function<pricelist::Sheet(int)> reread, QWidget* parent = nullptr);

    const pricelist::Sheet& sheet() const { return sheet_; }
    pricelist::ColumnMap columns() const;

    QComboBox* sheetBox;
    QComboBox* headingBox;
    QComboBox* decimalBox;  // from the amounts, comma or point
    std::array<QComboBox*, pricelist::kFieldCount> fieldBoxes{};
    QTableWidget* preview;
    QLabel* status;
    QPushButton *okButton, *cancelButton;

  private:
    void fill();  // boxes and preview from sheet_ and the guess
    void showColumns(const pricelist::ColumnMap& map);
    void refresh();  // preview highlight and the state of "Controllo dati"
    void sheetChosen(int index);

    pricelist::Sheet sheet_;
    std::function<pricelist::Sheet(int)> reread_;
    bool filling_ = false;
};

}  // namespace cl::check::ui
