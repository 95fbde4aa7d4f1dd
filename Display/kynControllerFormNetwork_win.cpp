// The control panel's Network page: the server binding and the host look-up.
#include "Display/kynControllerFormGUI.h"
#include "framework/core/exceptions.h"

#include <cerrno>
#include <cwchar>

namespace kyn {

namespace {

// The port as an int; a text that is no number raises the conversion error.
int PortFromText(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(begin, &end, 10);
    const bool blankStart = !text.empty() && std::iswspace(static_cast<wint_t>(text[0]));
    if (text.empty() || blankStart || end == begin || *end != L'\0' || errno == ERANGE || value < INT32_MIN ||
        value > INT32_MAX) {
        throw fw::EConvertError(L"'" + text + L"' is not a valid integer value");
    }
    return static_cast<int>(value);
}

}  // namespace

void TkynControllerForm::KelGlowButton13Click() {
    const std::wstring ip = KelEdit1->Text();
    model_.SetServerBinding(ip, model_.Settings().ServerPort);
    model_.SetServerBinding(ip, PortFromText(KelEdit2->Text()));
}

void TkynControllerForm::KelGlowButton14Click() { AutoDetectHost(); }

void TkynControllerForm::AutoDetectHost() {}

}  // namespace kyn
