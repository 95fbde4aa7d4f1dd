// TStringList: an ordered list of strings with optional sorting, duplicate
// rules and "name=value" access, and 8-bit text-file input and output
// (Windows-1252, CR LF line ends on output; CR LF, LF or lone CR on input).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fw {

enum class TDuplicates { dupAccept, dupIgnore, dupError };

class TStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const std::wstring& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::wstring& Strings(int index) const { return (*this)[index]; }
    void SetString(int index, std::wstring s) { items_.at(static_cast<size_t>(index)) = std::move(s); }

    int Add(std::wstring s);
    void Insert(int index, std::wstring s);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int IndexOf(const std::wstring& s) const;  // case-insensitive, like the rest of the lookups
    int IndexOfName(const std::wstring& name) const;
    std::wstring Values(const std::wstring& name) const;
    void SetValue(const std::wstring& name, const std::wstring& value);
    std::wstring Names(int index) const;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }

    // Lines joined with CR LF, each line ended.
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    std::wstring CommaText() const;

    // Throws EInOutError when the file cannot be read or written.
    void LoadFromFile(const std::filesystem::path& path);
    void SaveToFile(const std::filesystem::path& path) const;

    const std::vector<std::wstring>& Items() const { return items_; }

private:
    void Sort();
    std::vector<std::wstring> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::dupAccept;
};

// Splits text into lines at CR LF, LF or a lone CR (no empty last line for a
// trailing line end).
std::vector<std::string> SplitLines(const std::string& text);

// Case-insensitive comparison of UTF-16 text (ASCII and Latin-1 letters).
int CompareText(const std::wstring& a, const std::wstring& b);
bool SameText(const std::wstring& a, const std::wstring& b);

}  // namespace fw
