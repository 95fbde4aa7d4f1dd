// Writes the debug data of one of our programs from the facts that
// dwarf_facts.py printed: the crash-report library's data (the options of
// the build and the units, routines and lines) appended to the program file,
// and beside it a MAP file, a JCL binary file (".jdbg") and a TD32 file
// (".tds") made from the same facts.
//
// usage: kyn_debugdata PROGRAM FACTS
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"
#include "crashreport/debuginfo/DrevnikLibraryData.h"

namespace {

using namespace drevnik;

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

// The file's name without folder and extension, for the formats whose unit
// names end at a dot or a blank.
std::string UnitName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    for (char& c : name)
        if (c == ' ' || c == '(' || c == ')' || c == '.') c = '_';
    return name.empty() ? "_" : name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kyn_debugdata PROGRAM FACTS\n";
        return 2;
    }
    const std::string program = argv[1];
    std::ifstream facts(argv[2]);
    if (!facts) {
        std::cerr << "kyn_debugdata: cannot read " << argv[2] << "\n";
        return 1;
    }
    std::vector<TDebugUnitRecord> units;
    std::vector<TDebugFactUnit> external;
    std::string text;
    while (std::getline(facts, text)) {
        std::istringstream in(text);
        std::string kind;
        in >> kind;
        if (kind == "unit") {
            TDebugUnitRecord u;
            in >> std::hex >> u.CodeOffset >> u.CodeSize >> std::dec;
            in >> std::ws;
            std::getline(in, u.Name);
            units.push_back(u);
            TDebugFactUnit x;
            x.Name = UnitName(u.Name);
            x.SourceFile = u.Name;
            x.Offset = u.CodeOffset;
            x.Size = u.CodeSize;
            external.push_back(x);
        } else if (kind == "line" && !units.empty()) {
            TDebugLineRecord l;
            in >> std::hex >> l.Offset >> std::dec >> l.Line;
            in >> std::ws;
            std::getline(in, l.Routine);
            TDebugUnitRecord& u = units.back();
            if (u.Lines.empty()) u.FirstLine = l.Line;
            u.Lines.push_back(l);
            TDebugFactUnit& x = external.back();
            x.Lines.push_back({l.Offset, l.Line});
            if (!l.Routine.empty()) {
                if (!x.Routines.empty()) x.Routines.back().Size = l.Offset - x.Routines.back().Offset;
                x.Routines.push_back({l.Offset, u.CodeOffset + u.CodeSize - l.Offset, l.Routine});
            }
        }
    }

    std::string file;
    if (!ReadFile(program, file)) {
        std::cerr << "kyn_debugdata: cannot read " << program << "\n";
        return 1;
    }
    // A program that carries data already loses it first.
    if (HasLibraryDataTail({reinterpret_cast<const uint8_t*>(file.data()), file.size()})) {
        const uint32_t length = static_cast<uint8_t>(file[file.size() - 8]) |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 7])) << 8 |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 6])) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 5])) << 24;
        if (length <= file.size() - 8) file.resize(file.size() - 8 - length);
    }
    TDrevnikModuleOptions options("");
    std::string optionsBlock;
    options.SaveToStream(optionsBlock);
    const double buildTime = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
    file += BuildLibraryDataTail(optionsBlock, EncodeDebugData(units, {}), buildTime);

    const std::size_t dot = program.rfind('.');
    const std::string stem = dot == std::string::npos ? program : program.substr(0, dot);
    if (!WriteFile(program, file) || !WriteFile(stem + ".map", WriteMapFile(external)) ||
        !WriteFile(stem + ".jdbg", WriteJclDebugData(external)) || !WriteFile(stem + ".tds", WriteTD32Data(external))) {
        std::cerr << "kyn_debugdata: cannot write beside " << program << "\n";
        return 1;
    }
    return 0;
}
