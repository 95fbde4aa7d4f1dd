#include "crashreport/capture/DrevnikTexts.h"

namespace drevnik {
namespace {

const char* const kDefaultTexts[kCustomizedTextCount] = {
    "Information.",  // 0 txtCaptionInformation
    "Question.",  // 1 txtCaptionQuestion
    "Error.",  // 2 txtCaptionError
    "Error occurred",  // 3 txtDialogCaption
    "An error has occurred during program execution.\r\nPlease read the following information for further details.",  // 4 txtDialogMessage
    "General",  // 5 txtPageGeneral
    "General Information",  // 6 txtPageGeneralHeader
    "Call Stack",  // 7 txtPageCallStack
    "Call Stack Information",  // 8 txtPageCallStackHeader
    "Modules",  // 9 txtPageModules
    "Modules Information",  // 10 txtPageModulesHeader
    "Processes",  // 11 txtPageProcesses
    "Processes Information",  // 12 txtPageProcessesHeader
    "Assembler",  // 13 txtPageAssembler
    "Assembler Information",  // 14 txtPageAssemblerHeader
    "CPU",  // 15 txtPageCpu
    "CPU Information",  // 16 txtPageCpuHeader
    "&OK",  // 17 txtButtonOk
    "&Terminate",  // 18 txtButtonTerminate
    "&Restart",  // 19 txtButtonRestart
    "&Details",  // 20 txtButtonDetails
    "&Help",  // 21 txtButtonHelp
    "&Send this error via Internet",  // 22 txtCheckSend
    "&Attach a Screenshot image",  // 23 txtCheckScreenshot
    "&Copy to Clipboard",  // 24 txtCheckCopy
    "Go to the Support Page",  // 25 txtSupportLink
    "The application has encountered a problem. We are sorry for the inconvenience.",  // 26 txtMsApology
    "Restart application.",  // 27 txtMsRestart
    "Terminate application.",  // 28 txtMsTerminate
    "Please tell us about this problem.",  // 29 txtMsTellUs
    "We have created an error report that you can send to us. We will treat this report as confidential and anonymous.",  // 30 txtMsReportCreated
    "To see what data the error report contains,",  // 31 txtMsSeeData
    "click here.",  // 32 txtMsClickHere
    "What were you doing when the problem happened (optional)?",  // 33 txtMsWhatDoing
    "Email address (optional):",  // 34 txtMsEmailPrompt
    "&Send Error Report",  // 35 txtMsSendButton
    "&Don't Send",  // 36 txtMsDontSendButton
    "Application",  // 37 txtSecApplication
    "Start Date",  // 38 txtAppStartDate
    "Name/Description",  // 39 txtAppName
    "Version Number",  // 40 txtAppVersion
    "Parameters",  // 41 txtAppParameters
    "Compilation Date",  // 42 txtAppCompilationDate
    "Up Time",  // 43 txtAppUpTime
    "Exception",  // 44 txtSecException
    "Date",  // 45 txtExcDate
    "Address",  // 46 txtExcAddress
    "Module Name",  // 47 txtExcModuleName
    "Module Version",  // 48 txtExcModuleVersion
    "Type",  // 49 txtExcType
    "Message",  // 50 txtExcMessage
    "ID",  // 51 txtExcId
    "Count",  // 52 txtExcCount
    "Status",  // 53 txtExcStatus
    "Note",  // 54 txtExcNote
    "User",  // 55 txtSecUser
    "ID",  // 56 txtUserId
    "Name",  // 57 txtUserName
    "Email",  // 58 txtUserEmail
    "Company",  // 59 txtUserCompany
    "Privileges",  // 60 txtUserPrivileges
    "Active Controls",  // 61 txtSecActiveControls
    "Form Class",  // 62 txtCtlFormClass
    "Form Text",  // 63 txtCtlFormText
    "Control Class",  // 64 txtCtlControlClass
    "Control Text",  // 65 txtCtlControlText
    "Computer",  // 66 txtSecComputer
    "Name",  // 67 txtCmpName
    "Total Memory",  // 68 txtCmpTotalMemory
    "Free Memory",  // 69 txtCmpFreeMemory
    "Total Disk",  // 70 txtCmpTotalDisk
    "Free Disk",  // 71 txtCmpFreeDisk
    "System Up Time",  // 72 txtCmpSystemUpTime
    "Processor",  // 73 txtCmpProcessor
    "Display Mode",  // 74 txtCmpDisplayMode
    "Display DPI",  // 75 txtCmpDisplayDpi
    "Video Card",  // 76 txtCmpVideoCard
    "Printer",  // 77 txtCmpPrinter
    "Operating System",  // 78 txtSecOperatingSystem
    "Type",  // 79 txtOsType
    "Build #",  // 80 txtOsBuild
    "Update",  // 81 txtOsUpdate
    "Language",  // 82 txtOsLanguage
    "Charset",  // 83 txtOsCharset
    "Network",  // 84 txtSecNetwork
    "IP Address",  // 85 txtNetIpAddress
    "Submask",  // 86 txtNetSubmask
    "Gateway",  // 87 txtNetGateway
    "DNS 1",  // 88 txtNetDns1
    "DNS 2",  // 89 txtNetDns2
    "DHCP",  // 90 txtNetDhcp
    "Custom Information",  // 91 txtSecCustom
    "Address",  // 92 txtColAddress
    "Module",  // 93 txtColModule
    "Unit",  // 94 txtColUnit
    "Class",  // 95 txtColClass
    "Procedure/Method",  // 96 txtColProcedure
    "Line",  // 97 txtColLine
    "Main",  // 98 txtThreadMain
    "Exception Thread",  // 99 txtThreadException
    "Running Thread",  // 100 txtThreadRunning
    "Calling Thread",  // 101 txtThreadCalling
    "ID",  // 102 txtThreadId
    "Priority",  // 103 txtThreadPriority
    "Class",  // 104 txtThreadClass
    "Memory Leak",  // 105 txtLeakCaption
    "Data",  // 106 txtLeakData
    "Type",  // 107 txtLeakType
    "Total size",  // 108 txtLeakTotalSize
    "Count",  // 109 txtLeakCount
    "Send.",  // 110 txtCaptionSend
    "Message",  // 111 txtCaptionMessage
    "Resolving DNS...",  // 112 txtProgResolving
    "Login...",  // 113 txtProgLogin
    "Connecting with server...",  // 114 txtProgConnecting
    "Connected with server.",  // 115 txtProgConnected
    "Sending message...",  // 116 txtProgSending
    "Message sent.",  // 117 txtProgSent
    "Select project...",  // 118 txtProgSelectProject
    "Searching...",  // 119 txtProgSearching
    "Modifying...",  // 120 txtProgModifying
    "Disconnecting...",  // 121 txtProgDisconnecting
    "Disconnected.",  // 122 txtProgDisconnected
    "Request",  // 123 txtRequestCaption
    "Please describe the steps to reproduce the error:",  // 124 txtRequestPrompt
    "&OK",  // 125 txtRequestOk
    "Handle",  // 126 txtModHandle
    "Name",  // 127 txtModName
    "Description",  // 128 txtModDescription
    "Version",  // 129 txtModVersion
    "Size",  // 130 txtModSize
    "Modified",  // 131 txtModModified
    "Path",  // 132 txtModPath
    "ID",  // 133 txtProcId
    "Name",  // 134 txtProcName
    "Description",  // 135 txtProcDescription
    "Version",  // 136 txtProcVersion
    "Memory",  // 137 txtProcMemory
    "Priority",  // 138 txtProcPriority
    "Threads",  // 139 txtProcThreads
    "Path",  // 140 txtProcPath
    "Registers",  // 141 txtCpuRegisters
    "Stack",  // 142 txtCpuStack
    "Memory Dump",  // 143 txtCpuMemoryDump
    "The message was sent successfully.",  // 144 txtSendSucceeded
    "Sorry, sending the message didn't work.",  // 145 txtSendFailed
    "These BUG is just closed.\r\nContact the program support to obtain an update.",  // 146 txtBugClosed
    "Unknown error.",  // 147 txtTrackerUnknownError
    "Invalid login request.",  // 148 txtTrackerLoginError
    "Invalid search request.",  // 149 txtTrackerSearchError
    "Invalid selection request.",  // 150 txtTrackerSelectError
    "Invalid insert request.",  // 151 txtTrackerInsertError
    "Invalid modify request.",  // 152 txtTrackerModifyError
    "",  // 153 txtReserved153: reserved, no default wording
    "Multi Free memory leak.",  // 154 txtLeakMultiFree
    "Memory Overrun leak.",  // 155 txtLeakOverrun
    "The application seems to be frozen.",  // 156 txtFrozen
    "Invalid email.",  // 157 txtInvalidEmail
};

}  // namespace

const char* DefaultText(int index) {
    if (index < 0 || index >= static_cast<int>(kCustomizedTextCount)) {
        return "";
    }
    return kDefaultTexts[index];
}

void FillDefaultTexts(TCustomizedTexts& texts) {
    for (std::size_t i = 0; i < kCustomizedTextCount; ++i) {
        texts[i] = kDefaultTexts[i];
    }
}

void ConstantsUnitDone() {}

}  // namespace drevnik
