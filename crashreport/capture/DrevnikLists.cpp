#include "crashreport/capture/DrevnikLists.h"

namespace drevnik {

void AssignShortText(std::string& field, std::string_view text, std::size_t limit) {
    field.assign(text.substr(0, limit));
}

void TDrevnikFunctionsList::SortByAddress() {
    Sort([](const TDrevnikFunctionInfo& a, const TDrevnikFunctionInfo& b) { return a.EntryAddress < b.EntryAddress; });
}

TDrevnikModuleInfo::~TDrevnikModuleInfo() {
    ExportTable.reset();
    ModuleOptions.reset();
    ExternalDebugInfo.reset();
    DebugDataStream.reset();
}

void TDrevnikModulesList::SortByHandle() {
    Sort([](const TDrevnikModuleInfo& a, const TDrevnikModuleInfo& b) { return a.ModuleHandle < b.ModuleHandle; });
}

void TDrevnikProcessesList::SortById() {
    Sort([](const TDrevnikProcessInfo& a, const TDrevnikProcessInfo& b) { return a.ProcId < b.ProcId; });
}

}  // namespace drevnik
