// The rules that turn the system's answers into report texts.
#include "crashreport/debuginfo/DrevnikSystemFacts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drevnik {
namespace {

TEST(DrevnikSystemFacts, WindowsNames) {
    struct Row {
        TWindowsVersion version;
        bool workstation;
        bool wow64;
        const char* name;
    };
    const std::vector<Row> rows = {
        {{1, 4, 0, 950, ""}, false, false, "Microsoft Windows 95"},
        {{1, 4, 0, 1111, " B "}, false, false, "Microsoft Windows 95 OSR 2"},
        {{1, 4, 10, 1998, ""}, false, false, "Microsoft Windows 98"},
        {{1, 4, 10, 2222, "A"}, false, false, "Microsoft Windows 98 SE"},
        {{1, 4, 90, 3000, ""}, false, false, "Microsoft Windows ME"},
        {{1, 4, 95, 3000, ""}, false, true, "Microsoft Windows 4.95"},
        {{2, 4, 0, 1381, ""}, true, false, "Microsoft Windows NT 4.0"},
        {{2, 5, 0, 2195, ""}, true, false, "Microsoft Windows 2000"},
        {{2, 5, 1, 2600, ""}, true, true, "Microsoft Windows XP (64 bit)"},
        {{2, 5, 2, 3790, ""}, true, false, "Microsoft Windows XP"},
        {{2, 5, 2, 3790, ""}, false, false, "Microsoft Windows 2003"},
        {{2, 5, 3, 1, ""}, false, false, "Microsoft Windows 5.3"},
        {{2, 6, 0, 6002, ""}, true, false, "Microsoft Windows Vista"},
        {{2, 6, 0, 6002, ""}, false, false, "Microsoft Windows Server 2008"},
        {{2, 6, 1, 7601, ""}, true, true, "Microsoft Windows 7 (64 bit)"},
        {{2, 6, 1, 7601, ""}, false, false, "Microsoft Windows Server 2008 R2"},
        {{2, 6, 2, 9200, ""}, true, false, "Microsoft Windows 6.2"},
        {{2, 10, 0, 19045, ""}, true, false, "Microsoft Windows 10.0"},
        {{3, 6, 1, 7601, ""}, true, true, "Microsoft Windows "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WindowsNameFor(row.version, row.workstation, row.wow64), row.name) << row.name;
    }
    EXPECT_EQ(WindowsBuildFor({1, 4, 10, 0x040A08AE, ""}), "2222");
    EXPECT_EQ(WindowsBuildFor({2, 6, 1, 7601, ""}), "7601");
}

TEST(DrevnikSystemFacts, ListViewTexts) {
    struct Row {
        std::string got;
        const char* want;
    };
    const std::vector<Row> rows = {
        {CleanProcessPath("D:\\Apps\\tool.exe"), "D:\\Apps"},
        {CleanProcessPath("D:\\tool.exe"), "D:\\"},
        {CleanProcessPath("\\??\\C:\\Windows\\system32\\smss.exe"), "C:\\Windows\\system32"},
        {CleanProcessPath("tool.exe"), ""},
        {FormatKb(0), ""},
        {FormatKb(1536), "2 Kb"},  // 1.5 rounds to the even 2
        {FormatKb(2560), "2 Kb"},  // and 2.5 too
        {FormatKb(3584), "4 Kb"},
        {FormatKb(uint64_t{6} << 40), "6442450944 Kb"},
        {ShortenVersion("6.0.25"), "6.0.x"},
        {ShortenVersion("10.0.19041.1"), "10.0.x"},
        {ShortenVersion("6.0"), "6.0"},
        {ShortenVersion(""), ""},
        {PriorityClassName(32), "Normal"},
        {PriorityClassName(64), "Low"},
        {PriorityClassName(128), "High"},
        {PriorityClassName(256), "Real-Time"},
        {PriorityClassName(0x4000), "Below-Normal"},
        {PriorityClassName(0x8000), "Above-Normal"},
        {PriorityClassName(0), ""},
        {CountOrUnknown(0), "??"},
        {CountOrUnknown(17), "17"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.got, row.want);
    }
}

TEST(DrevnikSystemFacts, ComputerTexts) {
    struct Row {
        std::string got;
        const char* want;
    };
    const std::vector<Row> rows = {
        {FormatMegabytes(0), "0 Mb"},
        {FormatMegabytes(1572864), "2 Mb"},  // 1.5 to the even 2
        {FormatMegabytes(2621440), "2 Mb"},
        {FormatMegabytes(uint64_t{24} << 30), "24576 Mb"},  // more than 32 bits hold
        {FormatGigabytes(0), "0 Gb"},
        {FormatGigabytes(uint64_t{1} << 30), "1 Gb"},
        {FormatGigabytes(uint64_t{3} << 29), "1.5 Gb"},
        {FormatGigabytes(500107862016), "465.76 Gb"},
        {FormatGigabytes(10737419), "0.01 Gb"},
        {FormatPrivilegeLine("SeShutdownPrivilege", true), "SeShutdownPrivilege             - ON\r\n"},
        {FormatPrivilegeLine("SeCreateSymbolicLinkPrivilegeX1", false), "SeCreateSymbolicLinkPrivilegeX1 - OFF\r\n"},
        {FormatPrivilegeLine("SeDelegateSessionUserImpersonatePrivilege", true),
         "SeDelegateSessionUserImpersonatePrivilege - ON\r\n"},
        {FormatVideoCard(" Wine Adapter ", "", 0), "Wine Adapter (driver )"},
        {FormatVideoCard("GPU", "8.17.12.9573", 268435456), "GPU (driver 8.17.12.9573 - RAM 256 MB)"},
        {FormatPrinter("HP LaserJet", "61. 7600. 16385"), "HP LaserJet (driver 61.7600.16385)"},
        {FormatProcessorName("  Intel(R) Core(TM) i7  ", "GenuineIntel", "x86 Family 6"), "Intel(R) Core(TM) i7"},
        {FormatProcessorName("", " GenuineIntel ", " x86 Family 6 "), "GenuineIntel - x86 Family 6"},
        {FormatProcessorName("", "GenuineIntel", ""), "GenuineIntel"},
        {FormatProcessorName(" ", "", "x86 Family 6"), "Unknown processor"},
        {RegisteredValueText("Microsoft", true), ""},
        {RegisteredValueText("Microsoft", false), "Microsoft"},
        {RegisteredValueText("Kynetics", true), "Kynetics"},
        {FormatUpTime(0), "0 second"},
        {FormatUpTime(129600000), "1 day, 12 hours, 0 second"},
        // Past the 49.7 days a 32-bit tick count holds.
        {FormatUpTime(uint64_t{60} * 86400000 + 61000), "60 days, 1 minute, 1 second"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.got, row.want);
    }
}

TEST(DrevnikSystemFacts, NetworkLinesOverAllAdapters) {
    EXPECT_EQ(FormatIpAddress("10.0.0.1"), "010.000.000.001");
    EXPECT_EQ(FormatIpAddress(""), "000.000.000.000");
    EXPECT_EQ(FormatIpAddress("192.168.1.100"), "192.168.001.100");

    TNetworkFacts facts;
    TAdapterFacts first;
    first.DhcpEnabled = true;
    first.Address = "192.168.1.10";
    first.Mask = "255.255.255.0";
    first.Gateway = "192.168.1.1";
    first.DnsState = TAdapterFacts::dnsAnswered;
    first.Dns1 = "10.0.0.5";  // one server: the second shows as zeros
    TAdapterFacts second;
    second.Address = "10.0.0.7";
    second.Mask = "255.0.0.0";
    second.DnsState = TAdapterFacts::dnsFailed;
    TAdapterFacts third;  // its DNS servers could not be asked for
    third.Address = "172.16.0.2";
    for (const TAdapterFacts* adapter : {&first, &second, &third}) AppendAdapterFacts(facts, *adapter);
    TrimListSeparators(facts);
    EXPECT_EQ(facts.Addresses, "192.168.001.010 - 010.000.000.007 - 172.016.000.002");
    EXPECT_EQ(facts.Masks, "255.255.255.000 - 255.000.000.000 - 000.000.000.000");
    EXPECT_EQ(facts.Gateways, "192.168.001.001 - 000.000.000.000 - 000.000.000.000");
    EXPECT_EQ(facts.Dns1, "010.000.000.005 - 000.000.000.000");
    EXPECT_EQ(facts.Dns2, "000.000.000.000 - 000.000.000.000");
    EXPECT_EQ(facts.Dhcp, "ON              - OFF             - OFF            ");
}

TEST(DrevnikSystemFacts, EnteredEmailIsKeptForTheRun) {
    EXPECT_EQ(GetEnteredEmail(), "");
    SetEnteredEmail("user@example.com");
    EXPECT_EQ(GetEnteredEmail(), "user@example.com");
    SetEnteredEmail("");
}

}  // namespace
}  // namespace drevnik
