#pragma once
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace cl::check::ui {

// The automatic check of a remembered supplier, announced on the check screen and counted down
// a second at a time, so that the operator can correct the filters first, or stop it there.
class AutoCheckBar : public QFrame {
    Q_OBJECT
  public:
    explicit AutoCheckBar(QWidget* parent = nullptr);

    // Shows the bar and counts down from `seconds`; `start` runs the check at zero or on
    // "Avvia ora".
    void begin(const QString& supplierName, int seconds, std::function<void()> start);
    // Hides the bar: no check starts ("Annulla", or a run started by hand).
    void cancel();
    // One second gone; the timer calls it, tests call it without waiting.
    void tick();
    int secondsLeft() const { return left_; }
    QTimer* timer() { return &timer_; }

    QLabel* text;
    QPushButton *startNow, *cancelButton;

  private:
    void showLeft();
    void fire();

    QTimer timer_;
    QString supplier_;
    int left_ = 0;
    std::function<void()> start_;
};

}  // namespace cl::check::ui
