#include "ui/qt_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "store/connection_mask.h"

namespace cl::ui {

namespace {
QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}
// A box's title or text as shown: never a password (a message may quote a connection string).
QString shown(const std::string& text) {
    return QString::fromStdString(store::withoutPasswords(text));
}

}  // namespace

QWidget* QtMessages::parentForBox() const {
    // A screen that is hidden may be on its way out (closed, deleted later): a box on the
    // stack must not become the child of a widget that deletes its children before it returns.
    if (parent_ && parent_->isVisible()) return parent_;
    return QApplication::activeWindow();
}

void QtMessages::show(const std::string& text, Icon icon, const std::string& title) {
    QMessageBox box(qtIcon(icon), shown(title.empty() ? "Controllo Listino" : title), shown(text),
                    QMessageBox::Ok, parentForBox());
    box.exec();
}

std::unique_ptr<QMessageBox> questionBox(const std::string& text, const std::string& title,
                                         Icon icon, Answer defaultAnswer, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(
        qtIcon(icon), shown(title.empty() ? "Controllo Listino" : title), shown(text),
        QMessageBox::Yes | QMessageBox::No, parent);
    box->button(QMessageBox::Yes)->setText("Sì");
    box->setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box;
}

Answer QtMessages::ask(const std::string& text, const std::string& title, Icon icon,
                       Answer defaultAnswer) {
    auto box = questionBox(text, title, icon, defaultAnswer, parentForBox());
    return box->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace cl::ui
