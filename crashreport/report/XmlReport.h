// A small XML writer for the XML copy of the log: elements with attributes
// only, two blanks of indent per level, no declaration. Values are 8-bit
// text in the system's code page; EscapeXmlText writes everything outside
// printable ASCII as a character reference of its Unicode code point, so
// the document is plain ASCII and reads the same whatever encoding a reader
// assumes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

class TXMLItem;

class TXMLItems {
public:
    TXMLItems() = default;
    TXMLItems(const TXMLItems&) = delete;
    TXMLItems& operator=(const TXMLItems&) = delete;
    ~TXMLItems();  // frees the items, last first

    TXMLItem& AddItem(std::string_view name);
    TXMLItem& GetItem(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(items_.size()); }

private:
    std::vector<std::unique_ptr<TXMLItem>> items_;
};

class TXMLItem {
public:
    explicit TXMLItem(std::string_view name) : ElementName(name) {}
    TXMLItem(const TXMLItem&) = delete;
    TXMLItem& operator=(const TXMLItem&) = delete;

    void AddAttribute(std::string_view name, std::string_view value);
    TXMLItem& AddChild(std::string_view name);
    std::string GetXML();
    void WriteTo(std::string& out);

    std::string ElementName;
    std::string AttributeText;
    std::string IndentText;
    TXMLItems Children;
    TXMLItem* ParentItem = nullptr;
};

// Quotes, ampersand, apostrophe, angle brackets, TAB, CR, LF and every
// non-ASCII character become "&#" + at least three decimal digits + ";";
// the other control characters, which XML 1.0 cannot carry at all, become
// U+FFFD.
std::string EscapeXmlText(std::string_view value);

}  // namespace drevnik
