#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "check/check_commands.h"
#include "check/check_state.h"
#include "check/start_up.h"
#include "check/ui/auto_check_bar.h"
#include "pricelist/price_list.h"

namespace cl::check::ui {

// The check screen lis04g ("Controllo Articoli"). It holds the controls; the state a run reads
// is copied into a CheckScreenState, and the domain does the rest.
class CheckScreen : public QWidget {
    Q_OBJECT
  public:
    CheckScreen(Session& session, Messages& messages, QWidget* parent = nullptr);

    // Form_Load after the location: parameter row, presets, supplier list.
    void load(const std::vector<Supplier>& suppliers, const CheckScreenState& state);
    CheckScreenState state() const;

    // Called after a run that hands over to the review screen.
    std::function<void(const RunReport&)> onRunEnded;

    RunReport command1();        // "Controllo dati"
    RunReport command3();        // "Controllo articoli presenti in Barcode"
    RunReport commandListino();  // "Listino da file…"
    // The automatic check of the remembered supplier: announced, counted down, then
    // "Controllo dati"; the operator may start it at once or cancel it.
    void announceAutomaticCheck(int seconds = 5);

    // The steps of "Listino da file…" that talk to the operator; tests replace them.
    std::function<QString()> chooseFile;  // the file dialog; empty: nothing chosen
    // The column dialog over the file's rows: false when the operator cancels.
    std::function<bool(const QString& file, pricelist::Sheet& sheet, pricelist::ColumnMap& map)>
        chooseColumns;
    // The rows left out or checked without a value, shown after the run.
    std::function<void(const std::vector<pricelist::RowProblem>&)> showProblems;

    QComboBox* DBCombo3;
    QLineEdit *codforw, *perif, *ricnw, *cntw, *bnsw;
    QCheckBox *kcos, *kric, *kpre, *kcrea, *tut, *sma, *sve, *men, *piu, *nuo;
    QRadioButton *pvk, *csk, *dagruppimerc, *soloartnuo;
    QProgressBar* ProgressBar1;
    QPushButton *Command1, *Command2, *Command3, *CommandListino;
    QComboBox* Drive1;
    AutoCheckBar* autoCheck;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void connectFilter(QCheckBox* box, FilterBox which);
    void supplierChosen(int index);
    RunReport run(bool barcode);
    RunReport runPriceList(const pricelist::PriceList& list);
    void setRunning(bool running);

    Session& session_;
    Messages& messages_;
    bool running_ = false;
    std::vector<QWidget*> inputs_;
};

}  // namespace cl::check::ui
