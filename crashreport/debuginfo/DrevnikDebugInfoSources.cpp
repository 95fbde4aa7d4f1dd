#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace drevnik {

bool TDVScannerSource::LookupLocation(uintptr_t address, TDVLocationInfo& info) {
    // Below the code section there is nothing to name (and the offset would wrap).
    if (!HasData() || address < module_ + 0x1000) return false;
    const uint32_t offset = AddressToOffset(address);
    info.LocUnit = scanner_->UnitNameAt(offset);
    if (info.LocUnit.empty()) return false;
    info.LocAddress = address;
    uint32_t inRoutine = 0, inLine = 0;
    info.LocRoutine = scanner_->RoutineNameAt(offset, inRoutine);
    info.LocLine = scanner_->LineNumberAt(offset, inLine);
    info.LocSourceFile = scanner_->SourceFileAt(offset);
    info.LocSource = this;
    info.LocLineOffset = info.LocLine - scanner_->LineNumberAt(offset - inRoutine, inLine);
    return true;
}

// ---- MAP files ---------------------------------------------------------------------------

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A cursor over the MAP text.
struct TMapCursor {
    const std::string& t;
    std::size_t p = 0;

    bool AtEnd() const { return p >= t.size(); }
    std::size_t LineEnd() const {
        const std::size_t e = t.find('\n', p);
        return e == std::string::npos ? t.size() : e;
    }
    std::string_view Line() const {
        std::size_t e = LineEnd();
        if (e > p && t[e - 1] == '\r') --e;
        return std::string_view(t).substr(p, e - p);
    }
    void NextLine() {
        const std::size_t e = LineEnd();
        p = e < t.size() ? e + 1 : t.size();
    }
    void SkipBlanks() {
        while (p < t.size() && IsBlank(t[p])) ++p;
    }
    void SkipEmptyLines() {
        while (!AtEnd()) {
            std::size_t q = p;
            while (q < t.size() && (IsBlank(t[q]) || t[q] == '\r')) ++q;
            if (q < t.size() && t[q] != '\n') return;
            NextLine();
        }
    }
    bool LineStartsWithDigit() const {
        std::size_t q = p;
        while (q < t.size() && IsBlank(t[q])) ++q;
        return q < t.size() && IsDigit(t[q]);
    }
    uint32_t Hex() {
        SkipBlanks();
        uint32_t v = 0;
        while (p < t.size() && std::isxdigit(static_cast<unsigned char>(t[p]))) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[p++])));
            v = v * 16 + static_cast<uint32_t>(IsDigit(c) ? c - '0' : c - 'a' + 10);
        }
        return v;
    }
    uint32_t Decimal() {
        SkipBlanks();
        uint32_t v = 0;
        while (p < t.size() && IsDigit(t[p])) v = v * 10 + static_cast<uint32_t>(t[p++] - '0');
        return v;
    }
    void Address(uint32_t& segment, uint32_t& offset) {
        segment = Hex();
        if (p < t.size() && t[p] == ':') ++p;
        offset = Hex();
    }
    std::size_t Word() {
        SkipBlanks();
        const std::size_t start = p;
        while (p < t.size() && !IsBlank(t[p]) && t[p] != '\r' && t[p] != '\n') ++p;
        return start;
    }
};

// Whether the line holds the words at strictly increasing positions.
bool HasHeading(std::string_view line, std::initializer_list<std::string_view> words) {
    std::size_t from = 0;
    for (std::string_view w : words) {
        const std::size_t at = line.find(w, from);
        if (at == std::string_view::npos) return false;
        from = at + w.size();
    }
    return true;
}

}  // namespace

TDVMapScanner::TDVMapScanner(std::string text) : text_(std::move(text)) { Parse(); }

