#include "crashreport/delivery/ZipPacking.h"

#include <windows.h>

#include <cstdio>
#include <minizip/zip.h>

#include "crashreport/delivery/KeptZips.h"
#include "framework/core/paths.h"
#include "framework/core/scoped_handle.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::wstring Wide(std::string_view text) { return fw::AnsiToWide(text); }

struct TFileClose {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using TFileHandle = fw::TScopedHandle<HANDLE, TFileClose>;

struct TFindClose {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE h) const { FindClose(h); }
};
using TFindHandle = fw::TScopedHandle<HANDLE, TFindClose>;

// minizip opens its file through these, so that the library's 8-bit paths
// reach the file system as the characters they stand for.
voidpf ZCALLBACK OpenZipFile(voidpf, const char* filename, int mode) {
    const wchar_t* access = (mode & ZLIB_FILEFUNC_MODE_CREATE) != 0 ? L"wb" : L"rb";
    return _wfopen(Wide(filename).c_str(), access);
}
uLong ZCALLBACK ReadZipFile(voidpf, voidpf stream, void* buffer, uLong size) {
    return static_cast<uLong>(std::fread(buffer, 1, size, static_cast<FILE*>(stream)));
}
uLong ZCALLBACK WriteZipFile(voidpf, voidpf stream, const void* buffer, uLong size) {
    return static_cast<uLong>(std::fwrite(buffer, 1, size, static_cast<FILE*>(stream)));
}
long ZCALLBACK TellZipFile(voidpf, voidpf stream) { return std::ftell(static_cast<FILE*>(stream)); }
long ZCALLBACK SeekZipFile(voidpf, voidpf stream, uLong offset, int origin) {
    const int whence = origin == ZLIB_FILEFUNC_SEEK_CUR ? SEEK_CUR : origin == ZLIB_FILEFUNC_SEEK_END ? SEEK_END : SEEK_SET;
    return std::fseek(static_cast<FILE*>(stream), static_cast<long>(offset), whence) == 0 ? 0 : -1;
}
int ZCALLBACK CloseZipFile(voidpf, voidpf stream) {
    // A failed flush of the last bytes is a failed close.
    return std::fclose(static_cast<FILE*>(stream)) == 0 ? 0 : -1;
}
int ZCALLBACK ZipFileError(voidpf, voidpf stream) { return std::ferror(static_cast<FILE*>(stream)); }

zlib_filefunc_def ZipFileFunctions() {
    zlib_filefunc_def functions{};
    functions.zopen_file = OpenZipFile;
    functions.zread_file = ReadZipFile;
    functions.zwrite_file = WriteZipFile;
    functions.ztell_file = TellZipFile;
    functions.zseek_file = SeekZipFile;
    functions.zclose_file = CloseZipFile;
    functions.zerror_file = ZipFileError;
    return functions;
}

// The file's last write time as a local DOS date and time.
zip_fileinfo GetZipFileInfo(HANDLE file) {
    zip_fileinfo info{};
    FILETIME written{}, local{};
    WORD date = 0, time = 0;
    if (GetFileTime(file, nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &local) &&
        FileTimeToDosDateTime(&local, &date, &time)) {
        info.dosDate = (static_cast<uLong>(date) << 16) | time;
    }
    return info;
}

bool ForceDelete(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(path.c_str()) != 0;
}

}  // namespace

TZipWriter::TZipWriter(std::string zipPath, std::string password)
    : zipPath_(std::move(zipPath)), tempPath_(zipPath_ + ".part"), password_(std::move(password)) {
    // Whatever this run leaves behind, an archive of an earlier run is never sent.
    ForceDelete(Wide(zipPath_));
    ForceDelete(Wide(tempPath_));
    zlib_filefunc_def functions = ZipFileFunctions();
    zip_ = zipOpen2(tempPath_.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
}

TZipWriter::~TZipWriter() { Close(); }

bool TZipWriter::AddFile(const std::string& sourcePath, const std::string& entryName) {
    if (zip_ == nullptr) return false;
    TFileHandle file(CreateFileW(Wide(sourcePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    const zip_fileinfo info = GetZipFileInfo(file.Get());
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return false;
    file.Reset();

    const char* password = password_.empty() ? nullptr : password_.c_str();
    const uLong crc = password != nullptr ? crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()),
                                                  static_cast<uInt>(bytes.size()))
                                          : 0;
    // A half-written entry makes the whole archive unusable.
    if (zipOpenNewFileInZip3(zip_, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 0,
                             -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, password, crc) != ZIP_OK) {
        failed_ = true;
        return false;
    }
    if (zipWriteInFileInZip(zip_, bytes.data(), static_cast<unsigned>(bytes.size())) < 0 ||
        zipCloseFileInZip(zip_) != ZIP_OK) {
        failed_ = true;
        return false;
    }
    return true;
}

bool TZipWriter::Close() {
    if (zip_ == nullptr) return false;
    const bool closed = zipClose(zip_, nullptr) == ZIP_OK;
    zip_ = nullptr;
    const std::wstring temp = Wide(tempPath_);
    if (!closed || failed_ ||
        !MoveFileExW(temp.c_str(), Wide(zipPath_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ForceDelete(temp);
        return false;
    }
    return true;
}

bool PackFilesToZip(const std::string& zipPath, const std::string& password, const std::vector<std::string>& list) {
    if (list.empty()) {
        // The channels must find no archive rather than one of an earlier report.
        ForceDelete(Wide(zipPath));
        return false;
    }
    TZipWriter writer(zipPath, password);
    for (const std::string& path : list) writer.AddFile(path, fw::ExtractFileName(path));
    return writer.Close();
}

int PruneKeptZips(const std::string& folder) {
    const std::wstring base = Wide(fw::IncludeTrailingBackslash(folder));
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    {
        TFindHandle find(FindFirstFileW((base + L"*.zip").c_str(), &found));
        if (!find) return 0;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(fw::WideToAnsi(found.cFileName));
        } while (FindNextFileW(find.Get(), &found));
    }
    int deleted = 0;
    for (const std::string& name : SelectZipsToPrune(std::move(names)))
        if (ForceDelete(base + Wide(name))) ++deleted;
    return deleted;
}

bool KeepZip(const std::string& zipPath, const std::string& keptPath) {
    const std::string folder = fw::ExtractFilePath(keptPath);
    if (!folder.empty()) CreateDirectoryW(Wide(folder).c_str(), nullptr);
    if (!MoveFileExW(Wide(zipPath).c_str(), Wide(keptPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return false;
    if (!folder.empty()) PruneKeptZips(folder);
    return true;
}

}  // namespace drevnik
