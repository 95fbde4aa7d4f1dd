// Helpers for Windows file names, in 8-bit and UTF-16 text alike: "\", "/"
// and a drive's ":" end a folder name.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// A final "\" added when missing ("" becomes "\"), or one final "\" removed.
std::string IncludeTrailingBackslash(std::string_view path);
std::wstring IncludeTrailingBackslash(std::wstring_view path);
std::string ExcludeTrailingBackslash(std::string_view path);
std::wstring ExcludeTrailingBackslash(std::wstring_view path);
// The folder with its final delimiter ("C:\a\" of "C:\a\b.txt", "C:" of
// "C:b.txt"); empty when there is none.
std::string ExtractFilePath(std::string_view path);
std::wstring ExtractFilePath(std::wstring_view path);
// What follows the folder.
std::string ExtractFileName(std::string_view path);
std::wstring ExtractFileName(std::wstring_view path);
// The extension with its point, from the last point of the name; empty
// when the name has none.
std::string ExtractFileExt(std::string_view path);
std::wstring ExtractFileExt(std::wstring_view path);
// The path with its extension replaced ("" removes it).
std::string ChangeFileExt(std::string_view path, std::string_view extension);
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension);

}  // namespace fw
