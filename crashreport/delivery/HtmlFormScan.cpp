#include "crashreport/delivery/HtmlFormScan.h"

#include "crashreport/delivery/DeliveryText.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

using text::IEquals;
using text::IMatchAt;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsQuote(char c) { return c == '"' || c == '\''; }

// A block split at the '>' that ends its opening tag (outside quotes).
struct TTagBlock {
    std::string_view tag;      // attributes of the opening tag
    std::string_view content;  // what follows its '>'
    bool closed = false;       // the opening tag has its '>'
};

TTagBlock SplitTagBlock(std::string_view block) {
    char quote = 0;
    for (size_t i = 0; i < block.size(); ++i) {
        char c = block[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == '>') {
            return {block.substr(0, i), block.substr(i + 1), true};
        }
    }
    return {block, {}, false};
}

bool NameMatches(std::string_view tag, std::string_view name) {
    std::string found;
    return FindTagAttribute(tag, "name", found) && IEquals(found, name);
}

// Walks the options of a select's content; `visit` returns true to stop.
template <typename Visit>
bool ForEachOption(std::string_view content, Visit visit) {
    size_t pos = 0;
    std::string option;
    while (ExtractTagText(content, "<option ", {"</option>", "<option"}, pos, option, true)) {
        TTagBlock block = SplitTagBlock(option);
        if (visit(block)) return true;
    }
    return false;
}

// An option's value: its value attribute, else its text as a browser sends it.
std::string OptionValue(const TTagBlock& option) {
    std::string value;
    if (FindTagAttribute(option.tag, "value", value)) return value;
    return std::string(text::Trim(DecodeHtmlEntities(text::Trim(option.content))));
}

bool IsKnownEntity(std::string_view name) {
    return name == "amp" || name == "quot" || name == "lt" || name == "gt" || name == "nbsp" || name == "apos";
}

// An option's shown text. Entities that the decoder does not know (such as
// the arrow that marks a sub-project) are dropped rather than compared.
std::string OptionShownText(std::string_view content) {
    std::string kept;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '&') {
            size_t j = i + 1;
            while (j < content.size() && text::IsAsciiAlnum(content[j])) ++j;
            if (j > i + 1 && j < content.size() && content[j] == ';' &&
                !IsKnownEntity(content.substr(i + 1, j - i - 1))) {
                i = j;
                continue;
            }
        }
        kept.push_back(content[i]);
    }
    return std::string(text::Trim(DecodeHtmlEntities(kept)));
}

template <typename Visit>
bool ForEachSelectNamed(std::string_view page, std::string_view name, Visit visit) {
    size_t pos = 0;
    std::string select;
    while (ExtractTagText(page, "<select ", {"</select>"}, pos, select)) {
        TTagBlock block = SplitTagBlock(select);
        if (block.closed && NameMatches(block.tag, name) && visit(block)) return true;
    }
    return false;
}

}  // namespace

bool ExtractTagText(std::string_view text, std::string_view marker,
                    std::initializer_list<std::string_view> stops, size_t& pos, std::string& value,
                    bool endIsStop) {
    value.clear();
    size_t start = pos <= text.size() ? text::IFind(text, marker, pos) : std::string_view::npos;
    if (start == std::string_view::npos || marker.empty()) {
        pos = text.size();
        return false;
    }

    bool inTag = true;
    char quote = 0;
    bool afterEquals = false;
    std::string raw;
    size_t i = start + marker.size();
    for (; i < text.size(); ++i) {
        bool stopped = false;
        for (std::string_view stop : stops) {
            bool elementStop = !stop.empty() && stop.front() == '<';
            bool counts = elementStop ? (quote == 0 || !inTag) : (inTag && quote == 0);
            if (counts && !stop.empty() && IMatchAt(text, i, stop)) {
                stopped = true;
                break;
            }
        }
        if (stopped) break;

        char c = text[i];
        bool tagSyntax = inTag && quote == 0;
        if (tagSyntax && c == '=') {
            while (!raw.empty() && IsBlank(raw.back())) raw.pop_back();
            raw.push_back(c);
            afterEquals = true;
        } else if (!(tagSyntax && afterEquals && IsBlank(c))) {
            raw.push_back(c);
            afterEquals = false;
        }

        if (inTag) {
            if (quote) {
                if (c == quote) quote = 0;
            } else if (IsQuote(c)) {
                quote = c;
            } else if (c == '>') {
                inTag = false;
            }
        } else if (c == '<') {
            inTag = true;
        }
    }
    pos = i;
    if (i == text.size() && !(endIsStop && quote == 0)) return false;
    value = std::string(text::Trim(raw));
    return true;
}

