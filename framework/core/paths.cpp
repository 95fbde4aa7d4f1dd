// File-name helpers, one template for both kinds of text.
#include "framework/core/paths.h"

namespace fw {
namespace {

template <class C>
bool IsDelimiter(C c) {
    return c == C('\\') || c == C('/') || c == C(':');
}

template <class C>
std::size_t NameStart(std::basic_string_view<C> path) {
    for (std::size_t i = path.size(); i-- > 0;) {
        if (IsDelimiter(path[i])) return i + 1;
    }
    return 0;
}

// Where the extension starts, or the size when there is none.
template <class C>
std::size_t ExtStart(std::basic_string_view<C> path) {
    const std::size_t name = NameStart(path);
    for (std::size_t i = path.size(); i-- > name;) {
        if (path[i] == C('.')) return i;
    }
    return path.size();
}

template <class C>
std::basic_string<C> Include(std::basic_string_view<C> path) {
    std::basic_string<C> out(path);
    if (out.empty() || out.back() != C('\\')) out.push_back(C('\\'));
    return out;
}

template <class C>
std::basic_string<C> Exclude(std::basic_string_view<C> path) {
    if (!path.empty() && path.back() == C('\\')) path.remove_suffix(1);
    return std::basic_string<C>(path);
}

template <class C>
std::basic_string<C> Change(std::basic_string_view<C> path, std::basic_string_view<C> extension) {
    std::basic_string<C> out(path.substr(0, ExtStart(path)));
    out += extension;
    return out;
}

}  // namespace

std::string IncludeTrailingBackslash(std::string_view path) { return Include(path); }
std::wstring IncludeTrailingBackslash(std::wstring_view path) { return Include(path); }
std::string ExcludeTrailingBackslash(std::string_view path) { return Exclude(path); }
std::wstring ExcludeTrailingBackslash(std::wstring_view path) { return Exclude(path); }
std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }
std::wstring ExtractFilePath(std::wstring_view path) { return std::wstring(path.substr(0, NameStart(path))); }
std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }
std::wstring ExtractFileName(std::wstring_view path) { return std::wstring(path.substr(NameStart(path))); }
std::string ExtractFileExt(std::string_view path) { return std::string(path.substr(ExtStart(path))); }
std::wstring ExtractFileExt(std::wstring_view path) { return std::wstring(path.substr(ExtStart(path))); }
std::string ChangeFileExt(std::string_view path, std::string_view extension) { return Change(path, extension); }
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension) { return Change(path, extension); }

}  // namespace fw
