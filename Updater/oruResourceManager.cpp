// The updater's process-wide values.
#include "Updater/oruResourceManager.h"

namespace oru {

std::wstring DataFolder;
std::wstring ExeFolder;
bool DataFolderFound = false;
int UpdaterTheme = 0;

}  // namespace oru
