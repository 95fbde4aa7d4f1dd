// The command test form.
#include "Display/kynExternalCommandControlTestFormGUI.h"

#include "Display/kynExternalCommands.h"
#include "Display/kynMainFormGUI.h"

namespace kyn {

TkynExternalCommandControlTestForm* kynExternalCommandControlTestForm = nullptr;

const std::array<std::wstring_view, 32> TestCommandList = [] {
    std::array<std::wstring_view, 32> words;
    for (size_t i = 0; i < words.size(); ++i) words[i] = ExternalCommandTable[i];
    return words;
}();

TkynExternalCommandControlTestForm::TkynExternalCommandControlTestForm(fw::TComponent* owner)
    : fw::TForm(owner, L"TkynExternalCommandControlTestForm") {
    kynExternalCommandControlTestForm = this;
    SetCaption(L"External Command Control Test");
    SetBounds(0, 0, 320, 140);
    ComboBox1 = new fw::TComboBox(this);
    ComboBox1->SetName(L"ComboBox1");
    ComboBox1->SetParent(this);
    ComboBox1->SetBounds(16, 16, 280, 21);
    TrackBar1 = new fw::TTrackBar(this);
    TrackBar1->SetName(L"TrackBar1");
    TrackBar1->SetParent(this);
    TrackBar1->SetBounds(16, 56, 280, 45);
    TrackBar1->SetRange(1, 1000);
    TrackBar1->SetPosition(1);
    ComboBox1->OnChange = [this](fw::TComponent*) { ComboBox1Change(); };
    TrackBar1->OnChange = [this](fw::TComponent*) { TrackBar1Change(); };
    OnCreate = [this](fw::TComponent*) { FormCreate(); };
}

TkynExternalCommandControlTestForm::~TkynExternalCommandControlTestForm() {
    if (kynExternalCommandControlTestForm == this) kynExternalCommandControlTestForm = nullptr;
}

void TkynExternalCommandControlTestForm::FormCreate() {
    ComboBox1->Clear();
    for (std::wstring_view word : TestCommandList) ComboBox1->AddItem(std::wstring(word));
}

void TkynExternalCommandControlTestForm::ComboBox1Change() {
    const int index = ComboBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(TestCommandList.size())) return;
    if (index == ecLineThickness || index == ecGridSize || index == ecSweepRate) return;
    if (kynMainForm) kynMainForm->ExecuteCommand(std::wstring(TestCommandList[static_cast<size_t>(index)]));
}

void TkynExternalCommandControlTestForm::TrackBar1Change() {
    if (kynMainForm) kynMainForm->ExecuteCommand(L"NumericalCommand SweepRate " + std::to_wstring(TrackBar1->Position()));
}

}  // namespace kyn
