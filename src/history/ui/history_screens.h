#pragma once
#include <QDialog>
#include <optional>

#include "app/session.h"
#include "history/labels.h"

class QLineEdit;
class QRadioButton;
class QTableWidget;
class QLabel;

namespace cl::history::ui {

// "Storico prezzi": an article's past costs and sale prices, by code or barcode.
class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    HistoryWindow(Session& session, QWidget* parent = nullptr);
    void search(const QString& text, bool byEan);
    QTableWidget* table() const { return table_; }

  private:
    Session& session_;
    QLineEdit* input_;
    QRadioButton* byCode_;
    QRadioButton* byEan_;
    QLabel* article_;
    QTableWidget* table_;
};

// "Etichette da ristampare" of the last update (or a given one): preview and print, or CSV.
class LabelsWindow : public QDialog {
    Q_OBJECT
  public:
    LabelsWindow(Session& session, std::optional<long long> run, QWidget* parent = nullptr);
    const LabelList& list() const { return list_; }

  private:
    void exportCsv();
    Session& session_;
    LabelList list_;
    QTableWidget* table_;
};

// "Annulla ultimo aggiornamento" from a screen: asks, undoes or explains why not.
bool annullaUltimoAggiornamento(QWidget* parent, Session& session);

// The labels list as a PDF file (through the report's printer).
void writeLabelsPdf(const LabelList& list, const std::string& file);

}  // namespace cl::history::ui
