#include "sheetjob/qgis/Xml.h"

#include <array>
#include <charconv>
#include <cmath>

namespace sheetjob::qgis {

namespace {
constexpr int kIndentStep = 2;              // spaces per nesting level
constexpr int kNumberBuffer = 32;           // longest shortest-form double with sign and exponent
constexpr std::size_t kFirstAttributes = 6; // room for the attributes of most elements
} // namespace

XmlElement& XmlElement::set(std::string_view key, std::string_view value) {
    for (auto& [k, v] : attributes_) {
        if (k == key) {
            v = value;
            return *this;
        }
    }
    if (attributes_.empty()) // most elements take a few: one allocation for them
        attributes_.reserve(kFirstAttributes);
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

void XmlElement::addShared(std::shared_ptr<const std::vector<XmlElement>> elements) {
    XmlElement& standIn = add(std::string());
    standIn.shared_ = std::move(elements);
}

std::string XmlElement::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes_)
        if (k == key)
            return v;
    return "";
}

std::string XmlElement::write(int indent) const {
    std::string out;
    writeTo(out, indent);
    return out;
}

void XmlElement::writeTo(std::string& out, int indent) const {
    if (shared_) {
        for (const XmlElement& e : *shared_)
            e.writeTo(out, indent);
        return;
    }
    out.append(static_cast<size_t>(indent), ' ');
    out += '<';
    out += name_;
    for (const auto& [k, v] : attributes_) {
        out += ' ';
        out += k;
        out += "=\"";
        appendEscaped(out, v);
        out += '"';
    }
    if (children_.empty() && text_.empty()) {
        out += "/>\n";
        return;
    }
    out += '>';
    if (children_.empty()) {
        appendEscaped(out, text_);
    } else {
        out += '\n';
        for (const XmlElement& child : children_)
            child.writeTo(out, indent + kIndentStep);
        out.append(static_cast<size_t>(indent), ' ');
    }
    out += "</";
    out += name_;
    out += ">\n";
}

void appendEscaped(std::string& out, std::string_view text) {
    // Most texts hold nothing to replace: copy the runs between the characters
    // that need an entity in one go.
    static constexpr std::array<bool, 256> kNeedsEntity = [] {
        std::array<bool, 256> table{};
        for (const unsigned char c : {'&', '<', '>', '"', '\''})
            table[c] = true;
        return table;
    }();
    const auto needsEntity = [](char c) { return kNeedsEntity[static_cast<unsigned char>(c)]; };
    for (;;) {
        size_t special = 0;
        while (special < text.size() && !needsEntity(text[special]))
            ++special;
        out.append(text.data(), special);
        if (special == text.size())
            return;
        switch (text[special]) {
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
        default:
            out += "&apos;";
        }
        text.remove_prefix(special + 1);
    }
}

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
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
