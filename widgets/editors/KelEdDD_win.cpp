// OLE drag and drop of text.
#include "widgets/editors/KelEdDD.h"

#include <cstring>

#include "framework/gui/application.h"
#include "widgets/editors/KelDropFiles.h"

namespace kel {
namespace {

UINT rich_text_format = 0;

std::wstring AnsiToWideCP(std::string_view s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string WideToAnsiCP(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), a.data(), n, nullptr, nullptr);
    return a;
}

// Locked global memory, unlocked on scope exit.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr), size_(h ? GlobalSize(h) : 0) {}
    ~GlobalLockScope() {
        if (p_) GlobalUnlock(h_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const uint8_t* data() const { return static_cast<const uint8_t*>(p_); }
    size_t size() const { return p_ ? size_ : 0; }

private:
    HGLOBAL h_;
    void* p_;
    size_t size_;
};

// A storage medium released on scope exit.
struct MediumScope {
    STGMEDIUM medium{};
    ~MediumScope() {
        if (medium.tymed != TYMED_NULL) ReleaseStgMedium(&medium);
    }
};

HGLOBAL CopyToGlobal(const void* bytes, size_t count) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, count);
    if (!mem) return nullptr;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return nullptr;
    }
    std::memcpy(p, bytes, count);
    GlobalUnlock(mem);
    return mem;
}

POINT ToPoint(POINTL pt) { return POINT{pt.x, pt.y}; }

}  // namespace

bool RichTextEnabled = false;

UINT RichTextFormat() { return rich_text_format; }

void StartOle() {
    const HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) throw fw::EInvalidOperation(L"OLE could not be initialised");
}

void StopOle() { OleUninitialize(); }

// --- format reader ------------------------------------------------------------

TEnumFormats::TEnumFormats(IDataObject* data) {
    SetDataObject(data);
    if (OpenClipboard(nullptr)) {
        rich_text_format = RegisterClipboardFormatW(L"Rich Text Format");
        CloseClipboard();
    }
}

void TEnumFormats::SetDataObject(IDataObject* data) {
    formats_.Reset();
    data_.Reset();
    if (data) data->AddRef();
    data_ = TComRef<IDataObject>(data);
    if (!data_ || FAILED(data_->EnumFormatEtc(DATADIR_GET, formats_.put())) || !formats_) {
        throw EDropFormatError(L"Cannot get the format enumerator");
    }
    Reset();
}

bool TEnumFormats::Reset() {
    valid_ = false;
    return SUCCEEDED(formats_->Reset());
}

bool TEnumFormats::Next() {
    if (current_.ptd) {
        CoTaskMemFree(current_.ptd);
        current_.ptd = nullptr;
    }
    ULONG fetched = 0;
    valid_ = formats_->Next(1, &current_, &fetched) == S_OK && fetched == 1;
    return valid_;
}

bool TEnumFormats::FindFormat(CLIPFORMAT id) {
    if (id == 0) return false;
    Reset();
    while (Next()) {
        if (current_.cfFormat == id) return true;
    }
    return false;
}

bool TEnumFormats::GlobalData(STGMEDIUM& medium) {
    if (!valid_ || !(current_.tymed & TYMED_HGLOBAL)) return false;
    FORMATETC want = current_;
    want.tymed = TYMED_HGLOBAL;
    return SUCCEEDED(data_->GetData(&want, &medium)) && medium.tymed == TYMED_HGLOBAL && medium.hGlobal;
}

std::wstring TEnumFormats::ReadText(CLIPFORMAT id) {
    if (!FindFormat(id)) return {};
    MediumScope m;
    if (!GlobalData(m.medium)) return {};
    GlobalLockScope lock(m.medium.hGlobal);
    const char* p = reinterpret_cast<const char*>(lock.data());
    if (!p) return {};
    return AnsiToWideCP(std::string_view(p, strnlen(p, lock.size())));
}

bool TEnumFormats::ReadFileList() {
    files_.Clear();
    MediumScope m;
    if (!GlobalData(m.medium)) return false;
    GlobalLockScope lock(m.medium.hGlobal);
    if (!lock.data()) return false;
    try {
        for (std::wstring& name : ParseDropFiles({lock.data(), lock.size()}, AnsiToWideCP)) files_.Add(std::move(name));
    } catch (const fw::EReadError&) {
        // A broken block gives no names.
    }
    return files_.Count() > 0;
}

bool TEnumFormats::OffersRichText() { return FindFormat(static_cast<CLIPFORMAT>(rich_text_format)); }

std::wstring TEnumFormats::ReadRichText() { return ReadText(static_cast<CLIPFORMAT>(rich_text_format)); }

// --- drop target -------------------------------------------------------------

DWORD KeyStateEffect(DWORD keyState) { return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }

void TAEDropTarget::HandleFailure() { fw::HandleCallbackException(nullptr); }

