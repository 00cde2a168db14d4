#pragma once
// A small XML tree for the QGIS style and project texts: elements with
// attributes in the order given, children or text, written with two-space
// indentation. Only what the generators need; texts are UTF-8.

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sheetjob::qgis {

class XmlElement {
  public:
    explicit XmlElement(std::string name) : name_(std::move(name)) {}

    /// Sets an attribute (new ones kept in the order added) and returns the element.
    XmlElement& set(std::string_view key, std::string_view value);
    XmlElement& set(std::string_view key, double value);
    XmlElement& set(std::string_view key, int value);
    /// The element's text (written escaped; an element has text or children).
    XmlElement& text(std::string_view value);
    /// Appends a child and returns a reference to it (stays valid: children are a list).
    XmlElement& add(std::string name);
    XmlElement& add(XmlElement child);
    /// Appends elements that other elements hold as well: they are written in
    /// this place, in their order, without being copied.
    void addShared(std::shared_ptr<const std::vector<XmlElement>> elements);

    [[nodiscard]] const std::string& name() const { return name_; }
    [[nodiscard]] const std::list<XmlElement>& children() const { return children_; }
    /// The value of an attribute, "" when absent.
    [[nodiscard]] std::string attribute(std::string_view key) const;

    /// The element and everything below it, each element on its own line.
    [[nodiscard]] std::string write(int indent = 0) const;
    /// The same, appended to `out`.
    void writeTo(std::string& out, int indent = 0) const;

  private:
    std::string name_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::list<XmlElement> children_;
    std::string text_;
    // Set on a stand-in child that writes these elements in its place.
    std::shared_ptr<const std::vector<XmlElement>> shared_;
};

/// Text with &, <, >, " and ' replaced by entities.
std::string escapeXml(std::string_view text);
/// The same, appended to `out`.
void appendEscaped(std::string& out, std::string_view text);

/// A double in the shortest form that reads back to the same value, without
/// locale ("0.1", "7500000", "-177").
std::string formatNumber(double value);

} // namespace sheetjob::qgis
