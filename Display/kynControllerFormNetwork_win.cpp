// The control panel's Network page: the server binding and the host look-up.
#include "Display/kynControllerFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "Display/kynResourceManager.h"
#include "common/MessageBox.h"
#include "framework/core/exceptions.h"
#include "framework/core/int_conversion.h"

namespace kyn {

// The IP is stored first; a port that is no number raises the conversion
// error, one outside 1 to 65535 an error of its own (never its low 16 bits),
// and neither is stored. The same binding applied again is not added twice.
void TkynControllerForm::KelGlowButton13Click() {
    const std::wstring ip = KelEdit1->Text();
    model_.SetServerBinding(ip, model_.Settings().ServerPort);
    const std::wstring portText = KelEdit2->Text();
    const int port = fw::StrToInt(portText);
    if (port < 1 || port > 65535) throw fw::EConvertError(L"'" + portText + L"' is not a port number (1 to 65535)");
    model_.SetServerBinding(ip, port);
    if (!kynMainForm) return;
    fw::net::TIdTCPServer& server = *kynMainForm->IdTCPServer1;
    server.SetActive(true);
    const fw::net::TSocketBinding binding{ip, port};
    if (!server.HasBinding(binding)) server.AddBinding(binding);
}

void TkynControllerForm::KelGlowButton14Click() { AutoDetectHost(); }

void TkynControllerForm::AutoDetectHost() {
    std::wstring host, address, error;
    if (GetLocalHostAddress(host, address, error)) {
        KelEdit3->SetText(host);
        KelEdit1->SetText(address);
    } else {
        common::ShowMessageBox(common::TMessageBoxKind::Error, error);
    }
}

}  // namespace kyn
