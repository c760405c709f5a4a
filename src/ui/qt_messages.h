#pragma once
#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/interfaces.h"

class QMessageBox;

namespace cl::ui {

// The Yes/No box that QtMessages::ask shows ("Sì" / "No", the default as asked), not yet shown.
std::unique_ptr<QMessageBox> questionBox(const std::string& text, const std::string& title,
                                         Icon icon, Answer defaultAnswer, QWidget* parent);

// Message boxes with the system's texts, icons and titles. The parent is watched: while that
// screen is not shown (or gone) the boxes open over the active window, or on their own.
class QtMessages : public Messages {
  public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    // The widget the next box opens over (null: none).
    QWidget* parentForBox() const;
    void show(const std::string& text, Icon icon, const std::string& title) override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace cl::ui
