#pragma once
#include <string>
#include <vector>

#include "app/interfaces.h"

namespace cl {

// The messages of a command's writing phase. Nothing may wait for the operator while the write
// transaction is open, so what the phase has to say is kept and shown, in order, once the
// transaction has been committed or rolled back. A question there is a fault of the command:
// every question belongs before the transaction.
class HeldMessages : public Messages {
  public:
    explicit HeldMessages(Messages& inner) : inner_(inner) {}
    void show(const std::string& text, Icon icon, const std::string& title) override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override;
    // Shows what was kept; call it with no transaction open.
    void release();

  private:
    struct Held {
        std::string text;
        Icon icon;
        std::string title;
    };
    Messages& inner_;
    std::vector<Held> held_;
};

}  // namespace cl