HRESULT STDMETHODCALLTYPE TAEDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL /*pt*/, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    accepting_ = false;
    try {
        TEnumFormats reader(data);
        accepting_ = reader.OffersText() || reader.OffersFileList() || (reader.OffersRichText() && RichTextEnabled);
    } catch (const EDropFormatError&) {
        // A data object that lists no formats offers nothing to take.
    } catch (...) {
        HandleFailure();
    }
    *effect = accepting_ ? KeyStateEffect(keyState) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TAEDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = accepting_ ? KeyStateEffect(keyState) : DROPEFFECT_NONE;
    bool allow = true;
    try {
        CheckDragOver(ToPoint(pt), allow);
    } catch (...) {
        HandleFailure();
        allow = false;
    }
    if (!allow) *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TAEDropTarget::DragLeave() { return S_OK; }

HRESULT STDMETHODCALLTYPE TAEDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    if (!accepting_) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    *effect = KeyStateEffect(keyState);
    key_state_ = keyState;
    refused_ = false;
    try {
        TEnumFormats reader(data);
        const POINT p = ToPoint(pt);
        if (reader.OffersRichText() && RichTextEnabled) {
            HandleDroppedRichText(p, reader.ReadRichText());
        } else if (reader.OffersText()) {
            HandleDroppedText(p, reader.ReadPlainText());
        }
        if (reader.OffersFileList() && reader.ReadFileList()) HandleDroppedFiles(p, reader.FileNames());
        if (refused_) *effect = DROPEFFECT_NONE;
    } catch (const EDropFormatError&) {
        *effect = DROPEFFECT_NONE;
    } catch (...) {
        HandleFailure();
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

// --- drop source, data object, format enumerator ---------------------------

HRESULT STDMETHODCALLTYPE TAEDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TAEDropSource::GiveFeedback(DWORD effect) {
    no_effect_ = effect == DROPEFFECT_NONE;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::QueryGetData(FORMATETC* format) {
    if (!format || format->dwAspect != DVASPECT_CONTENT || format->tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
    const CLIPFORMAT cf = format->cfFormat;
    if (cf == CF_TEXT || cf == CF_UNICODETEXT) return S_OK;
    if (RichTextEnabled && rich_text_format && cf == rich_text_format) return S_OK;
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium) return E_INVALIDARG;
    *medium = STGMEDIUM{};
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    try {
        HGLOBAL mem = nullptr;
        if (format->cfFormat == CF_UNICODETEXT) {
            mem = CopyToGlobal(text_.c_str(), (text_.size() + 1) * sizeof(wchar_t));
        } else if (format->cfFormat == CF_TEXT) {
            const std::string ansi = WideToAnsiCP(text_);
            mem = CopyToGlobal(ansi.c_str(), ansi.size() + 1);
        } else {
            mem = CopyToGlobal(rich_.c_str(), rich_.size() + 1);
        }
        if (!mem) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = mem;
        return S_OK;
    } catch (...) {
        fw::HandleCallbackException(nullptr);
        return DV_E_FORMATETC;
    }
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT STDMETHODCALLTYPE TSourceDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return DV_E_FORMATETC; }

HRESULT STDMETHODCALLTYPE TSourceDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    try {
        *out = new TSourceEnumFormatEtc();
        return S_OK;
    } catch (...) {
        fw::HandleCallbackException(nullptr);
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE TSourceDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT STDMETHODCALLTYPE TSourceDataObject::EnumDAdvise(IEnumSTATDATA** out) {
    if (out) *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE TSourceEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
    const CLIPFORMAT ids[3] = {CF_TEXT, CF_UNICODETEXT, static_cast<CLIPFORMAT>(rich_text_format)};
    ULONG filled = 0;
    while (filled < count && index_ < 3 && formats) {
        formats[filled] = FORMATETC{ids[index_], nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        ++filled;
        ++index_;
    }
    if (fetched) *fetched = filled;
    return filled == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TSourceEnumFormatEtc::Skip(ULONG count) {
    if (count > 3 - index_) {
        index_ = 3;
        return S_FALSE;
    }
    index_ += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TSourceEnumFormatEtc::Reset() {
    index_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TSourceEnumFormatEtc::Clone(IEnumFORMATETC** out) {
    if (!out) return E_INVALIDARG;
    try {
        *out = new TSourceEnumFormatEtc(index_);
        return S_OK;
    } catch (...) {
        *out = nullptr;
        fw::HandleCallbackException(nullptr);
        return E_OUTOFMEMORY;
    }
}

HRESULT RunOleDrag(const std::wstring& text, const std::string& richText, DWORD allowedEffects, DWORD& effect) {
    TComRef<TAEDropSource> source(new TAEDropSource());
    TComRef<TSourceDataObject> data(new TSourceDataObject(text, richText));
    effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(data.get(), source.get(), allowedEffects, &effect);
    return source->NoEffect() ? DRAGDROP_S_CANCEL : hr;
}

}  // namespace kel
