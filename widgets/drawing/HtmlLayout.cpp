#include "widgets/drawing/HtmlLayout.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "widgets/drawing/HtmlMarkup.h"

namespace kel {

THtmlPolicy GdiHtmlPolicy() { return THtmlPolicy{}; }

THtmlPolicy GdipHtmlPolicy() {
    THtmlPolicy p;
    p.BoxInset = 1;
    p.TrimLines = false;
    p.SpaceLastLine = false;
    p.HeightMargin = 2;
    p.HalfScriptExtra = true;
    p.BlankPiecesEmpty = true;
    p.AnchorOnTextBand = true;
    p.TextFromTop = true;
    p.UnderlineBlanks = true;
    p.SkipPiecesPastEdge = false;
    p.FitInclusive = true;
    p.BreakOnlyAfterBlanks = true;
    p.SubtractTrailingBlank = false;
    p.PaintsBackgrounds = false;
    p.ListImages = true;
    p.ErrorSegments = true;
    return p;
}

namespace {

constexpr std::wstring_view kGh = L"gh";
constexpr int kListIndent = 12;
constexpr int kGradientBands = 64;
constexpr int kMaxFontPoints = 1000;
constexpr size_t kNone = static_cast<size_t>(-1);

enum TAlign { alLeft, alRight, alCenter };
enum class TBackgroundPlace { Tiled, TopLeft, TopRight };

// MulDiv: the product over the divisor, halves rounded away from zero.
int MulDivRound(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

std::wstring_view TrimControls(std::wstring_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] <= L' ') ++begin;
    while (end > begin && text[end - 1] <= L' ') --end;
    return text.substr(begin, end - begin);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != std::wstring_view::npos; }

fw::TColor ColorOrNone(std::wstring_view value) { return value.empty() ? fw::clNone : HtmlColor(value); }

// The wavy red line under a misspelt piece from x to right: one polyline
// (GDI) or strokes with one more at the end (GDI+).
std::vector<THtmlLine> ErrorZigzag(int x, int right, int bottom, bool segments) {
    std::vector<THtmlLine> lines;
    int x0 = x - (((x % 2) + 2) % 2);  // down to an even number
    int d = (((x0 % 4) + 4) % 4) == 0 ? 2 : 0;
    if (segments) {
        auto stroke = [&] {
            d = 2 - d;
            lines.push_back({x0, bottom - 4 + d, x0 + 2, bottom - 2 - d});
        };
        for (; x0 < right; x0 += 2) stroke();
        stroke();
        return lines;
    }
    int px = x0, py = bottom + d - 1;
    for (; x0 < right; x0 += 2) {
        d = 2 - d;
        lines.push_back({px, py, x0 + 2, bottom + d - 1});
        px = x0 + 2;
        py = bottom + d - 1;
    }
    return lines;
}

class TLayout {
public:
    TLayout(THtmlSurface& surface, const THtmlFont& font, const THtmlParams& params, THtmlResults& results)
        : s_(surface), pol_(surface.Policy()), p_(params), r_(results), base_(font) {
        st_.font = font;
        st_.hiText = font.Color;
    }

    bool Run();

private:
    // Everything the markup changes that both passes of a line start from.
    struct TState {
        THtmlFont font;
        int linkCount = 0;
        int listLevel = 0;
        int imageNumber = 0;
        bool inLink = false;
        std::wstring href;
        bool shadow = false, hidden = false, error = false, sub = false, sup = false;
        int align = alLeft;
        int indent = 0;
        int offset = 0;  // "<OF"
        bool paraBackground = false;
        fw::TColor brush = fw::clNone;  // text background; clNone: none
        // Remembered for the closing tags.
        fw::TColor linkBrush = fw::clNone, fontBrush = fw::clNone, paraBrush = fw::clNone, hiBrush = fw::clNone;
        fw::TColor hiText = fw::clBlack;
    };

    // Measures of one line, shared by its two passes.
    struct TMetrics {
        int height = 0;
        int subExtra = 0;
        int supExtra = 0;
        int raise = 0;
    };

    struct TPass {
        bool drawing = false;
        TIntRect box;
        int x = 0;
        int width = 0;
        bool ended = false;
        bool full = false;
        bool hadListItem = false;
        bool breakAllowed = true;  // the last placed piece ended in a blank
        bool placedPiece = false;  // a text piece is on the line
        bool endsInBlank = false;
        THtmlFont blankFont;       // font of that blank
        std::wstring lineText;     // measuring: what the line consumed
    };

    // A link's part on the current line, in line widths.
    struct TLinkSpan {
        int number;
        std::wstring href;
        int from;
        int to;
    };

