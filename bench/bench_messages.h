// The benchmarks answer Yes to every question and show messages on stderr.
#pragma once
#include <iostream>
#include <string>

#include "app/interfaces.h"

namespace cl::bench {

class YesMessages : public Messages {
  public:
    void show(const std::string& text, Icon, const std::string&) override {
        std::cerr << text << "\n";
    }
    Answer ask(const std::string&, const std::string&, Icon, Answer) override {
        return Answer::Yes;
    }
};

}  // namespace cl::bench