std::string DecodeHtmlEntities(std::string_view text) {
    struct TNamed { std::string_view entity; char ch; };
    static constexpr TNamed kNamed[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&nbsp;", ' '}, {"&apos;", '\''},
    };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out.push_back(text[i]);
            continue;
        }
        bool done = false;
        for (const TNamed& named : kNamed) {
            if (text.substr(i, named.entity.size()) == named.entity) {
                out.push_back(named.ch);
                i += named.entity.size() - 1;
                done = true;
                break;
            }
        }
        if (done) continue;
        if (i + 1 < text.size() && text[i + 1] == '#') {
            size_t j = i + 2;
            uint32_t number = 0;
            while (j < text.size() && text::IsAsciiDigit(text[j]) && j - i < 10) {
                number = number * 10 + static_cast<uint32_t>(text[j] - '0');
                ++j;
            }
            if (j > i + 2 && j < text.size() && text[j] == ';' && number > 0) {
                if (number < 256) {
                    out.push_back(static_cast<char>(number));
                } else if (number <= 0xFFFF) {
                    out += fw::WideToAnsi(std::wstring(1, static_cast<wchar_t>(number)));
                } else {
                    out.push_back('?');
                }
                i = j;
                continue;
            }
        }
        out.push_back('&');
    }
    return out;
}

bool FindTagAttribute(std::string_view tagText, std::string_view attribute, std::string& value) {
    size_t i = 0;
    const size_t n = tagText.size();
    while (i < n) {
        while (i < n && (IsBlank(tagText[i]) || tagText[i] == '/')) ++i;
        size_t nameStart = i;
        while (i < n && !IsBlank(tagText[i]) && tagText[i] != '=' && tagText[i] != '>' && tagText[i] != '/') ++i;
        std::string_view name = tagText.substr(nameStart, i - nameStart);
        if (name.empty()) {
            if (i < n) ++i;  // a stray '=' or '>': step over it
            continue;
        }
        size_t j = i;
        while (j < n && IsBlank(tagText[j])) ++j;
        std::string_view raw;
        if (j < n && tagText[j] == '=') {
            ++j;
            while (j < n && IsBlank(tagText[j])) ++j;
            if (j < n && IsQuote(tagText[j])) {
                char quote = tagText[j];
                size_t close = tagText.find(quote, j + 1);
                if (close == std::string_view::npos) close = n;
                raw = tagText.substr(j + 1, close - j - 1);
                i = close < n ? close + 1 : n;
            } else {
                size_t end = j;
                while (end < n && !IsBlank(tagText[end]) && tagText[end] != '>') ++end;
                raw = tagText.substr(j, end - j);
                i = end;
            }
        }
        if (IEquals(name, attribute)) {
            value = DecodeHtmlEntities(raw);
            return true;
        }
    }
    value.clear();
    return false;
}

bool FindInputValue(std::string_view page, std::string_view name, std::string& value) {
    size_t pos = 0;
    std::string tag;
    while (ExtractTagText(page, "<input ", {">", "/>"}, pos, tag)) {
        if (!tag.empty() && tag.back() == '/') tag.pop_back();
        std::string found;
        if (NameMatches(tag, name) && FindTagAttribute(tag, "value", found) && !found.empty()) {
            value = found;
            return true;
        }
    }
    value.clear();
    return false;
}

bool FindTextAreaValue(std::string_view page, std::string_view name, std::string& value) {
    size_t pos = 0;
    std::string area;
    while (ExtractTagText(page, "<textarea ", {"</textarea>", "/>"}, pos, area)) {
        TTagBlock block = SplitTagBlock(area);
        if (!block.closed) break;
        if (NameMatches(block.tag, name)) {
            value = std::string(text::Trim(DecodeHtmlEntities(text::Trim(block.content))));
            return true;
        }
    }
    value.clear();
    return false;
}

bool FindSelectSelectedValue(std::string_view page, std::string_view name, std::string& value) {
    value.clear();
    return ForEachSelectNamed(page, name, [&](const TTagBlock& select) {
        ForEachOption(select.content, [&](const TTagBlock& option) {
            std::string ignored;
            if (!FindTagAttribute(option.tag, "selected", ignored)) return false;
            value = OptionValue(option);
            return true;
        });
        return true;
    });
}

bool FindSelectOptionValueByText(std::string_view page, std::string_view name,
                                 std::string_view optionText, std::string& value) {
    value.clear();
    return ForEachSelectNamed(page, name, [&](const TTagBlock& select) {
        return ForEachOption(select.content, [&](const TTagBlock& option) {
            if (!option.closed || OptionShownText(option.content) != optionText) return false;
            value = OptionValue(option);
            return true;
        });
    });
}

bool ExtractTextAfter(std::string_view text, std::string_view marker, int count, std::string& result) {
    result.clear();
    if (marker.empty() || count < 1) return false;
    std::string lowerText = text::Lower(text);
    std::string lowerMarker = text::Lower(marker);
    size_t pos = 0;
    for (int k = 0; k < count; ++k) {
        size_t found = lowerText.find(lowerMarker, pos);
        if (found == std::string::npos) return false;
        pos = found + lowerMarker.size();
    }
    size_t end = lowerText.find_first_of(std::string_view(" \"&'<>\\"), pos);
    result = lowerText.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    return true;
}

}  // namespace drevnik
