// TResourceStream (Windows only): reads a resource of a loaded module, by
// name or by number, of type RT_RCDATA unless another is named ("AVI",
// "PNG"...). The block belongs to the module; the stream is read-only.
#pragma once

#include <string>

#include "framework/core/streams.h"

namespace fw {

class EResNotFound : public Exception { using Exception::Exception; };

class TResourceStream : public TCustomMemoryStream {
public:
    // `instance` is the module's HINSTANCE (nullptr: the program itself);
    // `type` nullptr stands for RT_RCDATA. EResNotFound when it is missing.
    TResourceStream(void* instance, const std::wstring& name, const wchar_t* type = nullptr);
    TResourceStream(void* instance, int id, const wchar_t* type = nullptr);

private:
    void Load(void* instance, const wchar_t* name, const wchar_t* type, const std::wstring& shownName);
};

}  // namespace fw
