// Form scanners on saved pages, whole and cut off at every length.
#include "crashreport/delivery/HtmlFormScan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <random>

namespace drevnik {
namespace {

// A page as the client keeps it: one line, control bytes made blanks.
std::string LoadPage(const std::string& name) {
    std::ifstream in(std::string(KYN_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : page) {
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    }
    return page;
}

using TFinder = bool (*)(std::string_view, std::string_view, std::string&);

struct TLookup {
    const char* what;
    TFinder finder;
    std::string name;
    std::optional<std::string> expected;  // nullopt: not found
};

bool FindOptionJoe(std::string_view page, std::string_view name, std::string& value) {
    return FindSelectOptionValueByText(page, name, "joe", value);
}
bool FindOptionRnD(std::string_view page, std::string_view name, std::string& value) {
    return FindSelectOptionValueByText(page, name, "R&D team", value);
}
bool FindOptionClosed(std::string_view page, std::string_view name, std::string& value) {
    return FindSelectOptionValueByText(page, name, "closed", value);
}
bool FindOptionNobody(std::string_view page, std::string_view name, std::string& value) {
    return FindSelectOptionValueByText(page, name, "nobody", value);
}

const std::vector<TLookup>& Lookups() {
    static const std::vector<TLookup> lookups = {
        {"input", FindInputValue, "bug_update_token", "20240101abc&def"},
        {"input", FindInputValue, "BUG_ID", "12"},
        {"input", FindInputValue, "summary", "[v1.0.0.1 - 7]: EAccessViolation (3F2A)"},
        {"input", FindInputValue, "empty_first", "second"},
        {"input", FindInputValue, "value_first", "before"},
        // Entities are decoded once: an escaped "&lt;" stays "&lt;".
        {"input", FindInputValue, "title", "It's \"quoted\" &lt; text"},
        {"input", FindInputValue, "apostrophe", "Can't open > file"},
        {"input", FindInputValue, "decoy", "name=\"bug_id\""},
        {"input", FindInputValue, "severity", std::nullopt},
        {"input", FindInputValue, "missing", std::nullopt},
        {"select", FindSelectSelectedValue, "severity", "50"},
        {"select", FindSelectSelectedValue, "priority", "30"},
        {"select", FindSelectSelectedValue, "status", "80"},
        {"select", FindSelectSelectedValue, "resolution", ""},
        {"select", FindSelectSelectedValue, "view_state", "private"},
        {"select", FindSelectSelectedValue, "bug_id", std::nullopt},
        {"option", FindOptionJoe, "handler_id", "5"},
        {"option", FindOptionRnD, "handler_id", "7"},
        {"option", FindOptionClosed, "status", "90"},
        {"option", FindOptionNobody, "handler_id", std::nullopt},
        {"option", FindOptionJoe, "severity", std::nullopt},
        {"textarea", FindTextAreaValue, "description", "Line one = x <b> it's line two"},
        {"textarea", FindTextAreaValue, "additional_information", ""},
        // A self-closed text area has no text and ends the search.
        {"textarea", FindTextAreaValue, "bugnote_text", std::nullopt},
        {"textarea", FindTextAreaValue, "after_self_closed", std::nullopt},
    };
    return lookups;
}

TEST(HtmlFormScan, FindsFieldsOfASavedPage) {
    const std::string page = LoadPage("update_page.html");
    for (const TLookup& lookup : Lookups()) {
        SCOPED_TRACE(std::string(lookup.what) + " " + lookup.name);
        std::string value = "stale";
        bool found = lookup.finder(page, lookup.name, value);
        EXPECT_EQ(found, lookup.expected.has_value());
        if (lookup.expected) {
            EXPECT_EQ(value, *lookup.expected);
        }
    }
}

TEST(HtmlFormScan, TruncatedPagesFindCompleteElementsOnly) {
    const std::string page = LoadPage("update_page.html");
    // Every prefix: a field is either missing or exactly what the whole page
    // gives; the sanitizers watch the reads.
    for (size_t length = 0; length <= page.size(); ++length) {
        const std::string prefix = page.substr(0, length);
        for (const TLookup& lookup : Lookups()) {
            std::string value;
            if (lookup.finder(prefix, lookup.name, value)) {
                ASSERT_TRUE(lookup.expected.has_value()) << length << " " << lookup.name;
                ASSERT_EQ(value, *lookup.expected) << "prefix of " << length << " bytes, " << lookup.name;
            }
        }
    }
}

TEST(HtmlFormScan, ExtractTagTextWalksForwardAndStaysInBounds) {
    const std::string page = LoadPage("update_page.html");
    for (size_t length : {page.size(), page.size() / 2, size_t{7}, size_t{0}}) {
        const std::string text = page.substr(0, length);
        for (const char* marker : {"<input ", "<select ", "<textarea ", "<option "}) {
            size_t pos = 0;
            std::string value;
            int found = 0;
            while (true) {
                size_t before = pos;
                bool more = ExtractTagText(text, marker, {">", "/>", "</select>", "</textarea>"}, pos, value);
                ASSERT_LE(pos, text.size());
                if (!more) break;
                ASSERT_GT(pos, before);
                ++found;
            }
            if (length == page.size()) {
                EXPECT_GT(found, 0) << marker;
            }
        }
    }
}

TEST(HtmlFormScan, SurvivesArbitraryMarkup) {
    // Pages stitched from the pieces the scanners react to; the sanitizers
    // catch any read outside the text, the loop bound any scan that stalls.
    static const char* const kPieces[] = {
        "<input ", "<select ", "<option ", "<option", "</option>", "</select>", "<textarea ", "</textarea>",
        "name=", "value=", " name = ", "\"", "'", ">", "/>", "<", "=", " ", "&amp;", "&#", "&#65;", ";", "&",
        "summary", "selected", "x", "-", "]", " - 9", "\x80",
    };
    std::mt19937 random(1234);
    std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1), count(0, 40);
    std::string value;
    for (int round = 0; round < 3000; ++round) {
        std::string page;
        for (size_t n = count(random); n > 0; --n) page += kPieces[piece(random)];
        FindInputValue(page, "summary", value);
        FindTextAreaValue(page, "x", value);
        FindSelectSelectedValue(page, "x", value);
        FindSelectOptionValueByText(page, "x", "x", value);
        FindTagAttribute(page, "name", value);
        ExtractTextAfter(page, "name=", 2, value);
        DecodeHtmlEntities(page);
    }
}

TEST(HtmlFormScan, ExtractTagTextHonoursQuotesAndStops) {
    struct Row { std::string text, marker; bool textarea; std::string expected; size_t pos; bool found; };
    const Row rows[] = {
        {"<input name = \"a b\" value='x>y' >rest", "<input ", false, "name=\"a b\" value='x>y'", 32, true},
        {"<INPUT type=text>", "<input ", false, "type=text", 16, true},
        // A mixed quote inside a quoted value does not close it.
        {"<input value=\"it's\" name=n>", "<input ", false, "value=\"it's\" name=n", 26, true},
        // Blanks around '=' in text content stay; "/>" there is text.
        {"<textarea name=t>a = b/>c</textarea>", "<textarea ", true, "name=t>a = b/>c", 25, true},
        {"<textarea name=t/>", "<textarea ", true, "name=t", 16, true},
        // No stop: the element is incomplete.
        {"<input name=\"a", "<input ", false, "", 14, false},
        {"<textarea name=t>cut off", "<textarea ", true, "", 24, false},
        {"no markup", "<input ", false, "", 9, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        size_t pos = 0;
        std::string value;
        bool found = row.textarea ? ExtractTagText(row.text, row.marker, {"</textarea>", "/>"}, pos, value)
                                  : ExtractTagText(row.text, row.marker, {">", "/>"}, pos, value);
        EXPECT_EQ(found, row.found);
        EXPECT_EQ(value, row.expected);
        EXPECT_EQ(pos, row.pos);
    }
}

TEST(HtmlFormScan, DecodesEntitiesInOnePass) {
    struct Row { std::string in, out; };
    const Row rows[] = {
        {"&amp;lt;", "&lt;"},
        {"&lt;b&gt; &quot;x&quot; &apos;y&apos;", "<b> \"x\" 'y'"},
        {"a&nbsp;b", "a b"},
        {"&#65;&#039;&#8364;", "A'\x80"},
        {"&#1114111;", "?"},
        {"&AMP; &amp &#; &#0; &#65 a & b", "&AMP; &amp &#; &#0; &#65 a & b"},
        {"&", "&"},
        {"&#", "&#"},
    };
    for (const Row& row : rows) EXPECT_EQ(DecodeHtmlEntities(row.in), row.out) << row.in;
}

TEST(HtmlFormScan, ExtractTextAfterCountsMatches) {
    const std::string page = LoadPage("update_page.html");
    struct Row { std::string marker; int count; std::optional<std::string> expected; };
    const Row rows[] = {
        {"bug_update_page.php?bug_id=", 1, "12"},
        {"VIEW.PHP?ID=", 1, "12"},
        {"<option value=", 1, ""},  // the quote ends it at once
        {"name=\"", 2, "summary"},
        {"bug_update_page.php?bug_id=", 2, std::nullopt},
        {"", 1, std::nullopt},
        {"value=", 0, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.marker);
        std::string result = "stale";
        bool found = ExtractTextAfter(page, row.marker, row.count, result);
        EXPECT_EQ(found, row.expected.has_value());
        if (row.expected) {
            EXPECT_EQ(result, *row.expected);
        }
    }
    std::string tail;
    EXPECT_TRUE(ExtractTextAfter("id=AbC", "ID=", 1, tail));
    EXPECT_EQ(tail, "abc");
}

}  // namespace
}  // namespace drevnik
