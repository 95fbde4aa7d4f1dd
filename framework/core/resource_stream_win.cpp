// TResourceStream over FindResource / LoadResource / LockResource.
#include "framework/core/resource_stream.h"

#include <windows.h>

namespace fw {

TResourceStream::TResourceStream(void* instance, const std::wstring& name, const wchar_t* type) {
    Load(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(void* instance, int id, const wchar_t* type) {
    Load(instance, MAKEINTRESOURCEW(id), type, std::to_wstring(id));
}

void TResourceStream::Load(void* instance, const wchar_t* name, const wchar_t* type, const std::wstring& shownName) {
    auto module = static_cast<HMODULE>(instance ? instance : GetModuleHandleW(nullptr));
    HRSRC info = FindResourceW(module, name, type ? type : RT_RCDATA);
    HGLOBAL block = info ? LoadResource(module, info) : nullptr;
    const void* data = block ? LockResource(block) : nullptr;
    if (!data) throw EResNotFound(L"Resource " + shownName + L" not found");
    SetPointer(static_cast<const uint8_t*>(data), SizeofResource(module, info));
}

}  // namespace fw
