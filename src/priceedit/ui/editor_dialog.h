#pragma once
#include <QDialog>
#include <map>

#include "priceedit/price_editor.h"
#include "ui/qt_messages.h"

class QLineEdit;
class QPushButton;

namespace cl::ui {

// The sale-price editor Ord01z over one review row; not modal, centred on the screen.
class EditorDialog : public QDialog {
    Q_OBJECT
  public:
    EditorDialog(store::Database& db, const AppState& state, const priceedit::EditorInputs& inputs,
                 QWidget* parent = nullptr);

    QLineEdit* box(priceedit::Field f) const { return boxes_.at(f); }
    QPushButton* conferma() const { return conferma_; }
    priceedit::PriceEditor& editor() { return editor_; }
    // Enter in a field, as the key handler does.
    void pressEnter(priceedit::Field f);
    void confirm();

  signals:
    // "Conferma" saved: the grid's current row shows the three cells.
    void saved(const priceedit::GridCells& cells);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void fromWidgets();
    void toWidgets();
    void chiaro();  // the edited boxes back to plain colour
    QLineEdit* addBox(priceedit::Field f, const char* name, bool locked);

    QtMessages messages_;
    priceedit::PriceEditor editor_;
    std::map<priceedit::Field, QLineEdit*> boxes_;
    QPushButton* conferma_ = nullptr;
    bool centred_ = false;
};

}  // namespace cl::ui
