#pragma once
#include <string>

namespace cl {

enum class Icon { None, Information, Critical, Question, Exclamation };
enum class Answer { Yes, No };

// Message boxes with the exact Italian texts; the screens show them, the CLI prints them,
// tests record them.
class Messages {
  public:
    virtual ~Messages() = default;
    virtual void show(const std::string& text, Icon icon, const std::string& title = {}) = 0;
    virtual Answer ask(const std::string& text, const std::string& title, Icon icon,
                       Answer defaultAnswer) = 0;
};

// Counters and the progress bar of a run. Counters are named after the control that shows
// them ("cntw", "bnsw", "cntaw", "eanaw", ...).
class Progress {
  public:
    virtual ~Progress() = default;
    virtual void setText(const std::string& control, const std::string& text) = 0;
    void setCount(const std::string& control, long long n) { setText(control, std::to_string(n)); }
    virtual void setBar(int position) = 0;
    virtual void showBar(bool visible) = 0;
};

// Page operations of the printed report, in the user scale set by setScale.
class Printer {
  public:
    virtual ~Printer() = default;
    virtual void setScale(double width, double height) = 0;
    virtual void setPos(double x, double y) = 0;
    virtual double x() const = 0;
    virtual double y() const = 0;
    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setLineWidth(int pixels) = 0;
    virtual void rect(double x1, double y1, double x2, double y2) = 0;
    // Prints at the current position; with a line end the position goes to the next line.
    virtual void print(const std::string& text, bool lineEnd) = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
};

// Does nothing: for runs whose counters nobody watches.
class NullProgress : public Progress {
  public:
    void setText(const std::string&, const std::string&) override {}
    void setBar(int) override {}
    void showBar(bool) override {}
};

}  // namespace cl
