#pragma once
#include <QDialog>
#include <optional>

#include "app/session.h"
#include "history/labels.h"
#include "history/price_history.h"

class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
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
    // "Esporta in Excel" without the file dialog; false after showing why it failed.
    bool exportXlsx(const QString& file);

  private:
    Session& session_;
    ArticleHistory shown_;
    QLineEdit* input_;
    QRadioButton* byCode_;
    QRadioButton* byEan_;
    QLabel* article_;
    QTableWidget* table_;
};

// "Etichette da ristampare" of the last update (or a given one, also an undone one): labels in
// a chosen layout and number of copies, previewed and printed on any printer or saved as PDF;
// the list as a spreadsheet or CSV; the price changes for the scales and tills.
class LabelsWindow : public QDialog {
    Q_OBJECT
  public:
    LabelsWindow(Session& session, std::optional<long long> run, QWidget* parent = nullptr);
    const LabelList& list() const { return list_; }
    std::string layoutName() const;
    int copies() const;
    void chooseLayout(const std::string& name);
    void setCopies(int copies);
    // The buttons' work without the file dialogs; false after showing why it failed.
    bool savePdf(const QString& file);
    bool exportXlsx(const QString& file);
    bool exportPriceChanges(const QString& file);

  private:
    void exportCsv();
    QString askFile(const QString& title, const QString& name, const QString& filter);
    Session& session_;
    LabelList list_;
    QTableWidget* table_;
    QComboBox* layout_;
    QSpinBox* copies_;
};

// "Annulla ultimo aggiornamento" from a screen: asks, undoes or explains why not.
bool undoLastUpdate(QWidget* parent, Session& session);

// The labels list as a PDF file (through the report's printer).
void writeLabelsPdf(const LabelList& list, const std::string& file);

}  // namespace cl::history::ui
