#pragma once
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/interfaces.h"
#include "app/session.h"
#include "review/review_filter.h"
#include "ui/panel_keys.h"
#include "update/ui/update_progress.h"
#include "update/update_settings.h"
#include "update/update_work.h"

namespace cl::review::ui {

// Frame2 "Impostazioni Aggiornamenti": the thirteen boxes, the three counter frames,
// "Aggiorna" (Command5) and "Uscita" (Command6). Hidden until the review screen's
// "Aggiorna Listino" calls prepare().
class UpdatePanel : public QGroupBox {
    Q_OBJECT
  public:
    // Runs "Aggiorna" with the panel's boxes; throws cl::Error on failure (nothing written).
    using Runner = std::function<UpdateResult(const UpdateSettings&, Messages&, Progress&)>;

    explicit UpdatePanel(QWidget* parent = nullptr);

    // "Aggiorna Listino" (Command1): the boxes as given (settingsAfterReviewLoad, then
    // prepareUpdate ticks aggcodafo), the counters cleared, codarw = next code; shown.
    void prepare(const UpdateSettings& settings, long long nextCode, Runner runner);
    // The usual runner: opens the store with the fixed-path database for the run.
    static Runner storeRunner(Session& session, ReviewFilter filter);

    UpdateSettings settings() const;
    void setSettings(const UpdateSettings& settings);
    // Where the run's messages go; QtMessages on this panel unless set (tests record).
    void setMessages(Messages* messages) { messages_ = messages; }
    Messages& messages() { return *messages_; }

    QCheckBox* box(const std::string& control) const { return boxes_.at(control); }
    QLineEdit* counter(const std::string& control) const { return counters_.at(control); }
    QPushButton* updateButton() const { return command5_; }
    QPushButton* exitButton() const { return command6_; }

  signals:
    // The update is committed and its messages shown: print result.noBarcodeLines, close.
    void updateFinished(const cl::review::UpdateResult& result);
    // "Uscita": the panel is hidden; the screen enables Frame1 again.
    void exitRequested();

  private:
    void applyUpdate();  // Command5_Click
    QGroupBox* counterFrame(const char* title, const char* count, const char* middle,
                            const char* middleLabel, const char* last);
    std::map<std::string, QCheckBox*> boxes_;
    std::map<std::string, QLineEdit*> counters_;
    QPushButton* command5_;
    QPushButton* command6_;
    UpdateProgress progress_;
    Runner runner_;
    Messages* messages_ = nullptr;
    cl::ui::PanelKeys* keys_ = nullptr;
    std::unique_ptr<Messages> ownMessages_;
};

}  // namespace cl::review::ui