    // A linked word or picture of the current line.
    struct THit {
        bool image;
        int from, to;  // line widths
        int height;    // picture height, or "gh" for the GDI+ anchor band
        size_t link;
        int imageNumber;
    };

    struct TFocus {
        bool open = false;
        int left = 0;
        int top = 0;
    };

    void RenderLine(std::wstring_view& text, TPass& pass, TMetrics& m);
    void Piece(std::wstring_view& text, size_t length, TPass& pass, TMetrics& m);
    int DrawPiece(std::wstring_view text, size_t length, const std::wstring& piece, TPass& pass, const TMetrics& m);
    bool UnderlineRunsOn(std::wstring_view text, size_t length) const;
    void Tag(std::wstring_view& text, TPass& pass, TMetrics& m);
    void OpeningTag(std::wstring_view tag, std::wstring_view up, TPass& pass, TMetrics& m);
    void ClosingTag(std::wstring_view up, TPass& pass, TMetrics& m);
    void OpenLink(std::wstring_view tag, TPass& pass);
    void CloseLink(TPass& pass, const TMetrics& m);
    void FontTag(std::wstring_view attrs, TPass& pass);
    void Paragraph(std::wstring_view attrs, TPass& pass);
    void Body(std::wstring_view attrs, TPass& pass);
    void BackgroundPicture(std::wstring_view source, TBackgroundPlace place, const TPass& pass);
    void Image(std::wstring_view tag, std::wstring_view up, TPass& pass, TMetrics& m);
    void ListItem(std::wstring_view attrs, TPass& pass);
    void Bullet(const std::wstring& type, fw::TColor color, const std::wstring& name, TPass& pass);
    void Gradient(const TIntRect& rect, fw::TColor from, fw::TColor to, bool horizontal);
    void OpenSpan(int from);
    void CloseSpan(int to);
    void EvaluateHits(const TIntRect& box, int origin, const TMetrics& m, bool& result);
    int ScriptExtra(int extra, int t) const;
    THtmlSize ScaledRoom(int width, int height);

