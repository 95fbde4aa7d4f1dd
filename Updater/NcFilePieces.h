// The local ends of a transfer's block loop: a file read as a source, and a
// replacing file (the target appears only once it is whole) as a sink.
#pragma once

#include <string>

#include "Updater/NcBlockLoop.h"
#include "framework/core/file_io.h"
#include "framework/core/os_file.h"

namespace oru {

class TNcFileSource : public TNcPieceSource {
public:
    explicit TNcFileSource(fw::TOsFile& file) : file_(file) {}
    bool Read(char* buffer, std::size_t want, std::size_t& got) override;
    // Why the last read failed.
    const std::wstring& Error() const { return error_; }

private:
    fw::TOsFile& file_;
    std::wstring error_;
};

class TNcFileSink : public TNcPieceSink {
public:
    explicit TNcFileSink(fw::TReplacingFile& file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override;
    // Why the last write failed.
    const std::wstring& Error() const { return error_; }

private:
    fw::TReplacingFile& file_;
    std::wstring error_;
};

}  // namespace oru
