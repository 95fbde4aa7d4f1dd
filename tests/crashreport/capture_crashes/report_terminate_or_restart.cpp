// Ends itself through TerminateOrRestart: `report_terminate_or_restart
// MARKER restart|terminate`. The first run moves to another folder before it
// ends; a restarted run (it inherits the environment) writes its command line
// and current folder to MARKER.
#include <cstring>
#include <string>

#include "tests/crashreport/capture_crashes/report_program.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    char folder[MAX_PATH] = {};
    if (GetEnvironmentVariableA("KYN_RESTARTED_RUN", folder, MAX_PATH) != 0) {
        GetCurrentDirectoryA(MAX_PATH, folder);
        const std::string facts = std::string(GetCommandLineA()) + "\n" + folder + "\n";
        FILE* marker = std::fopen(argv[1], "wb");
        if (marker == nullptr) return 3;
        std::fwrite(facts.data(), 1, facts.size(), marker);
        std::fclose(marker);
        return 0;
    }
    report::StartLibrary();
    SetEnvironmentVariableA("KYN_RESTARTED_RUN", "1");
    GetTempPathA(MAX_PATH, folder);
    SetCurrentDirectoryA(folder);
    drevnik::TerminateOrRestart(std::strcmp(argv[2], "restart") == 0);
}
