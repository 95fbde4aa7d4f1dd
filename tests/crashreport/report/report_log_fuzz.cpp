// libFuzzer target: the log reader, the item editing and the XML extraction
// on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "crashreport/report/LogFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    drevnik::TLogFile log("", true);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    log.LoadFromText(bytes);
    if (log.GetCount() == 0) log.AddReport(bytes, -1);
    (void)log.GetXMLText();
    for (int32_t i = 0; i < log.GetCount(); ++i) {
        (void)log.GetItemValue("2.7", i);
        (void)log.FindReport({"2.7"}, {log.GetItemValue("2.7", i)});
        log.SetItemValue("2.8", "2\r\nx: y", i, "Count");
        log.SetItemValue("2.11", "new", i, "Extra");
    }
    (void)log.SaveToText();
    return 0;
}
