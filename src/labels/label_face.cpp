#include "labels/label_face.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/numbers.h"

namespace cl::labels {

namespace {

constexpr double kPointMm = 25.4 / 72.0;
const std::string kMark = "\xE2\x80\xA6";  // "…"

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// Greedy word wrap; a word wider than the line stays on a line of its own.
std::vector<std::string> wrap(const std::vector<std::string>& words, double width, double points,
                              const Measure& measure) {
    std::vector<std::string> lines;
    std::string line;
    for (const auto& w : words) {
        std::string candidate = line.empty() ? w : line + " " + w;
        if (line.empty() || measure(candidate, points) <= width) {
            line = candidate;
        } else {
            lines.push_back(line);
            line = w;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool allFit(const std::vector<std::string>& lines, double width, double points,
            const Measure& measure) {
    return std::all_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return measure(l, points) <= width; });
}

// Drops the last UTF-8 character.
void popCharacter(std::string& s) {
    while (!s.empty()) {
        unsigned char c = static_cast<unsigned char>(s.back());
        s.pop_back();
        if ((c & 0xC0) != 0x80) break;
    }
}

// The line with the mark, shortened by whole words while it does not fit; a lone word is cut.
std::string withMark(std::string line, double width, double points, const Measure& measure) {
    while (!line.empty() && measure(line + kMark, points) > width) {
        auto space = line.find_last_of(' ');
        if (space != std::string::npos)
            line.erase(space);
        else
            popCharacter(line);
    }
    return line + kMark;
}

}  // namespace

bool soldByWeight(const std::string& ean) {
    return !ean.empty() && ean[0] == '2';
}

std::string euro(const Money& amount, const std::string& perUnit) {
    std::string out = "\xE2\x82\xAC " + formatNumber(amount.toDouble(), "#,##0.00");
    return perUnit.empty() ? out : out + "/" + perUnit;
}

LabelFace faceOf(const history::Label& l) {
    LabelFace f;
    f.description = l.description;
    const bool weight = soldByWeight(l.ean);
    f.price = euro(l.newPrice, weight ? "KG" : "");
    if (l.unitPrice && !weight)
        f.unitLine = euro(*l.unitPrice, l.referenceUnit.empty() ? "UM" : l.referenceUnit);
    if (l.offerPrice) {
        f.offerLine = "OFFERTA " + euro(*l.offerPrice, weight ? "KG" : "");
        if (l.offerUnitPrice && !weight)
            f.offerUnitLine =
                euro(*l.offerUnitPrice, l.referenceUnit.empty() ? "UM" : l.referenceUnit);
    }
    const bool digits = !l.ean.empty() && std::all_of(l.ean.begin(), l.ean.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    if (weight || !digits || (l.ean.size() != 13 && l.ean.size() != 8))
        f.codeLine = l.ean.empty() ? "Art. " + std::to_string(l.article) : "Cod. " + l.ean;
    else
        f.barcode = l.ean;
    return f;
}

FaceBoxes faceBoxes(double width, double height, bool symbol, bool offer) {
    const double pad = 2;
    FaceBoxes b;
    b.description = {pad, pad, width - 2 * pad, height * 0.27};
    const double top = b.description.bottom() + 1;
    double lower = height - pad - top;
    double left = width - 2 * pad;
    if (symbol) {
        const double bw = std::clamp(width * 0.48, 26.0, 40.0);
        b.barcode = {width - pad - bw, top, bw, lower};
        left -= bw + 2;
    } else {
        b.codeLine = {pad, height - pad - 3.5, width - 2 * pad, 3.5};
        lower -= 3.5;
    }
    const double price = offer ? 0.36 : 0.46, unit = offer ? 0.18 : 0.22;
    b.price = {pad, top, left, lower * price};
    b.unitLine = {pad, b.price.bottom(), left, lower * unit};
    b.offerLine = {pad, b.unitLine.bottom(), left, lower * (1 - price - unit)};
    return b;
}

double lineHeight(double points) {
    return points * kPointMm * 1.15;
}

double fitOneLine(const std::string& text, double width, double maxPoints, double minPoints,
                  const Measure& measure) {
    double pt = maxPoints;
    while (pt > minPoints && measure(text, pt) > width) pt -= 0.5;
    return std::max(pt, minPoints);
}

FittedText fitText(const std::string& text, const Box& box, double maxPoints, double minPoints,
                   const Measure& measure) {
    const auto words = wordsOf(text);
    FittedText out;
    for (double pt = maxPoints; pt >= minPoints - 1e-9; pt -= 0.5) {
        const size_t room =
            static_cast<size_t>(std::max(1.0, std::floor(box.height / lineHeight(pt))));
        auto lines = wrap(words, box.width, pt, measure);
        if (lines.size() <= room && allFit(lines, box.width, pt, measure)) {
            out.lines = lines;
            out.points = pt;
            return out;
        }
    }
    // At the smallest size: the lines that fit, the last one marked as cut.
    out.points = minPoints;
    out.cut = true;
    const size_t room =
        static_cast<size_t>(std::max(1.0, std::floor(box.height / lineHeight(minPoints))));
    auto lines = wrap(words, box.width, minPoints, measure);
    for (size_t i = 0; i < lines.size() && out.lines.size() < room; ++i) {
        bool last = out.lines.size() + 1 == room || i + 1 == lines.size();
        bool tooWide = measure(lines[i], minPoints) > box.width;
        if (last || tooWide) {
            out.lines.push_back(withMark(lines[i], box.width, minPoints, measure));
            break;
        }
        out.lines.push_back(lines[i]);
    }
    return out;
}

}  // namespace cl::labels
