#pragma once
// Reads an XML text with expat, an independent parser, into a tree that tests
// can search: well-formedness is checked by the parse itself.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheetjob::testing {

struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text; ///< character data directly inside, concatenated
    std::vector<std::unique_ptr<XmlNode>> children;

    /// The attribute's value, "" when absent.
    [[nodiscard]] std::string attr(const std::string& key) const;
    [[nodiscard]] bool has(const std::string& key) const;
    /// The first child of that name, or nullptr.
    [[nodiscard]] const XmlNode* child(const std::string& childName) const;
    /// Every node of that name below this one, depth first.
    [[nodiscard]] std::vector<const XmlNode*> all(const std::string& nodeName) const;
    /// The text of the first child of that name ("" when absent).
    [[nodiscard]] std::string childText(const std::string& childName) const;
    /// The value of the <Option name=key value=...> child of an <Option type="Map">.
    [[nodiscard]] std::string option(const std::string& key) const;
};

/// The document's root, or std::nullopt with `error` (parser message and line).
std::optional<std::unique_ptr<XmlNode>> parseXml(const std::string& text, std::string& error);

} // namespace sheetjob::testing
