// Matching an exception against the exception filters of an options object.
// Filters name exception classes, and a class matches its own name and the
// names of its ancestors (compared by name, so classes of other modules
// match too). C++ has no class names at run time, so the library keeps a
// table of the exception classes it knows with their ancestors.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace drevnik {

class TDrevnikModuleOptions;

// What the filters look at of one exception.
struct TExceptionClassInfo {
    // The class and its ancestors, most derived first ("EAccessViolation",
    // "EExternal", "Exception", "TObject").
    std::vector<std::string> ClassChain;
    // For a TActiveXException: the class names it carries.
    bool IsActiveX = false;
    std::vector<std::string> ActiveXClassNames;
};

// Adds an exception class to the table: its name, its parent's name and a
// test that tells whether an exception object is of it. A class without a
// test stands only as a parent ("EIntError").
using TExceptionClassTest = bool (*)(const std::exception&);
void RegisterExceptionClass(std::string name, std::string parentName, TExceptionClassTest test);

// The class chain of `e`: the deepest class of the table it belongs to with
// its ancestors, headed by the dynamic type's own name when the table does
// not know it. A foreign std::exception gets its type name and
// "std::exception".
TExceptionClassInfo DescribeException(const std::exception& e);

// Index of the first enabled filter of `options` that matches, -1 when none
// or when FiltersEnabled is off:
// - a TActiveXException matches a filter whose ExceptClass equals one of its
//   class names exactly (the scope is not consulted);
// - any other exception matches when the scope fits (0 any, 1 only handled,
//   2 only unhandled) and a class of its chain bears the filter's class name
//   (case-insensitive, the filter's name trimmed).
// The report handler passes the options in use for the current report.
int FindMatchingFilter(const TDrevnikModuleOptions& options, const TExceptionClassInfo& exception, bool handled);

}  // namespace drevnik
