// Mini-HTML benchmark: lays out and draws a 2 KB caption (links, lists,
// colours) into an off-screen bitmap with RenderHtmlText (GDI) and
// RenderHtmlTextGP (GDI+), and prints the time per call next to a plain
// DrawText of the same caption's plain text.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/gui/graphics.h"
#include "widgets/drawing/HtmlRender.h"
#include "widgets/drawing/HtmlRenderGP.h"
#include "widgets/drawing/KelGDIP.h"

namespace {

std::wstring Caption() {
    std::wstring text =
        L"<P ALIGN=\"CENTER\"><B>Quorvex</B> <FONT COLOR=\"#2084FF\">scan-line display</FONT></P>"
        L"Read the <A href=\"https://example.invalid/manual\">manual</A> or the "
        L"<A href=\"https://example.invalid/faq\">questions</A> first.<BR>";
    int item = 0;
    while (text.size() < 1900) {
        ++item;
        text += L"<UL><LI>Item " + std::to_wstring(item) +
                L": <FONT COLOR=\"clred\">red</FONT>, <I>italic</I> and <U>underlined</U> words "
                L"with a <A href=\"item" + std::to_wstring(item) + L"\">link</A> &amp; more.</UL>";
    }
    while (text.size() < 2048) text += L" pad";
    return text;
}

// Microseconds per call of `body`, over at least half a second.
double MicrosecondsPerCall(const std::function<void()>& body) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    body();  // warm the caches
    int calls = 0;
    QueryPerformanceCounter(&start);
    do {
        body();
        ++calls;
        GdiFlush();
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < frequency.QuadPart / 2 || calls < 20);
    return 1e6 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart) / calls;
}

}  // namespace

int main() {
    kel::StartGdiplus();
    {
        fw::TBitmap bitmap(640, 2000);
        fw::TCanvas& canvas = bitmap.Canvas();
        canvas.Font().SetName(L"Tahoma");
        canvas.Font().SetSize(9);
        canvas.Font().SetColor(fw::clBlack);
        kel::THtmlParams params;
        params.Text = Caption();
        params.Rect = {0, 0, 640, 2000};
        kel::THtmlResults results;
        kel::TGPGraphics graphics(canvas.Handle());

        const double gdi = MicrosecondsPerCall([&] { kel::RenderHtmlText(canvas, params, results); });
        const std::wstring plain = results.PlainText;
        const double gdip =
            MicrosecondsPerCall([&] { kel::RenderHtmlTextGP(graphics, canvas.Font(), params, results); });
        const double drawText = MicrosecondsPerCall([&] {
            fw::SelectGuard font(canvas.Handle(), canvas.Font().Handle());
            RECT r{0, 0, 640, 2000};
            DrawTextW(canvas.Handle(), plain.c_str(), static_cast<int>(plain.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
        });
        std::printf("mini-HTML caption of %zu characters, laid out and drawn, per call:\n", params.Text.size());
        std::printf("  %-34s %10.1f us\n", "RenderHtmlText (GDI)", gdi);
        std::printf("  %-34s %10.1f us\n", "RenderHtmlTextGP (GDI+)", gdip);
        std::printf("  %-34s %10.1f us\n", "DrawText of its plain text (GDI)", drawText);
    }
    kel::StopGdiplus();
    return 0;
}
