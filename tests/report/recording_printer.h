#pragma once
#include <string>
#include <vector>

#include "app/interfaces.h"

namespace cl::test {

// Records every page operation as text and keeps the print position with simple metrics:
// a character is half the font size wide, a text line is as high as the font size.
class RecordingPrinter : public Printer {
  public:
    std::vector<std::string> ops;
    double size = 8;
    bool bold = false;
    std::string font = "default";

    void setScale(double w, double h) override { log("scale " + n(w) + " " + n(h)); }
    void setPos(double x, double y) override {
        x_ = x;
        y_ = y;
        log("pos " + n(x) + " " + n(y));
    }
    double x() const override { return x_; }
    double y() const override { return y_; }
    void setFontName(const std::string& name) override {
        font = name;
        log("font " + name);
    }
    void setFontSize(double points) override {
        size = points;
        log("size " + n(points));
    }
    void setBold(bool b) override {
        bold = b;
        log(b ? "bold on" : "bold off");
    }
    void setLineWidth(int pixels) override { log("line " + std::to_string(pixels)); }
    void rect(double x1, double y1, double x2, double y2) override {
        log("rect " + n(x1) + " " + n(y1) + " " + n(x2) + " " + n(y2));
    }
    void print(const std::string& text, bool lineEnd) override {
        log("print [" + text + "]" + (lineEnd ? " eol" : "") + " @" + n(size) + (bold ? "b" : ""));
        if (lineEnd) {
            x_ = 0;
            y_ += size;
        } else {
            x_ += static_cast<double>(text.size()) * size / 2;
        }
    }
    void newPage() override {
        x_ = y_ = 0;
        log("newpage");
    }
    void endDoc() override { log("enddoc"); }

    // Index of the first operation equal to `op` from `from` on; -1 when absent.
    int find(const std::string& op, int from = 0) const {
        for (int i = from; i < static_cast<int>(ops.size()); ++i)
            if (ops[i] == op) return i;
        return -1;
    }
    int count(const std::string& op) const {
        int c = 0;
        for (const auto& o : ops) c += o == op;
        return c;
    }

  private:
    static std::string n(double v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        return s;
    }
    void log(std::string op) { ops.push_back(std::move(op)); }
    double x_ = 0, y_ = 0;
};

}  // namespace cl::test
