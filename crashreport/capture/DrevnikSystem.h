// Helpers of the crash-report library that ask the system: process and module
// names, environment and %NAME% variables, time zone, code page, folders and
// files, INI and registry reads, and checks of foreign memory. None of them
// raises: a failure gives an empty text, 0 or false.
//
// Windows implements them in DrevnikSystem_win.cpp. The host build (tests
// under the sanitizers) has stand-ins in DrevnikSystem_host.cpp that keep the
// "\" path convention: host paths are written with "\" and turned into "/"
// only at the POSIX calls, so the platform-free path rules behave alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

using TModuleHandle = uintptr_t;

// ---- Process and modules ---------------------------------------------------------

std::string GetProgramFileName();  // the running program's file
std::string GetCommandLineText();
uintptr_t GetCurrentProcessHandle();  // the pseudo-handle
uint32_t GetCurrentProcessIdValue();
// The module that holds this copy of the library (the program or a DLL).
TModuleHandle LibraryModuleHandle();
// The loaded module of that file name; 0 for an empty name or none loaded.
TModuleHandle FindModuleHandle(std::string_view moduleName);
// The module's file name with a long-path prefix dropped and short names
// expanded; empty when the handle is no module.
std::string GetModuleFileNameLong(TModuleHandle module);
bool IsModuleHandle(TModuleHandle module);
std::string GetLibraryModuleFileName();
std::string GetComputerNameText();  // at most 15 characters

// Development environment as host: computed once by CoreInitStep.
bool DetectIdeHost();
bool IsIdeHost();
void SetIdeHostFlag(bool value);

// Code of the library's main unit starts at this routine's address.
void MainUnitCodeStart();

// ---- Environment and %NAME% variables -------------------------------------------

std::string GetEnvironmentText(std::string_view name);  // empty when missing
bool SetEnvironmentText(std::string_view name, std::string_view value);
std::string GetCurrentFolder();
std::string LocaleShortDateText(double localDateTime);  // the user's short date format
std::string LocaleLongTimeText(double localDateTime);   // the user's long time format

// The environment variable of that name; when missing or empty, "date",
// "time" and "cd" (any case) give the current date, time and folder, any
// other name an empty text.
std::string ExpandVariable(std::string_view name);
// Every %NAME% replaced through ExpandVariable (see ExpandVariablesWith).
std::string ExpandVariables(std::string_view text);

// ---- Time ---------------------------------------------------------------------------

double NowDateTime();  // local date-time
// Local time minus UTC in minutes, as it stood at the given local date-time
// (so a report made in winter about a summer date gets the summer offset).
int GetUtcOffsetMinutes(double localDateTime);
// The current offset in whole hours, halves rounded to even.
int GetUtcOffsetHours();
// The mail-header date with the system's offset at that date-time.
std::string FormatRfc822Date(double localDateTime);

// ---- Code page --------------------------------------------------------------------------

// 8-bit text in the system's default code page to UTF-16 (host: Windows-1252).
std::u16string AnsiToUtf16(std::string_view text);
std::string EncodeUtf8(std::string_view text);
// Font character set of the user's default ANSI code page (0 on the host).
int GetUserCharset();

// ---- Folders and files -----------------------------------------------------------------

std::string GetShellFolderPath(int csidl);  // through shfolder.dll; empty on failure
std::string GetAppDataFolder();             // CSIDL 26, else %AppData%, else "\"
// Puts this process's application-data folder (and so the library's folder
// below it) elsewhere, so that tests work in folders of their own; an empty
// path gives the system's folder back.
void SetAppDataFolderOverride(std::string_view folder);
std::string GetWindowsFolder();
bool IsWindows9x();
std::string GetLibraryAppDataFolder();  // application-data folder + "\DrevnikLog"
std::string GetLibraryDataFolder();     // the Windows folder on 9x, else the above
std::string GetTempFolder();            // with its final "\"

bool FolderExists(std::string_view path);
bool CreateFolder(std::string_view path);  // one level
// Creates the folder with every missing parent; %NAME% variables expanded.
bool ForceFolders(std::string_view path);
bool CanOpenForRead(std::string_view path);
// Opens (or creates) for reading and writing; a file created by the test is
// deleted again.
bool CanOpenForWrite(std::string_view path);
bool CanOpenFile(std::string_view path, bool readOnly);
// Expands %NAME% in `path`; when the file cannot be opened there, moves it
// into the library's application-data folder (and the program's sub-folder
// below it when asked). False when neither place works.
bool EnsureWritableFile(std::string& path, bool intoProgramSubFolder, bool readOnly);
// Last write time as a local date-time with two-second resolution; 0 when missing.
double GetFileDateTime(std::string_view path);
// Short (8.3) components of a path replaced by their long names.
std::string ExpandLongPathName(std::string_view path);

// Whole-file reads and writes for the library's own small files, through the
// framework's (a write replaces the file whole or leaves it as it was). A
// read refuses files above maxSize. False for every failure.
bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxSize);
bool WriteWholeFile(std::string_view path, std::string_view contents);

// ---- INI files and registry --------------------------------------------------------------

// A file name without folder lives in GetLibraryDataFolder; when the file
// cannot be placed, the default is returned / nothing is written.
std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultValue);
bool WriteIniString(std::string_view file, std::string_view section, std::string_view key, std::string_view value);

// The predefined root keys, sign-extended as Windows defines them.
constexpr uintptr_t kHkeyClassesRoot = static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80000000u)));
constexpr uintptr_t kHkeyCurrentUser = static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80000001u)));
constexpr uintptr_t kHkeyLocalMachine = static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80000002u)));
// A string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) without its trailing
// NULs; empty for a missing key or value or another value type.
std::string ReadRegistryString(uintptr_t rootKey, std::string_view keyPath, std::string_view valueName);

// ---- Foreign memory ------------------------------------------------------------------------

// How many bytes from `address` on are committed and readable, following
// regions until `length` is reached; 0 as soon as one is not. The answer is
// the readable rest of the last region, so it can be more than `length`.
std::size_t GetReadableLength(const void* address, std::size_t length);
bool IsReadableMemory(const void* address, std::size_t length);
// The target of an import thunk "jmp [pointer]" (FF 25) at `address`, else
// the address itself. On x86-64 the pointer is RIP-relative.
uintptr_t ResolveImportThunk(uintptr_t address);

}  // namespace drevnik
