#pragma once
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace cl::pricelist {

// A streaming XML reader over expat for the parts of an .xlsx file. Element and attribute
// names reach the handlers without their namespace prefix ("x:row" -> "row").
struct XmlHandlers {
    using Attributes = std::map<std::string, std::string>;
    std::function<void(const std::string& name, const Attributes& attributes)> start;
    std::function<void(const std::string& name)> end;
    std::function<void(std::string_view text)> text;
};

// Parses a whole document; throws cl::Error naming `part` when it is not well-formed XML.
void parseXml(std::string_view xml, const XmlHandlers& handlers, const std::string& part);

}  // namespace cl::pricelist
