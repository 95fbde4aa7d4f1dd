// Feeds arbitrary markup to the mini-HTML layout engine on the recording
// fake surface, under both the GDI and the GDI+ rules: it must neither read
// out of bounds, overflow nor loop, and its results must stay consistent.
// The first four bytes choose the options, the rest is the markup (one
// character per byte).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/widgets/drawing/html_fake_surface.h"
#include "widgets/drawing/HtmlLayout.h"
#include "widgets/drawing/HtmlMarkup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint8_t flags = data[0];
    kel::test::TFakeRun run(flags & 1 ? kel::GdipHtmlPolicy() : kel::GdiHtmlPolicy());
    run.surface.pictures[L"IDX:0"] = {16, 16};
    run.surface.pictures[L"SSYS:1"] = {16, 16};
    run.surface.pictures[L"LOGO"] = {40, 20, 3, 4};
    run.surface.pictures[L"http://x/y"] = {1, 1};
    kel::THtmlParams& p = run.params;
    p.WordWrap = !(flags & 2);
    p.MeasureOnly = flags & 4;
    p.HitTestOnly = flags & 8;
    p.SelectedMode = flags & 16;
    p.HoverUnderlineOnly = flags & 32;
    p.BlinkPhase = flags & 64;
    p.PrintMode = flags & 128;
    p.HitX = data[1];
    p.HitY = data[2];
    p.FocusLinkIndex = (data[3] & 7) - 1;
    p.HoverLinkIndex = (data[3] >> 3 & 7) - 1;
    p.LineSpacing = data[3] >> 6;
    p.ShadowOffset = 1;
    p.HoverBackColor = fw::clYellow;

    std::wstring text;
    for (size_t i = 4; i < size; ++i) text += static_cast<wchar_t>(data[i]);
    run.Run(text, {3, 2, 3 + 8 + data[1], 400});

    const kel::THtmlResults& r = run.results;
    if (r.TextWidth < 0 || r.TextHeight <= 0 || r.LinkCount < 0) abort();
    if (r.LinkUnderPoint != -1 && (r.LinkUnderPoint < 1 || r.LinkUnderPoint > r.LinkCount)) abort();
    if (r.PlainText.size() > text.size()) abort();
    if (run.hit && p.MeasureOnly) abort();

    // The vocabulary on its own: decoding never grows a text.
    if (kel::DecodeHtmlEntities(text).size() > text.size()) abort();
    (void)kel::HtmlColor(text);
    return 0;
}