    THtmlSurface& s_;
    const THtmlPolicy& pol_;
    const THtmlParams& p_;
    THtmlResults& r_;
    const THtmlFont base_;
    TState st_;
    TFocus focus_;
    int hoveredImage_ = -1;
    std::vector<TLinkSpan> spans_;
    std::vector<THit> hits_;
    size_t openSpan_ = kNone;
};

bool TLayout::Run() {
    r_.PlainText.clear();
    r_.FocusHref.clear();
    r_.TextWidth = 0;
    r_.TextHeight = 0;
    r_.LinkCount = 0;
    r_.LinkUnderPoint = -1;

    const std::wstring prepared = LineBreaksToBR(UnwrapFirstHashTag(p_.Text), true);
    std::wstring_view text = prepared;
    const int boxLeft = p_.Rect.Left + pol_.BoxInset;
    bool result = false;
    int y = p_.Rect.Top;
    while (!text.empty()) {
        st_.sub = st_.sup = false;
        const TState start = st_;
        TMetrics m;
        m.height = s_.TextHeight(st_.font, kGh);
        const int h0 = m.height;
        if (pol_.TrimLines) text = TrimControls(text);

        TPass measure;
        measure.box = {boxLeft, y, p_.Rect.Right, p_.Rect.Bottom};
        spans_.clear();
        hits_.clear();
        openSpan_ = kNone;
        if (st_.inLink) OpenSpan(0);
        const size_t before = text.size();
        RenderLine(text, measure, m);
        // Every line takes something; a line that could not would repeat for ever.
        if (text.size() == before && !text.empty()) text.remove_prefix(1);
        if (pol_.SpaceLastLine || !text.empty()) m.height += p_.LineSpacing;

        int left = boxLeft;
        if (st_.align == alRight && boxLeft < p_.Rect.Right - measure.width) left = p_.Rect.Right - measure.width;
        if (st_.align == alCenter && p_.Rect.Right - boxLeft - measure.width > 0)
            left = boxLeft + (p_.Rect.Right - boxLeft - measure.width) / 2;
        left += st_.indent;
        const TIntRect box{left, y, p_.Rect.Right, y + m.height + m.subExtra + m.supExtra};
        EvaluateHits(box, left + start.offset, m, result);

        if (!p_.MeasureOnly && !p_.HitTestOnly) {
            // The drawing pass starts where the measuring pass started, so that
            // flags set on this line (hidden, shadow) reach only what follows them.
            st_ = start;
            TMetrics drawn = m;
            TPass draw;
            draw.drawing = true;
            draw.box = box;
            std::wstring_view line = measure.lineText;
            RenderLine(line, draw, drawn);
        }
        const int advance = m.height + m.subExtra + m.supExtra;
        y += advance;
        r_.TextHeight += advance;
        if (!p_.MeasureOnly && y + h0 > p_.Rect.Bottom) break;
    }
    if (r_.TextHeight == 0) r_.TextHeight = s_.TextHeight(st_.font, kGh);
    r_.TextHeight += pol_.HeightMargin;
    r_.LinkCount = st_.linkCount;
    return result;
}

void TLayout::RenderLine(std::wstring_view& text, TPass& pass, TMetrics& m) {
    pass.box.Bottom -= m.subExtra;  // 0 while measuring
    pass.x = pass.box.Left + (pass.drawing ? st_.offset : 0);
    if (pass.drawing && st_.paraBackground)
        s_.Rectangle({p_.Rect.Left, pass.box.Top, p_.Rect.Right, pass.box.Top + m.height}, st_.brush, st_.brush);
    while (!text.empty() && !pass.ended && !pass.full) {
        // A piece runs to the next tag or, with word wrap, through the next blank.
        const size_t tag = FindHtmlTag(text);
        const size_t blank = p_.WordWrap ? text.find(L' ') : std::wstring_view::npos;
        size_t length;
        if (tag != std::wstring_view::npos && (blank == std::wstring_view::npos || tag < blank))
            length = tag;
        else
            length = blank != std::wstring_view::npos ? blank + 1 : text.size();
        if (length > 0) Piece(text, length, pass, m);
        if (!pass.full && StartsHtmlTag(text)) Tag(text, pass, m);
    }
    if (pol_.SubtractTrailingBlank && pass.endsInBlank) pass.width -= s_.TextWidth(pass.blankFont, L" ");
    if (pass.width > 0) r_.TextWidth = std::max(r_.TextWidth, pass.width + 2);
    if (!pass.drawing) CloseSpan(pass.width);
    if (pass.drawing && focus_.open) {
        s_.FocusRect({focus_.left - 1, focus_.top, pass.x + 1, pass.box.Bottom});
        focus_.left = pass.box.Left + 1;
        focus_.top = pass.box.Bottom;
    }
}

int TLayout::ScriptExtra(int extra, int t) const {
    if (pol_.HalfScriptExtra) return extra < t / 4 ? t / 2 : extra;
    return std::max(extra, t / 4);
}

void TLayout::Piece(std::wstring_view& text, size_t length, TPass& pass, TMetrics& m) {
    const std::wstring_view raw = text.substr(0, length);
    const std::wstring piece = DecodeHtmlEntities(raw);
    const int t = s_.TextHeight(st_.font, piece);
    m.height = std::max(m.height, t);
    if (st_.sub) m.subExtra = ScriptExtra(m.subExtra, t);
    if (st_.sup) m.supExtra = ScriptExtra(m.supExtra, t);
    if (st_.hidden) {
        if (!pass.drawing) r_.PlainText += piece;
        text.remove_prefix(length);
        return;
    }
    const bool blankOnly = pol_.BlankPiecesEmpty && piece == L" ";
    int w;
    if (pass.drawing)
        w = DrawPiece(text, length, piece, pass, m);
    else
        w = blankOnly ? 0 : s_.TextWidth(st_.font, piece);
    const int before = pass.width;
    pass.width += w;
    if (!pass.drawing) {
        if (p_.WordWrap) {
            const int room = pass.box.Right - pass.box.Left - st_.offset;
            // A piece wider than the whole line goes on a line of its own.
            bool fits = (pol_.FitInclusive ? room >= pass.width : room > pass.width) || (room <= w && !pass.placedPiece);
            if (!fits && pol_.BreakOnlyAfterBlanks && !pass.breakAllowed) fits = true;
            if (!fits) {
                pass.width = before;
                pass.full = true;
                return;
            }
        }
        pass.x += w;
        r_.PlainText += piece;
        pass.lineText += raw;
        if (st_.inLink) {
            const int band = pol_.AnchorOnTextBand ? s_.TextHeight(st_.font, kGh) : 0;
            hits_.push_back({false, before, pass.width, band, openSpan_, 0});
        }
    }
    text.remove_prefix(length);
    pass.placedPiece = true;
    pass.endsInBlank = piece.back() == L' ';
    pass.breakAllowed = pass.endsInBlank;
    if (pass.endsInBlank && pol_.SubtractTrailingBlank) pass.blankFont = st_.font;
}

int TLayout::DrawPiece(std::wstring_view text, size_t length, const std::wstring& piece, TPass& pass,
                       const TMetrics& m) {
    const int w = s_.TextWidth(st_.font, piece);
    const bool blankOnly = pol_.BlankPiecesEmpty && piece == L" ";
    const bool pastEdge = !p_.WordWrap && pol_.SkipPiecesPastEdge &&
                          pass.x >= pass.box.Right - s_.TextWidth(st_.font, L"w");
    if (!blankOnly && !pastEdge) {
        TIntRect r{pass.x, pass.box.Top, pass.box.Right, pass.box.Bottom};
        if (st_.sup) {
            r.Bottom -= m.supExtra;
            if (pol_.TextFromTop) r.Top -= m.supExtra / 2;
        }
        if (st_.sub) {
            r.Bottom += m.subExtra;
            if (pol_.TextFromTop) r.Top += m.subExtra / 2;
        }
        r.Bottom -= m.raise;
        std::wstring shown = piece;
        if (pol_.UnderlineBlanks && (st_.font.Style & hfsUnderline) && UnderlineRunsOn(text, length)) shown += L'_';
        if (st_.shadow) {
            THtmlFont shadow = st_.font;
            shadow.Color = p_.ShadowColor;
            const int d = p_.ShadowOffset;
            s_.DrawText(shadow, shown, {r.Left + d, r.Top + d, r.Right + d, r.Bottom + d}, THtmlTextPlace::Piece,
                        st_.brush);
        }
        s_.DrawText(st_.font, shown, r, THtmlTextPlace::Piece, st_.brush);
    }
    if (st_.inLink && st_.linkCount == p_.FocusLinkIndex + 1) r_.FocusHref = st_.href;
    if (st_.error) s_.Lines(ErrorZigzag(pass.x, pass.x + w, pass.box.Bottom, pol_.ErrorSegments), fw::clRed);
    pass.x += w;
    return w;
}

// GDI+ underlines the glyphs only: a link word is drawn with "_" after its
// blank when another word of the same link follows, so that the underline
// runs on under the blank.
bool TLayout::UnderlineRunsOn(std::wstring_view text, size_t length) const {
    const std::wstring_view after = text.substr(length);
    const size_t blank = after.find(L' ');
    const size_t tag = after.find(L'<');
    const size_t wordEnd = std::min(blank == std::wstring_view::npos ? after.size() : blank + 1, tag);
    if (wordEnd == 0) return false;
    size_t close = std::wstring_view::npos;
    for (size_t at = text.find(L"</"); at != std::wstring_view::npos; at = text.find(L"</", at + 1)) {
        if (at + 2 < text.size() && (text[at + 2] == L'A' || text[at + 2] == L'a')) {
            close = at;
            break;
        }
    }
    const size_t firstBlank = text.find(L' ');
    return close != std::wstring_view::npos && firstBlank != std::wstring_view::npos && firstBlank < close;
}

void TLayout::Tag(std::wstring_view& text, TPass& pass, TMetrics& m) {
    const size_t close = text.find(L'>');
    const std::wstring_view tag = text.substr(0, close + 1);
    const std::wstring up = AsciiUpper(tag);
    if (up[1] == L'/' && text.size() > 3)
        ClosingTag(up, pass, m);
    else
        OpeningTag(tag, up, pass, m);
    if (pass.full) return;  // the tag starts the next line
    if (!pass.drawing) pass.lineText += tag;
    text.remove_prefix(close + 1);
}

void TLayout::OpeningTag(std::wstring_view tag, std::wstring_view up, TPass& pass, TMetrics& m) {
    auto is = [&](std::wstring_view name) { return StartsWith(up, name); };
    switch (up[1]) {
    case L'A':
        OpenLink(tag, pass);
        break;
    case L'B':
        if (is(L"<B>")) {
            st_.font.Style |= hfsBold;
        } else if (is(L"<BL")) {
            if (!p_.BlinkPhase) st_.font.Color = s_.BlinkColor();
        } else if (is(L"<BO")) {
            if (pass.drawing && !p_.SelectedMode) Body(up.substr(std::min<size_t>(5, up.size())), pass);
        } else if (is(L"<BR")) {
            pass.ended = true;
            if (!pass.drawing) r_.PlainText += L'\r';
        }
        break;
    case L'E':
        if (pass.drawing) st_.error = true;
        break;
    case L'F':
        FontTag(up.substr(std::min<size_t>(5, up.size())), pass);
        break;
    case L'H':
        if (is(L"<HI")) {
            if (pass.drawing) {
                st_.hiText = st_.font.Color;
                st_.hiBrush = st_.brush;
                st_.brush = fw::clHighlight;
                st_.font.Color = fw::clHighlightText;
            }
        } else if (is(L"<HR")) {
            pass.ended = true;
            if (pass.drawing)
                s_.Lines({{pass.box.Left, pass.box.Bottom + 1, pass.box.Right, pass.box.Bottom + 1}}, fw::clBlack);
        }
        break;
    case L'I':
        if (is(L"<I>")) {
            st_.font.Style |= hfsItalic;
        } else if (is(L"<IN")) {
            int value = 0;
            const auto x = HtmlAttribute(up.substr(2), L"X");
            if (x && TryReadHtmlNumber(*x, value) && value > pass.width) {
                pass.width = value;
                pass.x = p_.Rect.Left + value;
            }
        } else if (is(L"<IM")) {
            Image(tag, up, pass, m);
        }
        break;
    case L'L':
        ListItem(up.substr(2), pass);
        break;
    case L'O':
        if (is(L"<OF")) {
            st_.offset = ReadHtmlNumber(HtmlAttribute(up.substr(3), L"X").value_or(L""));
            pass.x = pass.box.Left + st_.offset;
            pass.width = st_.offset;
        }
        break;
    case L'P':
        Paragraph(up.substr(2), pass);
        break;
    case L'R':
        s_.Rotate(st_.font, ReadHtmlNumber(HtmlAttribute(up.substr(2), L"A").value_or(L"")));
        break;
    case L'S':
        if (is(L"<S>"))
            st_.font.Style |= hfsStrikeOut;
        else if (is(L"<SH"))
            st_.shadow = true;
        else if (is(L"<SUB>"))
            st_.sub = true;
        else if (is(L"<SUP>"))
            st_.sup = true;
        break;
    case L'U':
        if (is(L"<U>")) {
            st_.font.Style |= hfsUnderline;
        } else {
            ++st_.listLevel;
            pass.ended = true;
        }
        break;
    case L'Z':
        st_.hidden = true;
        break;
    default:
        break;  // not a tag of the markup: dropped
    }
}

void TLayout::ClosingTag(std::wstring_view up, TPass& pass, TMetrics& m) {
    auto is = [&](std::wstring_view name) { return StartsWith(up, name); };
    switch (up[2]) {
    case L'A':
        CloseLink(pass, m);
        break;
    case L'B':
        if (is(L"</B>"))
            st_.font.Style &= ~hfsBold;
        else
            st_.font.Color = base_.Color;
        break;
    case L'E':
        if (pass.drawing) st_.error = false;
        break;
    case L'F':
        st_.font.Name = base_.Name;
        st_.font.Height = base_.Height;
        if (pass.drawing && !p_.SelectedMode) {
            st_.font.Color = base_.Color;
            st_.brush = st_.fontBrush;
        }
        break;
    case L'H':
        if (pass.drawing) {
            st_.font.Color = st_.hiText;
            st_.brush = st_.hiBrush;
        }
        break;
    case L'I':
        st_.font.Style &= ~hfsItalic;
        break;
    case L'L':
        pass.ended = true;
        break;
    case L'O':
        st_.offset = 0;
        break;
    case L'P':
        pass.ended = true;
        if (pass.drawing) {
            st_.brush = st_.paraBrush;
            st_.paraBackground = false;
        }
        break;
    case L'R':
        s_.EndRotation();
        break;
    case L'S':
        if (is(L"</SU"))
            st_.sub = st_.sup = false;
        else if (is(L"</SH"))
            st_.shadow = false;
        else
            st_.font.Style &= ~hfsStrikeOut;
        break;
    case L'U':
        if (is(L"</U>") || st_.listLevel < 1)
            st_.font.Style &= ~hfsUnderline;
        else
            --st_.listLevel;
        break;
    case L'Z':
        st_.hidden = false;
        break;
    default:
        break;
    }
}

void TLayout::OpenLink(std::wstring_view tag, TPass& pass) {
    if (pass.drawing && st_.linkCount == p_.FocusLinkIndex) {
        focus_.open = true;
        focus_.left = pass.x;
        focus_.top = pass.box.Top;
    }
    ++st_.linkCount;
    const bool hovered = p_.HoverLinkIndex == st_.linkCount;
    if (pass.drawing && (!p_.HoverUnderlineOnly || hovered)) {
        st_.font.Style |= hfsUnderline;
        if (p_.HoverBackColor != fw::clNone) {
            st_.linkBrush = st_.brush;
            st_.brush = p_.HoverBackColor;
        }
        if (p_.HoverTextColor != fw::clNone) st_.font.Color = p_.HoverTextColor;
    }
    if (!p_.SelectedMode && !(p_.HoverTextColor != fw::clNone && p_.HoverUnderlineOnly && hovered))
        st_.font.Color = p_.LinkColor;
    // The href is the first quoted text of the tag, whatever its attribute.
    std::wstring_view rest = tag.substr(2);
    const size_t open = rest.find(L'"');
    const size_t close = open == std::wstring_view::npos ? open : rest.find(L'"', open + 1);
    st_.href = close == std::wstring_view::npos ? std::wstring() : DecodeHtmlEntities(rest.substr(open + 1, close - open - 1));
    st_.inLink = true;
    if (!pass.drawing) OpenSpan(pass.width);
}

void TLayout::CloseLink(TPass& pass, const TMetrics& m) {
    if (pass.drawing && (!p_.HoverUnderlineOnly || p_.HoverLinkIndex == st_.linkCount)) {
        st_.font.Style &= ~hfsUnderline;
        if (p_.HoverBackColor != fw::clNone) st_.brush = st_.linkBrush;
        if (p_.HoverTextColor != fw::clNone) st_.font.Color = p_.HoverTextColor;
    }
    if (!p_.SelectedMode) st_.font.Color = base_.Color;
    st_.inLink = false;
    if (!pass.drawing) CloseSpan(pass.width);
    if (pass.drawing && focus_.open && st_.linkCount == p_.FocusLinkIndex + 1) {
        const int bottom = pass.box.Bottom - m.raise;
        const int top = bottom - s_.TextHeight(st_.font, kGh);
        s_.FocusRect({focus_.left - 1, top, pass.x + 1, bottom});
        focus_.open = false;
    }
}

void TLayout::FontTag(std::wstring_view attrs, TPass& pass) {
    if (const auto face = HtmlAttribute(attrs, L"FACE"); face && !face->empty()) st_.font.Name = *face;
    if (const auto color = HtmlAttribute(attrs, L" COLOR"); color && !p_.SelectedMode)
        st_.font.Color = HtmlColor(*color);
    if (const auto back = HtmlAttribute(attrs, L"BGCOLOR"); back && pass.drawing && !p_.SelectedMode) {
        st_.fontBrush = st_.brush;
        if (!back->empty()) st_.brush = HtmlColor(*back);
    }
    if (const auto size = HtmlAttribute(attrs, L"SIZE")) {
        static constexpr int kSizePoints[] = {8, 10, 12, 14, 16};
        int points = ReadHtmlNumber(*size);
        if (points >= 1 && points <= 5) points = kSizePoints[points - 1];
        points = std::clamp(points, 1, kMaxFontPoints);
        st_.font.Height = -MulDivRound(points, s_.FontPixelsPerInch(), 72);
    }
}

void TLayout::Paragraph(std::wstring_view attrs, TPass& pass) {
    if (const auto align = HtmlAttribute(attrs, L"ALIGN")) {
        if (Contains(*align, L"RIGHT")) st_.align = alRight;
        if (Contains(*align, L"LEFT")) st_.align = alLeft;
        if (Contains(*align, L"CENTER")) st_.align = alCenter;
    }
    if (const auto indent = HtmlAttribute(attrs, L"INDENT")) st_.indent = ReadHtmlNumber(*indent);
    if (!pass.drawing) return;
    const auto back = HtmlAttribute(attrs, L"BGCOLOR");
    if (!back) return;
    const fw::TColor from = ColorOrNone(*back);
    const auto to = HtmlAttribute(attrs, L"BGCOLORTO");
    if (!pol_.PaintsBackgrounds) {
        if (to) st_.brush = fw::clNone;
        return;
    }
    st_.paraBackground = true;
    const TIntRect band{p_.Rect.Left, pass.box.Top, p_.Rect.Right, pass.box.Bottom};
    if (!to) {
        st_.paraBrush = st_.brush;
        st_.brush = from;
        s_.Rectangle(band, from, from);
    } else {
        Gradient({band.Left, band.Top, band.Right, band.Bottom + 2}, from, ColorOrNone(*to), true);
        st_.brush = fw::clNone;
    }
}

void TLayout::Body(std::wstring_view attrs, TPass& pass) {
    if (pol_.PaintsBackgrounds) {
        if (const auto v = HtmlAttribute(attrs, L"BACKGROUND")) BackgroundPicture(*v, TBackgroundPlace::Tiled, pass);
        if (const auto v = HtmlAttribute(attrs, L"BGTOPLEFT")) BackgroundPicture(*v, TBackgroundPlace::TopLeft, pass);
        if (const auto v = HtmlAttribute(attrs, L"BGTOPRIGHT"))
            BackgroundPicture(*v, TBackgroundPlace::TopRight, pass);
    }
    const auto back = HtmlAttribute(attrs, L"BGCOLOR");
    if (!back) return;
    const fw::TColor from = ColorOrNone(*back);
    if (const auto to = HtmlAttribute(attrs, L"BGCOLORTO")) {
        if (pol_.PaintsBackgrounds) {
            const auto dir = HtmlAttribute(attrs, L"DIR");
            Gradient(p_.Rect, from, ColorOrNone(*to), !dir || *dir == L"H");
        }
        st_.brush = fw::clNone;
        return;
    }
    st_.fontBrush = st_.brush;
    st_.brush = from;
    if (pol_.PaintsBackgrounds)
        s_.Rectangle({p_.Rect.Left - 2, p_.Rect.Top, p_.Rect.Right, p_.Rect.Bottom}, from, from);
}

void TLayout::BackgroundPicture(std::wstring_view source, TBackgroundPlace place, const TPass& pass) {
    const THtmlImageRef ref = ClassifyHtmlImage(source);
    if (ref.Kind == THtmlImageKind::None) return;
    const THtmlImageInfo info = s_.Image(ref);
    if (!info.Present()) return;
    if (ref.Kind == THtmlImageKind::ImageList || ref.Kind == THtmlImageKind::SmallIcon ||
        ref.Kind == THtmlImageKind::LargeIcon) {
        const int left = place == TBackgroundPlace::TopRight ? pass.box.Right - info.Width : pass.x;
        s_.DrawImage(ref, {left, pass.box.Top, left + info.Width, pass.box.Top + info.Height}, false, nullptr);
        return;
    }
    const TIntRect& area = p_.Rect;
    if (place == TBackgroundPlace::Tiled) {
        for (int y = area.Top; y < area.Bottom; y += info.Height)
            for (int x = area.Left; x < area.Right; x += info.Width)
                s_.DrawImage(ref, {x, y, x + info.Width, y + info.Height}, false, &area);
        return;
    }
    const int left = place == TBackgroundPlace::TopRight ? area.Right - info.Width : area.Left;
    s_.DrawImage(ref, {left, area.Top, left + info.Width, area.Top + info.Height}, false, &area);
}

void TLayout::Gradient(const TIntRect& rect, fw::TColor from, fw::TColor to, bool horizontal) {
    if (from != fw::clNone && to != fw::clNone) s_.Gradient(rect, from, to, kGradientBands, horizontal);
}

THtmlSize TLayout::ScaledRoom(int width, int height) {
    const THtmlSize dpi = s_.ImagePixelsPerInch();
    return {MulDivRound(width, dpi.Width, 96), MulDivRound(height, dpi.Height, 96)};
}

void TLayout::Image(std::wstring_view tag, std::wstring_view up, TPass& pass, TMetrics& m) {
    ++st_.imageNumber;
    const std::wstring_view attrs = up.substr(3);
    std::wstring source(HtmlAttribute(attrs, tag.substr(3), L"SRC").value_or(L""));
    if (const auto alt = HtmlAttribute(attrs, L"ALT"); alt && st_.imageNumber == hoveredImage_) source = *alt;
    const int w = ReadHtmlNumber(HtmlAttribute(attrs, L"WIDTH").value_or(L""));
    const int h = ReadHtmlNumber(HtmlAttribute(attrs, L"HEIGHT").value_or(L""));

    const THtmlImageRef ref = ClassifyHtmlImage(source);
    THtmlSize room;
    if (ref.Kind != THtmlImageKind::None) {
        const THtmlImageInfo info = s_.Image(ref);
        if (info.Present()) {
            // Own-sized sources ignore WIDTH and HEIGHT; pictures stretch to them.
            const bool ownSize = ref.Kind == THtmlImageKind::ImageList || ref.Kind == THtmlImageKind::SmallIcon ||
                                 ref.Kind == THtmlImageKind::LargeIcon;
            const bool stretch = !ownSize && w >= 1 && h >= 1;
            room = stretch ? ScaledRoom(w, h) : ScaledRoom(info.Width, info.Height);
            if (pass.drawing) {
                const int top = pass.box.Top;
                if (stretch)
                    s_.DrawImage(ref, {pass.x, top, pass.x + w, top + h}, true, nullptr);
                else
                    s_.DrawImage(ref,
                                 {pass.x + info.OffsetX, top + info.OffsetY, pass.x + info.OffsetX + info.Width,
                                  top + info.OffsetY + info.Height},
                                 false, nullptr);
            }
        }
    }

    const int boxWidth = pass.box.Right - pass.box.Left;
    if (!pass.drawing && pass.width + room.Width > boxWidth && boxWidth > room.Width) {
        --st_.imageNumber;  // the tag starts the next line and counts there
        pass.full = true;
        return;
    }
    if (!pass.drawing && st_.inLink)
        hits_.push_back({true, pass.width, pass.width + room.Width, room.Height, openSpan_, st_.imageNumber});
    pass.width += room.Width;
    pass.x += room.Width;
    m.height = std::max(m.height, room.Height);
    if (Contains(attrs, L"ALIGN")) {
        const int gh = s_.TextHeight(st_.font, kGh);
        if (Contains(attrs, L"\"TOP"))
            m.raise = m.height - gh;
        else if (Contains(attrs, L"\"MIDDLE"))
            m.raise = (m.height - gh) / 2;
    }
    if (Contains(attrs, L"WRAP")) {
        m.height = s_.TextHeight(st_.font, kGh);
        m.raise = 0;
    }
}

void TLayout::ListItem(std::wstring_view attrs, TPass& pass) {
    std::wstring type, name;
    fw::TColor color = fw::clNone;
    if (const auto v = HtmlAttribute(attrs, L"TYPE")) type = *v;
    if (const auto v = HtmlAttribute(attrs, L"COLOR")) color = HtmlColor(*v);
    if (const auto v = HtmlAttribute(attrs, L"NAME")) name = *v;
    const int indent = kListIndent * st_.listLevel;
    pass.width += indent;
    if (pass.hadListItem) {
        pass.full = true;  // one item per line: this one starts the next
        return;
    }
    pass.hadListItem = true;
    pass.x += indent - kListIndent;
    if (pass.drawing && !st_.hidden) Bullet(type, color, name, pass);
    pass.x += kListIndent;
}

void TLayout::Bullet(const std::wstring& type, fw::TColor color, const std::wstring& name, TPass& pass) {
    const int x = pass.x;
    const int top = pass.box.Top;
    // A square or circle without a colour takes the text colour.
    const fw::TColor shape = color == fw::clNone ? st_.font.Color : color;
    if (type == L"SQUARE") {
        s_.Bullet(THtmlBullet::Square, {x, top + 2, x + 8, top + 10}, shape);
    } else if (type == L"CIRCLE") {
        s_.Bullet(THtmlBullet::Circle, {x, top + 2, x + 8, top + 10}, shape);
    } else if (type == L"IMAGE" && pol_.ListImages && !name.empty()) {
        const THtmlImageRef ref{THtmlImageKind::Store, 0, name};
        const THtmlImageInfo info = s_.Image(ref);
        if (info.Present()) {
            s_.DrawImage(ref, {x, top + 2, x + info.Width, top + 2 + info.Height}, false, nullptr);
            if (info.Width > kListIndent) pass.x += info.Width - kListIndent;
        }
    } else if (type.empty()) {
        THtmlFont symbol = st_.font;
        symbol.Name = L"Symbol";
        if (color != fw::clNone) symbol.Color = color;
        s_.DrawText(symbol, st_.listLevel % 2 ? L"\u00B7" : L"o", {x, top, pass.box.Right, pass.box.Bottom},
                    THtmlTextPlace::Plain, fw::clNone);
    }
    if (!type.empty()) st_.brush = fw::clNone;
}

void TLayout::OpenSpan(int from) {
    CloseSpan(from);
    spans_.push_back({st_.linkCount, st_.href, from, from});
    openSpan_ = spans_.size() - 1;
}

void TLayout::CloseSpan(int to) {
    if (openSpan_ == kNone) return;
    spans_[openSpan_].to = to;
    openSpan_ = kNone;
}

// Hits are tested against the line as it is drawn (aligned and indented),
// once its measuring pass has placed it.
void TLayout::EvaluateHits(const TIntRect& box, int origin, const TMetrics& m, bool& result) {
    const int hx = p_.HitX - origin;
    bool wordHit = false, imageHit = false;
    for (const THit& hit : hits_) {
        const TLinkSpan& link = spans_[hit.link];
        if (hit.image) {
            if (hit.from < hx && hx < hit.to && box.Top < p_.HitY && p_.HitY < box.Top + hit.height) {
                imageHit = true;
                r_.AnchorHref = link.href;
                hoveredImage_ = hit.imageNumber;
            }
            continue;
        }
        if (hx < hit.from || hx > hit.to) continue;
        wordHit = true;
        const int limit = pol_.AnchorOnTextBand ? box.Top + hit.height : box.Bottom + 1;
        if (box.Top < p_.HitY && p_.HitY < limit) {
            r_.AnchorHref = link.href;
            r_.LinkUnderPoint = link.number;
            r_.LinkRect = {origin + link.from, box.Top, origin + link.to, box.Bottom};
        }
    }
    if (p_.MeasureOnly) return;
    if (imageHit) result = true;
    if (wordHit && p_.HitTestOnly) {
        const int bottom = box.Bottom - m.raise;
        const int h = s_.TextHeight(st_.font, kGh);
        if (bottom - h < p_.HitY && p_.HitY < bottom) result = true;
    }
}

}  // namespace

bool LayoutHtml(THtmlSurface& surface, const THtmlFont& font, const THtmlParams& params, THtmlResults& results) {
    return TLayout(surface, font, params, results).Run();
}

}  // namespace kel
