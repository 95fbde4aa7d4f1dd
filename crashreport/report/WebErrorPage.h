// The HTML error page of web applications (CGI, WinCGI, ISAPI): the page
// built from the options' template, the HTTP header block written before it,
// and the reading of gzip-compressed pages that a web framework sent, kept
// as the last HTML page of the report. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

constexpr const char* kHtmlTagPlaceHolder = "<%HTML_TAG%>";
constexpr const char* kErrorPageIdFormat = "<!-- DrevnikLog ID: %s -->";
constexpr const char* kWebOkButton =
    "<br><input type=button value=\"Ok\" OnClick=\"history.go(-1)\" "
    "style=\"width:75;height:25;z-index:100;font-style:normal;font-size:10pt;text-decoration:none;\">";
// Bound of an unpacked page; the rest is dropped.
constexpr std::size_t kMaxUnpackedPage = 16u << 20;

// What a page is built from: the options' template, the default one (used
// when the template holds nothing but blanks and control characters), the
// title (text 3) and the page's random id.
struct TWebPageSettings {
    std::string Template;
    std::string DefaultTemplate;
    std::string Title;
    uint32_t Id = 0;
};

// "<!-- DrevnikLog ID: 0012ABCD -->".
std::string ErrorPageIdCommentFor(uint32_t id);
// The template with every place holder replaced by `content` (HTML already),
// a title added when the template has none, and the id comment at its end.
std::string MergeIntoHtmlTemplate(std::string_view content, const TWebPageSettings& settings);
// The message HTML-escaped (and the Ok button after it when asked), merged.
std::string BuildWebErrorPage(std::string_view message, bool withOkButton, const TWebPageSettings& settings);
// The page of the main handler: the message page with the Ok button, which
// is appended when the template has no place holder.
std::string BuildWebApplicationErrorPage(std::string_view text, const TWebPageSettings& settings);

// The header block before the page; CGI and WinCGI answers start with a
// "Status:" line, ISAPI passes its status through the server.
std::string WebHeaderBlock(bool withStatusLine, std::size_t pageLength);

// The pages of a gzip file: the header (with all optional fields) skipped,
// the deflate data inflated; what was unpacked before a damaged or cut end
// is kept. Raises EDrevnikStreamError when the header is malformed.
std::string GunzipToStream(std::string_view gzip);
bool IsGzipData(std::string_view data);

// The state the response capture keeps: the last HTML page a web framework
// sent (unpacked), whether it came compressed, and the id comment of the
// library's own last error page.
struct TWebPageCapture {
    std::string LastHtmlPage;
    bool Compressed = false;
    std::string ErrorPageIdComment;
};
// A response's content type is "text/html" (any case).
bool IsHtmlResponse(std::string_view contentType);
// Keeps an HTML response as the last page unless it is the library's own
// error page. A page whose gzip data cannot be read is kept as it came.
void CaptureHtmlResponse(TWebPageCapture& capture, std::string_view contentType, std::string_view content);

}  // namespace drevnik
