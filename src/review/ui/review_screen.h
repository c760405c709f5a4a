#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "priceedit/ui/editor_dialog.h"
#include "review/review_controller.h"
#include "ui/qt_messages.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTableView;

namespace cl::ui {

class PanelKeys;
class ReviewModel;
class ReviewScreen;

// What the buttons of other screens do, wired by whoever builds the program: "Aggiorna
// Listino" opens the update settings, "Stampa" prints the check report.
struct ReviewHooks {
    std::function<void(ReviewScreen&)> onUpdatePriceList;
    std::function<void(ReviewScreen&)> onPrint;
    // Further commands shown in the command frame after the review's own.
    struct Command {
        std::string control, caption, tooltip;
        std::function<void(ReviewScreen&)> run;
    };
    std::vector<Command> extraCommands;
};
ReviewHooks& reviewHooks();

// Shows the counters of the review in their text boxes, repainting during long commands.
class ScreenProgress : public Progress {
  public:
    std::map<std::string, QLineEdit*> boxes;
    void setText(const std::string& control, const std::string& text) override;
    void setBar(int) override {}
    void showBar(bool) override {}
};

// The review screen art17t: grid, searches, the command frame and the recalculation panel.
class ReviewScreen : public QWidget {
    Q_OBJECT
  public:
    ReviewScreen(Session& session, std::unique_ptr<store::Database> db, QWidget* parent = nullptr);
    ~ReviewScreen() override;

    review::ReviewController& controller() { return *review_; }
    QTableView* grid() const { return flex1_; }
    EditorDialog* editor() const { return editor_; }
    Messages& messages() { return messages_; }
    // leggo, and the grid redrawn.
    void reload();
    // Closes this screen and opens it again (a new Form_Load).
    void reopen();
    // Places a panel in the middle of the screen, at its natural size.
    void centre(QWidget* panel);

    std::function<void(ReviewScreen&)> onUpdatePriceList;
    std::function<void(ReviewScreen&)> onPrint;
    // Called to open the screen anew; set by openReviewScreen.
    std::function<void()> onReopen;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* buildSearches();
    QWidget* buildCommands();
    QGroupBox* buildRecalcPanel();
    void vedo();  // column widths, hidden columns
    // The grid drawn again from the rows the controller holds.
    void redraw();
    void chiaro();  // search boxes and grid back to plain colour
    void runSearch(QLineEdit* box);
    void gridClicked(int row, int col);
    void rememberCurrent(const QModelIndex& index);
    void openEditor(const priceedit::EditorInputs& inputs);
    void onlyLook();  // read-only: the commands that write are disabled
    // A panel is open over the grid (recalculation or update settings): the editor waits.
    bool panelOpen() const;
    // Runs a command, showing an Italian message on failure; true when it ran.
    bool guarded(const std::function<void()>& command);
    void afterRecalc(long long rows);

    Session& session_;
    std::unique_ptr<store::Database> db_;
    QtMessages messages_;
    ScreenProgress progress_;
    std::unique_ptr<review::ReviewController> review_;
    ReviewModel* model_ = nullptr;
    QTableView* flex1_ = nullptr;
    QLabel* tiposw_ = nullptr;
    QLineEdit *ricw_ = nullptr, *codw_ = nullptr, *gruw_ = nullptr, *forw_ = nullptr,
              *eanw_ = nullptr;
    QLineEdit *nrartw_ = nullptr, *cntw_ = nullptr;
    QPushButton* command2_ = nullptr;
    QGroupBox* frame6_ = nullptr;
    PanelKeys* frame6Keys_ = nullptr;
    QCheckBox* arropvw_ = nullptr;
    QLineEdit *percw_ = nullptr, *perc2w_ = nullptr, *cntrw_ = nullptr, *cntbw_ = nullptr;
    QPointer<EditorDialog> editor_;
    // The grid's current cell, by row key, so that reloads keep it.
    struct CurrentCell {
        long long bns;
        int column;
    };
    std::optional<CurrentCell> current_;
};

}  // namespace cl::ui
