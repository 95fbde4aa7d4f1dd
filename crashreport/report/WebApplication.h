// Web applications: which kind of program carries the library (ISAPI
// extension, CGI or WinCGI program), whether dialogs may be shown, and the
// HTML error page written into the HTTP answer in place of a dialog.
#pragma once

#include <windows.h>

#include <httpext.h>

#include <string>
#include <vector>

#include "crashreport/report/WebErrorPage.h"

namespace drevnik {

enum class TWebAppKind { None, Isapi, Cgi, WinCgi };

bool IsConsoleApp();
bool IsCGIApp();
// Sets the WinCGI output file as a side effect.
bool IsWinCGIApp();
// The WinCGI test of the command-line arguments (argument 0 the program):
// a readable ini file of at most 100 KB that names a request method, and an
// output file (argument 3, else the ini's) that exists.
bool IsWinCgiCommandLine(const std::vector<std::string>& arguments);
bool IsISAPIApp();
// The web framework with its own message page is not part of this system.
bool IsIntraWebApp();
bool IsWebApp();
bool IsInteractiveApp();
TWebAppKind WebAppKind();

// The web state: the WinCGI output file, the running ISAPI request's
// control block (kept by the extension's entry hook), the flag set while
// the library writes its own page to the client, and the page capture.
struct TWebState {
    std::string WinCgiOutputFile;
    EXTENSION_CONTROL_BLOCK* IsapiControlBlock = nullptr;
    bool WritingOwnErrorPage = false;
    TWebPageCapture Capture;
    // The page the main handler showed last.
    std::string ShownPage;
};
TWebState& WebState();

// Shows the report header and the message as the error page of a web
// application; false when the page could not be written (a warning says why).
bool ShowWebApplicationErrorPage(const std::string& message);
bool SendWebErrorPage(const std::string& page);
bool SendWebErrorPageAs(TWebAppKind kind, const std::string& page);

bool IsReadableFile(const std::string& path);
bool IsExistingFolder(const std::string& path);
// Creates the file anew (its folder too, one level); true when all was written.
bool WriteTextFile(const std::string& text, const std::string& path);

// Plugs the application kinds and the web page into the report's steps.
void InstallWebSteps();

}  // namespace drevnik
