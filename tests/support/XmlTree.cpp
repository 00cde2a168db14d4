#include "support/XmlTree.h"

#include <expat.h>

namespace sheetjob::testing {

namespace {

struct ParseState {
    std::unique_ptr<XmlNode> root;
    std::vector<XmlNode*> open;
};

void XMLCALL startElement(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* state = static_cast<ParseState*>(data);
    auto node = std::make_unique<XmlNode>();
    node->name = name;
    for (int i = 0; attributes[i] != nullptr; i += 2)
        node->attributes.emplace_back(attributes[i], attributes[i + 1]);
    XmlNode* raw = node.get();
    if (state->open.empty())
        state->root = std::move(node);
    else
        state->open.back()->children.push_back(std::move(node));
    state->open.push_back(raw);
}

void XMLCALL endElement(void* data, const XML_Char*) {
    static_cast<ParseState*>(data)->open.pop_back();
}

void XMLCALL characters(void* data, const XML_Char* s, int length) {
    auto* state = static_cast<ParseState*>(data);
    if (!state->open.empty())
        state->open.back()->text.append(s, static_cast<size_t>(length));
}

void collect(const XmlNode& node, const std::string& name, std::vector<const XmlNode*>& out) {
    for (const auto& c : node.children) {
        if (c->name == name)
            out.push_back(c.get());
        collect(*c, name, out);
    }
}

} // namespace

std::string XmlNode::attr(const std::string& key) const {
    for (const auto& [k, v] : attributes)
        if (k == key)
            return v;
    return "";
}

bool XmlNode::has(const std::string& key) const {
    for (const auto& [k, v] : attributes)
        if (k == key)
            return true;
    return false;
}

const XmlNode* XmlNode::child(const std::string& childName) const {
    for (const auto& c : children)
        if (c->name == childName)
            return c.get();
    return nullptr;
}

std::vector<const XmlNode*> XmlNode::all(const std::string& nodeName) const {
    std::vector<const XmlNode*> out;
    collect(*this, nodeName, out);
    return out;
}

std::string XmlNode::childText(const std::string& childName) const {
    const XmlNode* c = child(childName);
    return c ? c->text : "";
}

std::string XmlNode::option(const std::string& key) const {
    for (const auto& c : children)
        if (c->name == "Option" && c->attr("name") == key)
            return c->attr("value");
    return "";
}

std::optional<std::unique_ptr<XmlNode>> parseXml(const std::string& text, std::string& error) {
    ParseState state;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, startElement, endElement);
    XML_SetCharacterDataHandler(parser, characters);
    const bool ok =
        XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_ERROR;
    if (!ok)
        error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser));
    XML_ParserFree(parser);
    if (!ok || !state.root)
        return std::nullopt;
    return std::move(state.root);
}

} // namespace sheetjob::testing
