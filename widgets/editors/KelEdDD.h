// OLE drag and drop of text: a drop target with overridable handlers, a
// reader for the formats a dropped data object offers, and a drop source,
// data object and format enumerator for dragged text. Every OLE method
// catches what its body throws: no failure crosses an OLE call.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/core/exceptions.h"
#include "framework/core/string_list.h"

namespace kel {

// Holds one reference to a COM object; releases it on scope exit.
template <class I>
class TComRef {
public:
    TComRef() = default;
    // Takes over a reference the caller owns.
    explicit TComRef(I* p) : p_(p) {}
    ~TComRef() { Reset(); }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;
    TComRef(TComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    TComRef& operator=(TComRef&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    I** put() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    I* p_ = nullptr;
};

// The registered id of "Rich Text Format" (0 until a format reader
// registers it), and the switch that lets rich text be accepted and offered;
// nothing turns it on.
UINT RichTextFormat();
extern bool RichTextEnabled;

// The edit module's start and stop steps: OLE on the GUI thread.
void StartOle();
void StopOle();

// A data object that cannot list its formats.
class EDropFormatError : public fw::Exception {
    using Exception::Exception;
};

// Reads what a data object offers.
class TEnumFormats {
public:
    explicit TEnumFormats(IDataObject* data);
    TEnumFormats(const TEnumFormats&) = delete;
    TEnumFormats& operator=(const TEnumFormats&) = delete;

    // Takes another data object (raises EDropFormatError when it has no
    // format enumerator).
    void SetDataObject(IDataObject* data);
    bool Reset();
    bool Next();
    bool FindFormat(CLIPFORMAT id);
    // 8-bit text of a format in the system code page, up to its zero.
    std::wstring ReadText(CLIPFORMAT id);
    // Fills FileNames from the current format's DROPFILES block.
    bool ReadFileList();
    const fw::TStringList& FileNames() const { return files_; }

    bool OffersText() { return FindFormat(CF_TEXT); }
    bool OffersRichText();
    bool OffersFileList() { return FindFormat(CF_HDROP); }
    std::wstring ReadPlainText() { return ReadText(CF_TEXT); }
    std::wstring ReadRichText();

private:
    // The current format's data in global memory, or an empty medium.
    bool GlobalData(STGMEDIUM& medium);

    TComRef<IDataObject> data_;
    TComRef<IEnumFORMATETC> formats_;
    FORMATETC current_{};
    bool valid_ = false;
    fw::TStringList files_;
};

// The reference-counted base of the objects below. COM interfaces have no
// virtual destructor; Release deletes through this class's virtual one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class I>
class TComObject : public I {
public:
    virtual ~TComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(I))) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};
#pragma GCC diagnostic pop

// A drop target: accepts text and file lists (and rich text while the
// switch is on) and hands what is dropped to its handlers.
class TAEDropTarget : public TComObject<IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

protected:
    virtual void HandleDroppedText(POINT /*pt*/, const std::wstring& /*text*/) {}
    virtual void HandleDroppedRichText(POINT /*pt*/, const std::wstring& /*text*/) {}
    virtual void HandleDroppedFiles(POINT /*pt*/, const fw::TStringList& /*files*/) {}
    virtual void CheckDragOver(POINT /*pt*/, bool& allow) { allow = true; }
    // Reports an unexpected failure of a handler (the application's handler).
    virtual void HandleFailure();
    // The key state of the drop being handled.
    DWORD KeyState() const { return key_state_; }
    // A handler that takes nothing of the drop says so: the drop then
    // answers no effect, and the source keeps its data.
    void RefuseDrop() { refused_ = true; }

private:
    bool accepting_ = false;
    DWORD key_state_ = 0;
    bool refused_ = false;
};

// The effect of a key state: copy with Ctrl, else move.
DWORD KeyStateEffect(DWORD keyState);

class TAEDropSource : public TComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
    bool NoEffect() const { return no_effect_; }

private:
    bool no_effect_ = false;
};

class TSourceDataObject : public TComObject<IDataObject> {
public:
    TSourceDataObject(std::wstring text, std::string richText)
        : text_(std::move(text)), rich_(std::move(richText)) {}
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

private:
    std::wstring text_;
    std::string rich_;
};

class TSourceEnumFormatEtc : public TComObject<IEnumFORMATETC> {
public:
    explicit TSourceEnumFormatEtc(ULONG index = 0) : index_(index) {}
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
    ULONG index_;
};

// Runs one drag of the texts: DRAGDROP_S_DROP, or DRAGDROP_S_CANCEL also
// when the last feedback showed no effect.
HRESULT RunOleDrag(const std::wstring& text, const std::string& richText, DWORD allowedEffects, DWORD& effect);

}  // namespace kel
