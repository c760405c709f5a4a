#include "ui/panel_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace cl::ui {

namespace {

// A read-only box only shows a counter: Tab passes it by.
bool isCounter(QWidget* w) {
    auto* box = qobject_cast<QLineEdit*>(w);
    return box && box->isReadOnly();
}

}  // namespace

PanelKeys::PanelKeys(QWidget* panel, std::function<void()> close)
    : QObject(panel), panel_(panel), close_(std::move(close)) {
    panel_->installEventFilter(this);
    for (QWidget* w : panel_->findChildren<QWidget*>()) w->installEventFilter(this);
}

std::vector<QWidget*> PanelKeys::controls() const {
    // The panel's part of the focus chain, in the order Tab would take.
    std::vector<QWidget*> out;
    QWidget* w = panel_->nextInFocusChain();
    for (int guard = 0; w && w != panel_ && guard < 10000; ++guard, w = w->nextInFocusChain())
        if (panel_->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
            w->isEnabled() && !isCounter(w))
            out.push_back(w);
    return out;
}

void PanelKeys::focusIn(QWidget* first) {
    if (!first) {
        auto all = controls();
        if (all.empty()) return;
        first = all.front();
    }
    first->setFocus(Qt::TabFocusReason);
}

void PanelKeys::move(bool forward) {
    auto all = controls();
    if (all.empty()) return;
    const auto n = static_cast<long>(all.size());
    auto at = std::find(all.begin(), all.end(), panel_->window()->focusWidget());
    long i = at == all.end() ? (forward ? -1 : 0) : at - all.begin();
    i = ((forward ? i + 1 : i - 1) % n + n) % n;
    all[static_cast<size_t>(i)]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool PanelKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !panel_->isVisible())
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (key->key() == Qt::Key_Tab && plain && !(key->modifiers() & Qt::ShiftModifier)) {
        move(true);
        return true;
    }
    if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && plain)) {
        move(false);
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        close_();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace cl::ui
