// Scanners that read form fields out of a received web page: inputs, text
// areas and selections, as the bug-tracker submitters need them to fill the
// next form. Every scanner walks forward only and never reads past the text;
// an element cut off by the end of a page counts as missing.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace drevnik {

// Searches `marker` (ignoring case) from `pos`; the value runs from after the
// marker to the first stop string. Inside a tag a quote opens a quoted run that
// only the same quote closes, and '>' outside quotes leaves the tag; outside a
// tag '<' enters one. A stop that starts with '<' counts when no quote is open
// or outside a tag; any other stop counts only inside a tag with no quote open.
// The value is trimmed and blanks around '=' inside tags (outside quotes) are
// removed; entities are left for the caller, who decodes the final value once.
// `pos` moves to the stop. Without a stop the element is incomplete and
// nothing is found, unless `endIsStop` lets the end of the text stop it
// (with every quote closed).
bool ExtractTagText(std::string_view text, std::string_view marker,
                    std::initializer_list<std::string_view> stops, size_t& pos, std::string& value,
                    bool endIsStop = false);

// One left-to-right pass over the named entities of '&', '"', '<', '>', the
// non-breaking space (a blank) and the apostrophe, and "&#<decimal>;".
// A decoded '&' is never read again as the start of an entity.
std::string DecodeHtmlEntities(std::string_view text);

// The decoded value of one attribute of a tag's text (the text after the tag
// name, without the closing '>'). A bare attribute gives an empty value.
bool FindTagAttribute(std::string_view tagText, std::string_view attribute, std::string& value);

// The value of the first <input> of that name whose value is not empty.
bool FindInputValue(std::string_view page, std::string_view name, std::string& value);
// The text of the first <textarea> of that name (trimmed, decoded).
bool FindTextAreaValue(std::string_view page, std::string_view name, std::string& value);
// The value of the selected option of the first <select> of that name; empty
// (and true) when no option is selected.
bool FindSelectSelectedValue(std::string_view page, std::string_view name, std::string& value);
// The value of the first option of a <select> of that name whose shown text
// equals `optionText`.
bool FindSelectOptionValueByText(std::string_view page, std::string_view name,
                                 std::string_view optionText, std::string& value);

// Lower-cases both texts, finds `marker` `count` times (each after the last
// match) and gives the text after the last match up to a blank, '"', '&', '\'',
// '<', '>', '\\' or the end.
bool ExtractTextAfter(std::string_view text, std::string_view marker, int count, std::string& result);

}  // namespace drevnik
