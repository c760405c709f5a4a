#include "check/ui/auto_check_bar.h"

#include <QHBoxLayout>

namespace cl::check::ui {

AutoCheckBar::AutoCheckBar(QWidget* parent) : QFrame(parent) {
    setObjectName("AutoCheck");
    setFrameShape(QFrame::StyledPanel);
    text = new QLabel;
    text->setObjectName("AutoCheckText");
    startNow = new QPushButton("Avvia ora");
    startNow->setObjectName("AutoCheckStart");
    cancelButton = new QPushButton("Annulla");
    cancelButton->setObjectName("AutoCheckCancel");
    auto* row = new QHBoxLayout(this);
    row->addWidget(text, 1);
    row->addWidget(startNow);
    row->addWidget(cancelButton);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &AutoCheckBar::tick);
    connect(startNow, &QPushButton::clicked, this, &AutoCheckBar::fire);
    connect(cancelButton, &QPushButton::clicked, this, &AutoCheckBar::cancel);
    setVisible(false);
}

void AutoCheckBar::begin(const QString& supplierName, int seconds, std::function<void()> start) {
    supplier_ = supplierName;
    left_ = seconds;
    start_ = std::move(start);
    showLeft();
    setVisible(true);
    timer_.start();
    startNow->setFocus();
}

void AutoCheckBar::cancel() {
    timer_.stop();
    left_ = 0;
    start_ = nullptr;
    setVisible(false);
}

void AutoCheckBar::tick() {
    if (!start_) return;
    if (--left_ <= 0) return fire();
    showLeft();
}

void AutoCheckBar::showLeft() {
    text->setText(QString("Controllo automatico per %1 tra %2 %3")
                      .arg(supplier_)
                      .arg(left_)
                      .arg(left_ == 1 ? "secondo" : "secondi"));
}

void AutoCheckBar::fire() {
    auto start = std::move(start_);
    cancel();
    if (start) start();
}

}  // namespace cl::check::ui
