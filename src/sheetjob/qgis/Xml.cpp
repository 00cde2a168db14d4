#include "sheetjob/qgis/Xml.h"

#include <array>
#include <charconv>
#include <cmath>

namespace sheetjob::qgis {

namespace {
constexpr int kIndentStep = 2;    // spaces per nesting level
constexpr int kNumberBuffer = 32; // longest shortest-form double with sign and exponent
} // namespace

XmlElement& XmlElement::set(std::string_view key, std::string_view value) {
    for (auto& [k, v] : attributes_) {
        if (k == key) {
            v = value;
            return *this;
        }
    }
    attributes_.emplace_back(std::string(key), std::string(value));
    return *this;
}

XmlElement& XmlElement::set(std::string_view key, double value) {
    return set(key, formatNumber(value));
}

XmlElement& XmlElement::set(std::string_view key, int value) {
    return set(key, std::to_string(value));
}

XmlElement& XmlElement::text(std::string_view value) {
    text_ = value;
    return *this;
}

XmlElement& XmlElement::add(std::string name) {
    children_.emplace_back(std::move(name));
    return children_.back();
}

XmlElement& XmlElement::add(XmlElement child) {
    children_.push_back(std::move(child));
    return children_.back();
}

std::string XmlElement::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes_)
        if (k == key)
            return v;
    return "";
}

std::string XmlElement::write(int indent) const {
    std::string out(static_cast<size_t>(indent), ' ');
    out += '<' + name_;
    for (const auto& [k, v] : attributes_)
        out += ' ' + k + "=\"" + escapeXml(v) + '"';
    if (children_.empty() && text_.empty())
        return out + "/>\n";
    out += '>';
    if (children_.empty())
        return out + escapeXml(text_) + "</" + name_ + ">\n";
    out += '\n';
    for (const XmlElement& child : children_)
        out += child.write(indent + kIndentStep);
    out += std::string(static_cast<size_t>(indent), ' ') + "</" + name_ + ">\n";
    return out;
}

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string formatNumber(double value) {
    if (value == 0.0)
        return "0"; // also for -0, which QGIS would show as "-0"
    std::array<char, kNumberBuffer> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace sheetjob::qgis
