// TClipboard.
#include "framework/gui/clipboard.h"

#include <cstring>

#include "framework/core/exceptions.h"

namespace fw {

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

void TClipboard::Open() {
    if (open_count_ == 0) {
        bool opened = false;
        for (int attempt = 0; attempt < 20 && !opened; ++attempt) {
            opened = OpenClipboard(nullptr) != FALSE;
            if (!opened) Sleep(10);
        }
        if (!opened) throw EInvalidOperation(L"Cannot open clipboard");
    }
    ++open_count_;
}

void TClipboard::Close() {
    if (open_count_ == 0) return;
    if (--open_count_ == 0) CloseClipboard();
}

bool TClipboard::HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }

std::wstring TClipboard::AsText() {
    Open();
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            const size_t max = GlobalSize(data) / sizeof(wchar_t);
            text.assign(p, wcsnlen(p, max));
            GlobalUnlock(data);
        }
    }
    Close();
    return text;
}

void TClipboard::SetAsText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) throw EOutOfMemory(L"Out of memory");
    if (void* p = GlobalLock(mem)) {
        std::memcpy(p, text.c_str(), bytes);
        GlobalUnlock(mem);
    }
    Open();
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    Close();
}

void TClipboard::Clear() {
    Open();
    EmptyClipboard();
    Close();
}

}  // namespace fw
