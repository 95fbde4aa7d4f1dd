// The updater's process-wide values and its reader of the settings file.
#include "Updater/oruResourceManager.h"

#include "Display/kynSettingsFile.h"

namespace oru {

std::wstring DataFolder;
std::wstring ExeFolder;
bool DataFolderFound = false;
int UpdaterTheme = 0;

void ReadLanguageAndTheme(std::string_view text, int& language, int& theme) {
    kyn::TSettingsReader reader(text);
    language = reader.ReadInt();
    reader.NextLine();
    theme = reader.ReadInt();
}

}  // namespace oru
