#include "crashreport/report/WebErrorPage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

namespace {

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    return LowerCase(text).find(LowerCase(what), from);
}

bool ContainsNoCase(std::string_view text, std::string_view what) {
    return FindNoCase(text, what) != std::string_view::npos;
}

}  // namespace

std::string ErrorPageIdCommentFor(uint32_t id) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(id));
    return ReplaceAll(kErrorPageIdFormat, "%s", hex);
}

std::string MergeIntoHtmlTemplate(std::string_view content, const TWebPageSettings& settings) {
    std::string page = settings.Template;
    if (Trim(CollapseControlChars(page)).empty()) page = settings.DefaultTemplate;
    const std::string_view tag = kHtmlTagPlaceHolder;
    if (const std::size_t at = FindNoCase(page, tag); at != std::string::npos) page.replace(at, tag.size(), tag);
    const std::size_t title = FindNoCase(page, "<title>");
    if (title == std::string::npos || FindNoCase(page, "</title>", title) == std::string::npos)
        page = "<title>" + HtmlEscape(settings.Title) + "</title>" + page;
    return ReplaceAll(page, tag, content) + ErrorPageIdCommentFor(settings.Id);
}

std::string BuildWebErrorPage(std::string_view message, bool withOkButton, const TWebPageSettings& settings) {
    std::string content = HtmlEscape(message);
    if (withOkButton) content += kWebOkButton;
    return MergeIntoHtmlTemplate(content, settings);
}

std::string BuildWebApplicationErrorPage(std::string_view text, const TWebPageSettings& settings) {
    std::string page = BuildWebErrorPage(text, true, settings);
    if (!ContainsNoCase(page, kWebOkButton)) page += kWebOkButton;
    return page;
}

std::string WebHeaderBlock(bool withStatusLine, std::size_t pageLength) {
    std::string block;
    if (withStatusLine) block += "Status: 200 Error\r\n";
    block += "Content-Type: text/html\r\n";
    block += "Content-Length: " + std::to_string(pageLength) + "\r\n";
    block += "Content:\r\n\r\n";
    return block;
}

// ---- gzip --------------------------------------------------------------------------------

bool IsGzipData(std::string_view data) {
    return data.size() >= 2 && static_cast<uint8_t>(data[0]) == 0x1F && static_cast<uint8_t>(data[1]) == 0x8B;
}

std::string GunzipToStream(std::string_view gzip) {
    constexpr uint8_t kHeaderCrc = 1u << 1, kExtra = 1u << 2, kName = 1u << 3, kComment = 1u << 4;
    constexpr std::size_t kTrailer = 8;
    TDrevnikByteReader r(gzip, "gzip data");
    if (r.ReadU16("magic") != 0x8B1F) r.Fail("magic", "not gzip data");
    if (r.ReadU8("method") != 8) r.Fail("method", "not deflate");
    const uint8_t flags = r.ReadU8("flags");
    r.Skip(6, "header");
    if ((flags & kExtra) != 0) r.Skip(r.ReadU16("extra length"), "extra field");
    for (const uint8_t field : {kName, kComment}) {
        if ((flags & field) == 0) continue;
        while (r.ReadU8(field == kName ? "file name" : "comment") != 0) {
        }
    }
    if ((flags & kHeaderCrc) != 0) r.Skip(2, "header CRC");
    if (r.Remaining() < kTrailer) r.Fail("trailer", "data too short");
    const std::string_view deflated = r.Chars(r.Remaining() - kTrailer, "deflate data");

    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
    std::string out;
    std::vector<uint8_t> buffer(64 * 1024);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(deflated.size(), 0x7FFFFFFF));
    for (;;) {
        z.next_out = buffer.data();
        z.avail_out = static_cast<uInt>(buffer.size());
        const int result = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = buffer.size() - z.avail_out;
        out.append(reinterpret_cast<const char*>(buffer.data()), std::min(produced, kMaxUnpackedPage - out.size()));
        // A damaged or cut stream keeps what was unpacked before it.
        if (result != Z_OK || out.size() >= kMaxUnpackedPage || (produced == 0 && z.avail_in == 0)) break;
    }
    inflateEnd(&z);
    return out;
}

// ---- Response capture ------------------------------------------------------------------

bool IsHtmlResponse(std::string_view contentType) { return LowerCase(contentType) == "text/html"; }

void CaptureHtmlResponse(TWebPageCapture& capture, std::string_view contentType, std::string_view content) {
    if (!IsHtmlResponse(contentType)) return;
    if (!capture.ErrorPageIdComment.empty() && content.find(capture.ErrorPageIdComment) != std::string_view::npos)
        return;
    capture.Compressed = IsGzipData(content);
    if (!capture.Compressed) {
        capture.LastHtmlPage = std::string(content);
        return;
    }
    try {
        capture.LastHtmlPage = GunzipToStream(content);
    } catch (const fw::Exception&) {
        capture.LastHtmlPage = std::string(content);
    }
}

}  // namespace drevnik
