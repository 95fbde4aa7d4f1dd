// The fixed texts of the control panel's Info page, with CR LF line breaks
// as a multi-line edit shows them.
#pragma once

namespace kyn {

extern const wchar_t* const kReviewText;
extern const wchar_t* const kLicenseText;
extern const wchar_t* const kDisclaimerText;

}  // namespace kyn
