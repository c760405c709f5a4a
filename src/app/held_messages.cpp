#include "app/held_messages.h"

#include <stdexcept>

namespace cl {

void HeldMessages::show(const std::string& text, Icon icon, const std::string& title) {
    held_.push_back({text, icon, title});
}

Answer HeldMessages::ask(const std::string& text, const std::string&, Icon, Answer) {
    throw std::logic_error("domanda durante la scrittura del database: " + text);
}

void HeldMessages::release() {
    auto held = std::move(held_);
    held_.clear();
    for (const auto& m : held) inner_.show(m.text, m.icon, m.title);
}

}  // namespace cl
