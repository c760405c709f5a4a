#pragma once
#include <QObject>
#include <QWidget>
#include <functional>
#include <vector>

namespace cl::ui {

// A panel drawn over a screen keeps the keyboard while it is open: Tab and Shift+Tab go round
// its own controls only, Esc closes it.
class PanelKeys : public QObject {
  public:
    // Watches the panel and every control it holds now; `close` is what Esc does.
    PanelKeys(QWidget* panel, std::function<void()> close);

    // Puts the focus in the panel: on `first`, or on its first control.
    void focusIn(QWidget* first = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<QWidget*> controls() const;
    void move(bool forward);

    QWidget* panel_;
    std::function<void()> close_;
};

}  // namespace cl::ui
