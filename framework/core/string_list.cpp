// TStringList and the 8-bit text-file helpers.
#include "framework/core/string_list.h"

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/text_codec.h"

namespace fw {
namespace {

wchar_t FoldCase(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 32);
    return c;
}

}  // namespace

int CompareText(const std::wstring& a, const std::wstring& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return CompareText(a, b) == 0; }

int TStringList::Add(std::wstring s) {
    if (!sorted_) {
        items_.push_back(std::move(s));
        return Count() - 1;
    }
    auto it = std::lower_bound(items_.begin(), items_.end(), s,
                               [](const std::wstring& x, const std::wstring& y) { return CompareText(x, y) < 0; });
    if (it != items_.end() && CompareText(*it, s) == 0) {
        if (duplicates_ == TDuplicates::dupIgnore) return static_cast<int>(it - items_.begin());
        if (duplicates_ == TDuplicates::dupError) throw EInvalidOperation(L"String list does not allow duplicates");
    }
    it = items_.insert(it, std::move(s));
    return static_cast<int>(it - items_.begin());
}

void TStringList::Insert(int index, std::wstring s) {
    if (sorted_) throw EInvalidOperation(L"Operation not allowed on sorted list");
    if (index < 0 || index > Count()) throw EInvalidOperation(L"List index out of bounds (" + std::to_wstring(index) + L")");
    items_.insert(items_.begin() + index, std::move(s));
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(L"List index out of bounds (" + std::to_wstring(index) + L")");
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::wstring& s) const {
    for (int i = 0; i < Count(); ++i) {
        if (SameText(items_[static_cast<size_t>(i)], s)) return i;
    }
    return -1;
}

std::wstring TStringList::Names(int index) const {
    const std::wstring& s = (*this)[index];
    size_t eq = s.find(L'=');
    return eq == std::wstring::npos ? std::wstring() : s.substr(0, eq);
}

int TStringList::IndexOfName(const std::wstring& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::wstring& s = items_[static_cast<size_t>(i)];
        size_t eq = s.find(L'=');
        if (eq != std::wstring::npos && SameText(s.substr(0, eq), name)) return i;
    }
    return -1;
}

std::wstring TStringList::Values(const std::wstring& name) const {
    int i = IndexOfName(name);
    if (i < 0) return {};
    const std::wstring& s = items_[static_cast<size_t>(i)];
    return s.substr(s.find(L'=') + 1);
}

void TStringList::SetValue(const std::wstring& name, const std::wstring& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    if (i >= 0) {
        items_[static_cast<size_t>(i)] = name + L"=" + value;
    } else {
        Add(name + L"=" + value);
    }
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const std::wstring& x, const std::wstring& y) { return CompareText(x, y) < 0; });
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
}

std::wstring TStringList::Text() const {
    std::wstring out;
    for (const auto& s : items_) {
        out += s;
        out += L"\r\n";
    }
    return out;
}

void TStringList::SetText(const std::wstring& text) {
    items_.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            items_.push_back(text.substr(start, i - start));
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) items_.push_back(text.substr(start));
    if (sorted_) Sort();
}

std::wstring TStringList::CommaText() const {
    std::wstring out;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += L',';
        const std::wstring& s = items_[i];
        bool quote = s.empty() || s.find_first_of(L" ,\"") != std::wstring::npos;
        if (!quote) {
            out += s;
            continue;
        }
        out += L'"';
        for (wchar_t c : s) {
            if (c == L'"') out += L'"';
            out += c;
        }
        out += L'"';
    }
    return out;
}

void TStringList::LoadFromFile(const std::filesystem::path& path) {
    SetText(AnsiToWide(ReadFileBytes(path)));
}

void TStringList::SaveToFile(const std::filesystem::path& path) const {
    WriteFileBytes(path, WideToAnsi(Text()));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace fw