void TDVMapScanner::Parse() {
    TMapCursor c{text_};
    auto findSection = [&](std::initializer_list<std::string_view> words) {
        while (!c.AtEnd()) {
            const bool found = HasHeading(c.Line(), words);
            c.NextLine();
            if (found) {
                c.SkipEmptyLines();
                return true;
            }
        }
        return false;
    };
    auto entries = [&](auto handler) {
        while (!c.AtEnd() && c.LineStartsWithDigit()) {
            handler();
            c.NextLine();
        }
    };
    if (!findSection({"Start", "Length", "Name", "Class"})) return;
    entries([] {});
    if (!findSection({"Detailed", "map", "of", "segments"})) return;
    entries([&] {
        uint32_t segment = 0, offset = 0;
        c.Address(segment, offset);
        const uint32_t length = c.Hex();
        const std::string_view line = c.Line();
        const std::size_t lineStart = c.p;
        std::size_t m = line.find("M=");
        if (segment != 1 || m == std::string_view::npos) return;
        const std::size_t name = lineStart + m + 2;
        segments_.push_back({offset, offset + length, name});
        highestOffset_ = std::max(highestOffset_, offset + length);
    });
    if (!findSection({"Address", "Publics", "by", "Name"})) return;
    entries([] {});
    if (!findSection({"Address", "Publics", "by", "Value"})) return;
    entries([&] {
        uint32_t segment = 0, offset = 0;
        c.Address(segment, offset);
        const std::size_t name = c.Word();
        if (segment == 1) routines_.push_back({offset, name});
    });
    bool accepted = false;
    uint32_t lastSegment = 0, lastOffset = 0;
    for (;;) {
        c.SkipEmptyLines();
        const std::string_view line = c.Line();
        if (line.substr(0, 16) != "Line numbers for") break;
        // The unit's name follows; its file name stands in parentheses.
        const std::size_t open = line.find('(');
        std::size_t file = open == std::string_view::npos ? std::string::npos : c.p + open;
        c.NextLine();
        c.SkipEmptyLines();
        while (!c.AtEnd() && c.LineStartsWithDigit()) {
            const std::size_t end = c.LineEnd();
            while (c.p < end) {
                c.SkipBlanks();
                if (c.p >= end || !IsDigit(text_[c.p])) break;
                const int32_t number = static_cast<int32_t>(c.Decimal());
                uint32_t segment = 0, offset = 0;
                c.Address(segment, offset);
                if (accepted && (static_cast<int32_t>(offset) <= 0 || offset > highestOffset_ ||
                                 segment != lastSegment || offset <= lastOffset)) {
                    ++rejected_;
                    continue;
                }
                accepted = true;
                lastSegment = segment;
                lastOffset = offset;
                lines_.push_back({offset, number});
                if (file != std::string::npos) {
                    files_.push_back({offset, file});
                    file = std::string::npos;
                }
            }
            c.NextLine();
        }
    }
    auto byOffset = [](const auto& a, const auto& b) { return a.Offset < b.Offset; };
    std::stable_sort(routines_.begin(), routines_.end(), byOffset);
    std::stable_sort(lines_.begin(), lines_.end(), byOffset);
    std::stable_sort(files_.begin(), files_.end(), byOffset);
    routines_.shrink_to_fit();
    lines_.shrink_to_fit();
}

std::string TDVMapScanner::NameText(std::size_t p) const {
    if (p >= text_.size()) return {};
    if (text_[p] == '(') {
        const std::size_t close = text_.find_first_of(")\r\n", p + 1);
        return text_.substr(p + 1, (close == std::string::npos ? text_.size() : close) - p - 1);
    }
    const std::size_t end = text_.find_first_of("\r\n \t(", p);
    return text_.substr(p, (end == std::string::npos ? text_.size() : end) - p);
}

template <class T>
const T* TDVMapScanner::NearestBelow(const std::vector<T>& table, uint32_t offset) const {
    auto it = std::upper_bound(table.begin(), table.end(), offset,
                               [](uint32_t o, const T& e) { return o < e.Offset; });
    if (it == table.begin()) return nullptr;
    const T* entry = &*(it - 1);
    const uint32_t start = const_cast<TDVMapScanner*>(this)->UnitStartAt(offset);
    return start != 0xFFFFFFFFu && entry->Offset >= start ? entry : nullptr;
}

std::string TDVMapScanner::UnitNameAt(uint32_t offset) {
    for (auto it = segments_.rbegin(); it != segments_.rend(); ++it)
        if (offset >= it->Start && offset < it->End) return NameText(it->Name);
    return {};
}

uint32_t TDVMapScanner::UnitStartAt(uint32_t offset) {
    for (auto it = segments_.rbegin(); it != segments_.rend(); ++it)
        if (offset >= it->Start && offset < it->End) return it->Start;
    return 0xFFFFFFFFu;
}

