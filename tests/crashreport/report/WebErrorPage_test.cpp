// The web error page from its template, its header block, and the capture
// of gzip-compressed pages.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/report/WebErrorPage.h"

namespace drevnik {
namespace {

TWebPageSettings Settings(std::string pageTemplate) {
    TWebPageSettings s;
    s.Template = std::move(pageTemplate);
    s.DefaultTemplate = TDrevnikOptionValues::DefaultHtmlPageTemplate();
    s.Title = "Error occurred";
    s.Id = 0x00C0FFEE;
    return s;
}

TEST(WebErrorPage, TemplateCases) {
    const std::string id = "<!-- DrevnikLog ID: 00C0FFEE -->";
    struct Row {
        const char* Template;
        const char* Message;
        std::string Expected;
    } rows[] = {
        {"<title>T</title><p><%HTML_TAG%></p>", "boom", "<title>T</title><p>boom</p>" + id},
        // No place holder: the template alone; the message does not appear.
        {"<title>T</title><p>static</p>", "boom", "<title>T</title><p>static</p>" + id},
        {"<title>T</title><%HTML_TAG%>|<%HTML_TAG%>", "x", "<title>T</title>x|x" + id},
        // The first place holder is found in any case.
        {"<TITLE>T</Title><%html_tag%>", "x", "<TITLE>T</Title>x" + id},
        // No title, or no closing one after it: one is put first.
        {"<p><%HTML_TAG%></p>", "x", "<title>Error occurred</title><p>x</p>" + id},
        {"</title><title><%HTML_TAG%>", "x", "<title>Error occurred</title></title><title>x" + id},
        // The report text is escaped: markup in a message never becomes markup.
        {"<title>T</title><%HTML_TAG%>", "<script>alert('x')</script> & \"q\"\r\nnext",
         "<title>T</title>&lt;script&gt;alert(&#039;x&#039;)&lt;/script&gt; &amp; &quot;q&quot;<br>\r\nnext" + id},
        // A message that holds the place holder is escaped before it is merged.
        {"<title>T</title><%HTML_TAG%>", "<%HTML_TAG%>", "<title>T</title>&lt;%HTML_TAG%&gt;" + id},
    };
    for (const Row& row : rows)
        EXPECT_EQ(BuildWebErrorPage(row.Message, false, Settings(row.Template)), row.Expected) << row.Template;
}

TEST(WebErrorPage, BlankTemplateFallsBackToTheDefaultAndTheOkButtonIsAlwaysThere) {
    const std::string page = BuildWebApplicationErrorPage("Access violation", Settings(" \r\n\t "));
    const std::string expected = BuildWebApplicationErrorPage("Access violation", Settings(TDrevnikOptionValues::DefaultHtmlPageTemplate()));
    EXPECT_EQ(page, expected);
    EXPECT_NE(page.find("Access violation" + std::string(kWebOkButton)), std::string::npos) << page;

    const std::string noTag = BuildWebApplicationErrorPage("m", Settings("<title>T</title>static"));
    EXPECT_EQ(noTag, "<title>T</title>static<!-- DrevnikLog ID: 00C0FFEE -->" + std::string(kWebOkButton));
}

TEST(WebErrorPage, TitleTextIsEscaped) {
    TWebPageSettings s = Settings("<%HTML_TAG%>");
    s.Title = "A & B <1>";
    EXPECT_EQ(BuildWebErrorPage("m", false, s).rfind("<title>A &amp; B &lt;1&gt;</title>m", 0), 0u);
}

TEST(WebErrorPage, HeaderBlocks) {
    EXPECT_EQ(WebHeaderBlock(true, 1234),
              "Status: 200 Error\r\nContent-Type: text/html\r\nContent-Length: 1234\r\nContent:\r\n\r\n");
    EXPECT_EQ(WebHeaderBlock(false, 0), "Content-Type: text/html\r\nContent-Length: 0\r\nContent:\r\n\r\n");
}

// A gzip member made with zlib's own gzip wrapper, with the header fields asked for.
std::string Gzip(const std::string& text, const char* name, const char* comment, bool extra) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    gz_header header{};
    std::string extraBytes = "AB\x02\x00xy";
    if (name != nullptr) header.name = reinterpret_cast<Bytef*>(const_cast<char*>(name));
    if (comment != nullptr) header.comment = reinterpret_cast<Bytef*>(const_cast<char*>(comment));
    if (extra) {
        header.extra = reinterpret_cast<Bytef*>(extraBytes.data());
        header.extra_len = static_cast<uInt>(extraBytes.size());
    }
    header.hcrc = extra ? 1 : 0;
    deflateSetHeader(&z, &header);
    std::string out(text.size() + 1024, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

TEST(WebErrorPage, GzipPagesAreUnpackedWhateverTheirHeaderHolds) {
    const std::string page = "<html><body>" + std::string(5000, 'x') + "</body></html>";
    EXPECT_EQ(GunzipToStream(Gzip(page, nullptr, nullptr, false)), page);
    EXPECT_EQ(GunzipToStream(Gzip(page, "page.html", nullptr, false)), page);
    EXPECT_EQ(GunzipToStream(Gzip(page, "page.html", "a comment", true)), page);
    // A cut stream keeps what came before the cut.
    const std::string gz = Gzip(page, "p", nullptr, false);
    const std::string cut = GunzipToStream(gz.substr(0, gz.size() - 20));
    EXPECT_FALSE(cut.empty());
    EXPECT_EQ(page.rfind(cut, 0), 0u);
}

TEST(WebErrorPage, MalformedGzipHeadersAreRefusedWithoutReadingPastTheData) {
    const std::string gz = Gzip("<p>x</p>", "name.html", nullptr, false);
    const std::string cases[] = {
        std::string("\x1f\x8b", 2),                       // no header
        std::string("\x1f\x8b\x08\x08\0\0\0\0\0\x03name", 14),  // file name without its end
        std::string("\x1f\x8b\x08\x04\0\0\0\0\0\x03\xff\xff", 12),  // extra field longer than the data
        gz.substr(0, 12),                                  // no room for the trailer
        std::string("\x1f\x8b\x07\0\0\0\0\0\0\x03", 10) + std::string(10, '\0'),  // not deflate
    };
    for (const std::string& c : cases) EXPECT_THROW(GunzipToStream(c), EDrevnikStreamError) << c.size();
}

TEST(WebErrorPage, CaptureKeepsTheLastPageButNotTheLibrarysOwn) {
    TWebPageCapture capture;
    capture.ErrorPageIdComment = "<!-- DrevnikLog ID: 00C0FFEE -->";
    CaptureHtmlResponse(capture, "TEXT/HTML", Gzip("<p>one</p>", "one.html", nullptr, false));
    EXPECT_EQ(capture.LastHtmlPage, "<p>one</p>");
    EXPECT_TRUE(capture.Compressed);
    CaptureHtmlResponse(capture, "text/html", "<p>own</p><!-- DrevnikLog ID: 00C0FFEE -->");
    CaptureHtmlResponse(capture, "image/png", "\x89PNG");
    EXPECT_EQ(capture.LastHtmlPage, "<p>one</p>");
    CaptureHtmlResponse(capture, "text/html", "<p>two</p>");
    EXPECT_EQ(capture.LastHtmlPage, "<p>two</p>");
    EXPECT_FALSE(capture.Compressed);
    // Damaged gzip data is kept as it came rather than lost.
    CaptureHtmlResponse(capture, "text/html", std::string("\x1f\x8b\x08", 3));
    EXPECT_EQ(capture.LastHtmlPage, std::string("\x1f\x8b\x08", 3));
}

}  // namespace
}  // namespace drevnik