std::string TDVMapScanner::RoutineNameAt(uint32_t offset, uint32_t& inRoutine) {
    inRoutine = 0;
    const TNamed* e = NearestBelow(routines_, offset);
    if (e == nullptr) return {};
    inRoutine = offset - e->Offset;
    return NameText(e->Name);
}

int32_t TDVMapScanner::LineNumberAt(uint32_t offset, uint32_t& inLine) {
    inLine = 0;
    const TLine* e = NearestBelow(lines_, offset);
    if (e == nullptr) return 0;
    inLine = offset - e->Offset;
    return e->Line;
}

std::string TDVMapScanner::SourceFileAt(uint32_t offset) {
    const TNamed* e = NearestBelow(files_, offset);
    return e != nullptr ? NameText(e->Name) : std::string();
}

// ---- JCL binary debug data -------------------------------------------------------------------

namespace {

constexpr uint32_t kJclMagic = 0x4742444A;  // "JDBG"
constexpr uint32_t kStreamEnd = 0x7FFFFFFF;
enum { kUnits = 0, kSourceFiles = 1, kSymbols = 2, kLineNumbers = 3 };

uint32_t Get32(std::span<const uint8_t> d, std::size_t at) {
    if (at > d.size() || d.size() - at < 4) return 0;
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t Get16(std::span<const uint8_t> d, std::size_t at) {
    if (at > d.size() || d.size() - at < 2) return 0;
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}
uint32_t RotateRight8(uint32_t v) { return (v >> 8) | (v << 24); }

// 7-bit groups, low first; false at the end of the data.
bool ReadVarInt(std::span<const uint8_t> d, std::size_t& p, uint32_t& value) {
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p >= d.size()) return false;
        const uint8_t b = d[p++];
        value |= static_cast<uint32_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

}  // namespace

bool TDVBinDebugScanner::CheckFormat(std::span<const uint8_t> d) {
    if (d.size() < 35 || d.size() % 4 != 0 || Get32(d, 0) != kJclMagic || d[4] != 1) return false;
    if (d[33] == 0) return true;
    const uint32_t checksum = Get32(d, 29);
    uint32_t sum = 0;
    for (std::size_t i = 0; i < d.size(); i += 4) sum += Get32(d, i);
    return RotateRight8(sum - checksum) == checksum;
}

TDVBinDebugScanner::TDVBinDebugScanner(std::vector<uint8_t> data, bool cache)
    : data_(std::move(data)), cache_(cache), valid_(CheckFormat(data_)) {}

std::vector<TDVBinDebugScanner::TRecord> TDVBinDebugScanner::ReadStream(int which, int fields) const {
    std::vector<TRecord> out;
    if (!valid_) return out;
    std::size_t p = Get32(data_, 5 + 4 * static_cast<std::size_t>(which));
    TRecord sum{0, 0, 0};
    for (;;) {
        uint32_t v[3] = {};
        bool ok = true;
        for (int f = 0; f < fields && ok; ++f) {
            ok = ReadVarInt(data_, p, v[f]);
            if (ok && f == 0 && v[0] == kStreamEnd) ok = false;
        }
        if (!ok) return out;
        sum.Offset += v[0];
        sum.A += v[1];
        sum.B += v[2];
        out.push_back(sum);
    }
}

const std::vector<TDVBinDebugScanner::TRecord>& TDVBinDebugScanner::Cached(int which, int fields,
                                                                         std::vector<TRecord>& cache, bool& filled) {
    if (!filled || !cache_) {
        cache = ReadStream(which, fields);
        filled = true;
    }
    return cache;
}

const TDVBinDebugScanner::TRecord* TDVBinDebugScanner::LastNotAbove(const std::vector<TRecord>& records,
                                                                   uint32_t offset) const {
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if (it->Offset <= offset) return &*it;
    return nullptr;
}

std::string TDVBinDebugScanner::NameAt(uint32_t nameOffset) const {
    if (!valid_ || nameOffset == 0) return {};
    const std::size_t base = Get32(data_, 21);
    std::size_t p = base + nameOffset - 1;
    if (p < base || p >= data_.size()) return {};
    std::string out;
    if (data_[p] == 1) {
        for (++p; p < data_.size() && data_[p] != 0 && out.size() < 255; ++p)
            out.push_back(static_cast<char>(data_[p] == 0xAA ? 0xAA : data_[p] ^ 0xAA));
        return out;
    }
    if (data_[p] == 2) {
        out.push_back('@');
        ++p;
    }
    auto letter = [](uint32_t v) -> char {
        if (v <= 10) return static_cast<char>('0' + v - 1);
        if (v <= 36) return static_cast<char>('A' + v - 11);
        if (v <= 62) return static_cast<char>('a' + v - 37);
        return '_';
    };
    std::size_t count = 0;
    while (count < 254 && p < data_.size()) {
        const uint8_t b0 = data_[p];
        const uint8_t b1 = p + 1 < data_.size() ? data_[p + 1] : 0;
        const uint8_t b2 = p + 2 < data_.size() ? data_[p + 2] : 0;
        const uint32_t v[4] = {static_cast<uint32_t>(b0 & 0x3F),
                               static_cast<uint32_t>(((b1 & 0x0F) << 2) | (b0 >> 6)),
                               static_cast<uint32_t>(((b2 & 0x03) << 4) | (b1 >> 4)), static_cast<uint32_t>(b2 >> 2)};
        for (uint32_t x : v) {
            if (x == 0 || count >= 254) return out;
            out.push_back(letter(x));
            ++count;
        }
        p += 3;
    }
    return out;
}

std::string TDVBinDebugScanner::UnitNameAt(uint32_t offset) {
    const auto units = ReadStream(kUnits, 2);
    const TRecord* r = LastNotAbove(units, offset);
    return r != nullptr ? NameAt(r->A) : std::string();
}

uint32_t TDVBinDebugScanner::UnitStartAt(uint32_t offset) {
    const auto units = ReadStream(kUnits, 2);
    const TRecord* r = LastNotAbove(units, offset);
    return r != nullptr ? r->Offset : 0xFFFFFFFFu;
}

std::string TDVBinDebugScanner::SourceFileAt(uint32_t offset) {
    const auto files = ReadStream(kSourceFiles, 2);
    const TRecord* r = LastNotAbove(files, offset);
    const uint32_t start = UnitStartAt(offset);
    if (r == nullptr || start == 0xFFFFFFFFu || r->Offset < start) return {};
    return NameAt(r->A);
}

std::string TDVBinDebugScanner::RoutineNameAt(uint32_t offset, uint32_t& inRoutine) {
    inRoutine = 0;
    const TRecord* r = LastNotAbove(Cached(kSymbols, 3, symbols_, symbolsFilled_), offset);
    const uint32_t start = UnitStartAt(offset);
    if (r == nullptr || start == 0xFFFFFFFFu || r->Offset < start) return {};
    inRoutine = offset - r->Offset;
    std::string name = NameAt(r->A);
    if (r->B != 0) name += "." + NameAt(r->B);
    return name;
}

int32_t TDVBinDebugScanner::LineNumberAt(uint32_t offset, uint32_t& inLine) {
    inLine = 0;
    const TRecord* r = LastNotAbove(Cached(kLineNumbers, 2, lines_, linesFilled_), offset);
    const uint32_t start = UnitStartAt(offset);
    if (r == nullptr || start == 0xFFFFFFFFu || r->Offset < start) return 0;
    inLine = offset - r->Offset;
    return static_cast<int32_t>(r->A);
}

// ---- TD32 ------------------------------------------------------------------------------------

namespace {
constexpr uint32_t kFB09 = 0x39304246;
constexpr uint32_t kFB0A = 0x41304246;
bool IsTD32Signature(uint32_t v) { return v == kFB09 || v == kFB0A; }
}  // namespace

bool IsTD32Data(std::span<const uint8_t> d) {
    if (d.size() <= 8) return false;
    if (!IsTD32Signature(Get32(d, d.size() - 8))) return false;
    const uint32_t back = Get32(d, d.size() - 4);
    if (back > d.size() || back < 8) return false;
    return IsTD32Signature(Get32(d, d.size() - back));
}

std::string CleanTD32ProcName(std::string_view unitName, std::string_view raw) {
    if (raw.empty() || raw[0] != '@') return std::string(raw);
    std::string s(raw.substr(1));
    if (const std::size_t dollar = s.find('$'); dollar != std::string::npos) {
        s.erase(dollar);
        if (!s.empty() && s.back() == '@') s.pop_back();
    }
    std::replace(s.begin(), s.end(), '@', '.');
    for (std::size_t at = s.find(".."); at != std::string::npos; at = s.find("..", at + 2)) s[at + 1] = '@';
    if (!unitName.empty() && s.size() > unitName.size()) {
        bool same = true;
        for (std::size_t i = 0; i < unitName.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(s[i])) == std::tolower(static_cast<unsigned char>(unitName[i]));
        if (same) s.erase(0, unitName.size() + 1);
    }
    return s;
}

bool TDVTD32InfoScanner::Spend(std::size_t count) {
    if (budget_ < count) {
        budget_ = 0;
        return false;
    }
    budget_ -= count;
    return true;
}

TDVTD32InfoScanner::TDVTD32InfoScanner(std::vector<uint8_t> data) : data_(std::move(data)), budget_(data_.size()) {
    names_.push_back(std::string::npos);
    valid_ = IsTD32Data(data_);
    if (valid_) AnalyseDirectory();
}

void TDVTD32InfoScanner::AnalyseDirectory() {
    // The debug information starts L bytes before the end.
    const std::size_t base = data_.size() - Get32(data_, data_.size() - 4);
    std::size_t dir = base + Get32(data_, base + 4);
    std::vector<std::size_t> visited;
    for (;;) {
        // A chain of directories that comes back to one already read ends there.
        if (std::find(visited.begin(), visited.end(), dir) != visited.end()) break;
        visited.push_back(dir);
        if (dir > data_.size() || data_.size() - dir < 16) {
            valid_ = false;
            return;
        }
        const uint16_t entrySize = Get16(data_, dir + 2);
        const uint32_t count = Get32(data_, dir + 4);
        const uint32_t next = Get32(data_, dir + 8);
        if (entrySize != 12 || count > (data_.size() - dir - 16) / 12) {
            // Another entry size: the data count as not valid.
            valid_ = false;
            return;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const std::size_t e = dir + 16 + 12 * static_cast<std::size_t>(i);
            const uint16_t kind = Get16(data_, e);
            const std::size_t at = base + Get32(data_, e + 4);
            const std::size_t size = Get32(data_, e + 8);
            if (at > data_.size() || size > data_.size() - at) continue;
            switch (kind) {
                case 0x120: ReadModule(at, size); break;
                case 0x125: ReadSymbols(at, size); break;
                case 0x127: ReadSourceModule(at, size); break;
                case 0x130: ReadNames(at, size); break;
                default: break;
            }
        }
        if (next == 0) break;
        dir = base + next;
    }
}

void TDVTD32InfoScanner::ReadNames(std::size_t at, std::size_t size) {
    const std::size_t end = at + size;
    const uint32_t count = Get32(data_, at);
    std::size_t p = at + 4;
    for (uint32_t i = 0; i < count && p < end; ++i) {
        const std::size_t length = data_[p];
        if (end - p < length + 2 || !Spend()) break;
        names_.push_back(p);
        p += length + 2;
    }
}

void TDVTD32InfoScanner::ReadSymbols(std::size_t at, std::size_t size) {
    const std::size_t end = at + size;
    std::size_t p = at + 4;
    while (p + 4 <= end) {
        const std::size_t length = Get16(data_, p);
        const uint16_t type = Get16(data_, p + 2);
        if (length < 2 || end - p < length + 2 || !Spend()) break;
        if ((type == 0x204 || type == 0x205) && length + 2 >= 44)
            procs_.push_back({Get32(data_, p + 28), Get32(data_, p + 16), Get32(data_, p + 40)});
        else if (type == 3 || type == 4 || type == 9 || (type >= 0x201 && type <= 0x203) || type == 0x208 ||
                 type == 0x209 || type == 0x20B)
            ++otherSymbols_;
        p += length + 2;
    }
}

void TDVTD32InfoScanner::ReadModule(std::size_t at, std::size_t size) {
    if (size < 32 || !Spend()) return;
    TModule m;
    const uint16_t segments = Get16(data_, at + 4);
    m.NameIndex = Get32(data_, at + 8);
    for (uint16_t i = 0; i < segments; ++i) {
        const std::size_t s = at + 28 + 12 * static_cast<std::size_t>(i);
        if (s + 12 > at + size || !Spend()) break;
        const uint32_t offset = Get32(data_, s + 4);
        m.Segments.push_back({offset, offset + Get32(data_, s + 8)});
    }
    modules_.push_back(std::move(m));
}

void TDVTD32InfoScanner::ReadSourceModule(std::size_t at, std::size_t size) {
    const std::span<const uint8_t> sub(data_.data() + at, size);
    const uint16_t files = Get16(sub, 0);
    for (uint16_t f = 0; f < files; ++f) {
        const std::size_t file = Get32(sub, 4 + 4 * static_cast<std::size_t>(f));
        if (file > size || size - file < 6) continue;
        const uint16_t segments = Get16(sub, file);
        if (segments == 0) continue;
        if (!Spend()) return;
        TSourceModule s;
        s.NameIndex = Get32(sub, file + 2);
        for (uint16_t g = 0; g < segments; ++g) {
            const std::size_t table = Get32(sub, file + 6 + 4 * static_cast<std::size_t>(g));
            const std::size_t range = file + 6 + 4 * static_cast<std::size_t>(segments) + 8 * g;
            if (range <= size && size - range >= 8) s.Ranges.push_back({Get32(sub, range), Get32(sub, range + 4)});
            if (table > size || size - table < 4) continue;
            const uint16_t pairs = Get16(sub, table + 2);
            if ((size - table - 4) / 6 < pairs || !Spend(pairs)) continue;
            for (uint16_t i = 0; i < pairs; ++i)
                s.Lines.push_back({Get32(sub, table + 4 + 4 * static_cast<std::size_t>(i)),
                                   Get16(sub, table + 4 + 4 * static_cast<std::size_t>(pairs) + 2 * i)});
        }
        sources_.push_back(std::move(s));
    }
}

std::string TDVTD32InfoScanner::Name(uint32_t index) const {
    if (index == 0 || index >= names_.size()) return {};
    const std::size_t p = names_[index];
    return std::string(reinterpret_cast<const char*>(data_.data() + p + 1), data_[p]);
}

const TDVTD32InfoScanner::TModule* TDVTD32InfoScanner::FindModule(uint32_t offset) const {
    for (const TModule& m : modules_)
        for (const TSegmentRange& s : m.Segments)
            if (s.Start <= offset && offset < s.End) return &m;
    return nullptr;
}

const TDVTD32InfoScanner::TSourceModule* TDVTD32InfoScanner::FindSourceModule(uint32_t offset) const {
    for (const TSourceModule& m : sources_)
        for (const TSegmentRange& s : m.Ranges)
            if (s.Start <= offset && offset < s.End) return &m;
    return nullptr;
}

const TDVTD32InfoScanner::TProc* TDVTD32InfoScanner::FindProc(uint32_t offset) const {
    for (const TProc& p : procs_)
        if (p.Offset <= offset && offset - p.Offset < p.Size) return &p;
    return nullptr;
}

std::string TDVTD32InfoScanner::UnitNameAt(uint32_t offset) {
    const TModule* m = FindModule(offset);
    return m != nullptr ? Name(m->NameIndex) : std::string();
}

uint32_t TDVTD32InfoScanner::UnitStartAt(uint32_t offset) {
    const TModule* m = FindModule(offset);
    if (m == nullptr) return 0xFFFFFFFFu;
    for (const TSegmentRange& s : m->Segments)
        if (s.Start <= offset && offset < s.End) return s.Start;
    return 0xFFFFFFFFu;
}

std::string TDVTD32InfoScanner::RoutineNameAt(uint32_t offset, uint32_t& inRoutine) {
    inRoutine = 0;
    const TProc* p = FindProc(offset);
    if (p == nullptr) return {};
    inRoutine = offset - p->Offset;
    return CleanTD32ProcName(UnitNameAt(offset), Name(p->NameIndex));
}

int32_t TDVTD32InfoScanner::LineNumberAt(uint32_t offset, uint32_t& inLine) {
    inLine = 0;
    const TSourceModule* s = FindSourceModule(offset);
    if (s == nullptr) return 0;
    // The last entry not above the offset; within the module's ranges the
    // last line holds the code up to the range's end.
    const std::pair<uint32_t, int32_t>* best = nullptr;
    for (const auto& line : s->Lines)
        if (line.first <= offset && (best == nullptr || line.first >= best->first)) best = &line;
    if (best == nullptr) return 0;
    inLine = offset - best->first;
    return best->second;
}

std::string TDVTD32InfoScanner::SourceFileAt(uint32_t offset) {
    const TSourceModule* s = FindSourceModule(offset);
    return s != nullptr ? Name(s->NameIndex) : std::string();
}

// ---- Writers ---------------------------------------------------------------------------------

namespace {

std::string Hex(uint32_t v, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", width, v);
    return buffer;
}

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void Set32(std::string& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutVar(std::string& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

// "Class.Routine" split at the last dot: class and routine.
std::pair<std::string, std::string> ClassAndRoutine(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {std::string(), name};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

}  // namespace

std::string WriteMapFile(const std::vector<TDebugFactUnit>& units) {
    uint32_t end = 0;
    for (const auto& u : units) end = std::max(end, u.Offset + u.Size);
    std::string m = "\r\n Start         Length     Name                   Class\r\n";
    m += " 0001:00001000 " + Hex(end, 9) + "H .text                   CODE\r\n\r\n\r\nDetailed map of segments\r\n\r\n";
    for (const auto& u : units)
        m += " 0001:" + Hex(u.Offset, 8) + " " + Hex(u.Size, 8) + " C=CODE     S=.text    G=(none)   M=" + u.Name +
             " ACBP=A9\r\n";
    std::vector<std::pair<uint32_t, std::string>> publics;
    for (const auto& u : units)
        for (const auto& r : u.Routines) publics.emplace_back(r.Offset, u.Name + "." + r.Name);
    std::vector<std::pair<uint32_t, std::string>> byName = publics;
    std::sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    m += "\r\n\r\n  Address         Publics by Name\r\n\r\n";
    for (const auto& [offset, name] : byName) m += " 0001:" + Hex(offset, 8) + "       " + name + "\r\n";
    std::stable_sort(publics.begin(), publics.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    m += "\r\n\r\n  Address             Publics by Value\r\n\r\n";
    for (const auto& [offset, name] : publics) m += " 0001:" + Hex(offset, 8) + "       " + name + "\r\n";
    for (const auto& u : units) {
        if (u.Lines.empty()) continue;
        m += "\r\n\r\nLine numbers for " + u.Name + "(" + u.SourceFile + ") segment .text\r\n\r\n";
        for (std::size_t i = 0; i < u.Lines.size(); ++i) {
            char entry[40];
            std::snprintf(entry, sizeof entry, "%6d 0001:%08X", u.Lines[i].Line, u.Lines[i].Offset);
            m += entry;
            m += (i % 4 == 3 || i + 1 == u.Lines.size()) ? "\r\n" : " ";
        }
    }
    m += "\r\n";
    return m;
}

std::string WriteJclDebugData(const std::vector<TDebugFactUnit>& units) {
    std::string names(1, '\0');  // offsets are 1-based: position 1 is a dummy 0 byte
    auto addName = [&names](const std::string& name) -> uint32_t {
        if (name.empty()) return 0;
        const uint32_t at = static_cast<uint32_t>(names.size()) + 1;
        names.push_back('\x01');
        for (char c : name) names.push_back(static_cast<uint8_t>(c) == 0xAA ? c : static_cast<char>(c ^ 0xAA));
        names.push_back('\0');
        return at;
    };
    std::string streams[4];
    uint32_t last[4][3] = {};
    auto record = [&](int which, uint32_t offset, uint32_t a, uint32_t b, int fields) {
        const uint32_t v[3] = {offset, a, b};
        for (int f = 0; f < fields; ++f) {
            PutVar(streams[which], v[f] - last[which][f]);
            last[which][f] = v[f];
        }
    };
    for (const auto& u : units) {
        record(kUnits, u.Offset, addName(u.Name), 0, 2);
        record(kSourceFiles, u.Offset, addName(u.SourceFile), 0, 2);
        for (const auto& r : u.Routines) {
            const auto [cls, routine] = ClassAndRoutine(r.Name);
            record(kSymbols, r.Offset, addName(cls.empty() ? routine : cls), cls.empty() ? 0 : addName(routine), 3);
        }
        for (const auto& l : u.Lines) record(kLineNumbers, l.Offset, static_cast<uint32_t>(l.Line), 0, 2);
    }
    std::string out(36, '\0');
    Set32(out, 0, kJclMagic);
    out[4] = 1;
    for (int s = 0; s < 4; ++s) {
        Set32(out, 5 + 4 * static_cast<std::size_t>(s), static_cast<uint32_t>(out.size()));
        out += streams[s];
        PutVar(out, kStreamEnd);
    }
    Set32(out, 21, static_cast<uint32_t>(out.size()));
    out += names;
    while (out.size() % 4 != 0) out.push_back('\0');
    // The checksum c sits across two words: the words then sum to K + rol(c, 8),
    // so c = K (the sum with c zero) makes ror(sum - c, 8) equal to c.
    out[33] = 1;
    uint32_t sum = 0;
    for (std::size_t i = 0; i < out.size(); i += 4)
        sum += static_cast<uint32_t>(static_cast<uint8_t>(out[i])) | static_cast<uint32_t>(static_cast<uint8_t>(out[i + 1])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(out[i + 2])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(out[i + 3])) << 24;
    Set32(out, 29, sum);
    return out;
}

std::string WriteTD32Data(const std::vector<TDebugFactUnit>& units) {
    std::vector<std::string> names;
    auto nameIndex = [&names](const std::string& name) -> uint32_t {
        names.push_back(name.substr(0, 255));
        return static_cast<uint32_t>(names.size());
    };
    struct TSub {
        uint16_t Kind, Module;
        std::string Bytes;
    };
    std::vector<TSub> subs;
    std::string symbols(4, '\0');  // the subsection's signature
    for (std::size_t i = 0; i < units.size(); ++i) {
        const TDebugFactUnit& u = units[i];
        const uint16_t index = static_cast<uint16_t>(i + 1);
        std::string module;
        Put16(module, 0);
        Put16(module, 0);
        Put16(module, 1);
        Put16(module, 0);
        Put32(module, nameIndex(u.Name));
        Put32(module, 0);
        module.append(12, '\0');
        Put16(module, 1);
        Put16(module, 0);
        Put32(module, u.Offset);
        Put32(module, u.Size);
        subs.push_back({0x120, index, module});

        std::string source;
        Put16(source, 1);
        Put16(source, 1);
        Put32(source, 8);  // the file record follows
        Put16(source, 1);
        Put32(source, nameIndex(u.SourceFile));
        Put32(source, 8 + 6 + 4 + 8);  // the line table follows the range
        Put32(source, u.Offset);
        Put32(source, u.Offset + u.Size);
        Put16(source, 1);
        Put16(source, static_cast<uint16_t>(std::min<std::size_t>(u.Lines.size(), 0xFFFF)));
        const std::size_t n = std::min<std::size_t>(u.Lines.size(), 0xFFFF);
        for (std::size_t l = 0; l < n; ++l) Put32(source, u.Lines[l].Offset);
        for (std::size_t l = 0; l < n; ++l) Put16(source, static_cast<uint16_t>(u.Lines[l].Line));
        subs.push_back({0x127, index, source});

        for (const auto& r : u.Routines) {
            const auto [cls, routine] = ClassAndRoutine(r.Name);
            const std::string raw = "@" + u.Name + "@" + (cls.empty() ? "" : cls + "@") + routine + "$qqrv";
            std::string rec(44, '\0');
            Set32(rec, 0, 0);
            rec[0] = 42;
            rec[2] = 0x05;
            rec[3] = 0x02;
            Set32(rec, 16, r.Size);
            Set32(rec, 28, r.Offset);
            Set32(rec, 40, nameIndex(raw));
            symbols += rec;
        }
    }
    subs.push_back({0x125, 0, symbols});
    std::string nameBlock;
    Put32(nameBlock, static_cast<uint32_t>(names.size()));
    for (const std::string& n : names) {
        nameBlock.push_back(static_cast<char>(n.size()));
        nameBlock += n;
        nameBlock.push_back('\0');
    }
    subs.push_back({0x130, 0, nameBlock});

    std::string out;
    Put32(out, kFB09);
    Put32(out, 0);
    std::vector<uint32_t> at;
    for (const TSub& s : subs) {
        at.push_back(static_cast<uint32_t>(out.size()));
        out += s.Bytes;
    }
    Set32(out, 4, static_cast<uint32_t>(out.size()));
    Put16(out, 16);
    Put16(out, 12);
    Put32(out, static_cast<uint32_t>(subs.size()));
    Put32(out, 0);
    Put32(out, 0);
    for (std::size_t i = 0; i < subs.size(); ++i) {
        Put16(out, subs[i].Kind);
        Put16(out, subs[i].Module);
        Put32(out, at[i]);
        Put32(out, static_cast<uint32_t>(subs[i].Bytes.size()));
    }
    Put32(out, kFB09);
    Put32(out, static_cast<uint32_t>(out.size() + 4));
    return out;
}

}  // namespace drevnik
