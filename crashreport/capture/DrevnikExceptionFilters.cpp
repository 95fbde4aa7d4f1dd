#include "crashreport/capture/DrevnikExceptionFilters.h"

#include <cxxabi.h>

#include <cstdlib>
#include <mutex>
#include <typeinfo>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

struct ClassEntry {
    std::string name;
    std::string parent;
    TExceptionClassTest test;
};

template <class T>
bool IsA(const std::exception& e) {
    return dynamic_cast<const T*>(&e) != nullptr;
}

template <fw::EExternal::Kind kind>
bool IsExternalKind(const std::exception& e) {
    const auto* external = dynamic_cast<const fw::EExternal*>(&e);
    return external != nullptr && external->ExceptionKind() == kind;
}

std::vector<ClassEntry> BuiltInClasses() {
    using Kind = fw::EExternal::Kind;
    return {
        {"TObject", "", nullptr},
        {"Exception", "TObject", IsA<fw::Exception>},
        {"EAbort", "Exception", IsA<fw::EAbort>},
        {"EConvertError", "Exception", IsA<fw::EConvertError>},
        {"EInvalidOperation", "Exception", IsA<fw::EInvalidOperation>},
        {"EHeapException", "Exception", nullptr},
        {"EOutOfMemory", "EHeapException", IsA<fw::EOutOfMemory>},
        {"EInOutError", "Exception", IsA<fw::EInOutError>},
        {"EExternal", "Exception", IsA<fw::EExternal>},
        {"EAccessViolation", "EExternal", IsExternalKind<Kind::AccessViolation>},
        {"EIntError", "EExternal", nullptr},
        {"EDivByZero", "EIntError", IsExternalKind<Kind::IntDivideByZero>},
        {"EIntOverflow", "EIntError", IsExternalKind<Kind::IntOverflow>},
        {"EMathError", "EExternal", IsExternalKind<Kind::FloatFault>},
        {"EStackOverflow", "EExternal", IsExternalKind<Kind::StackOverflow>},
        {"EPrivilege", "EExternal", IsExternalKind<Kind::Privileged>},
        {"EControlC", "EExternal", IsExternalKind<Kind::Control>},
        {"EAssertionFailed", "Exception", IsA<EAssertionFailed>},
        {"EDrevnikStreamError", "Exception", IsA<EDrevnikStreamError>},
        {"TActiveXException", "Exception", IsA<TActiveXException>},
    };
}

std::mutex gClassesMutex;

std::vector<ClassEntry>& Classes() {
    static std::vector<ClassEntry> classes = BuiltInClasses();
    return classes;
}

const ClassEntry* FindClass(const std::vector<ClassEntry>& classes, const std::string& name) {
    for (const ClassEntry& entry : classes) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<std::string> ChainOf(const std::vector<ClassEntry>& classes, const ClassEntry& entry) {
    std::vector<std::string> chain;
    for (const ClassEntry* e = &entry; e != nullptr && chain.size() < 64; e = FindClass(classes, e->parent)) {
        chain.push_back(e->name);
        if (e->parent.empty()) {
            break;
        }
    }
    return chain;
}

// "fw::EAbort" -> "EAbort".
std::string DynamicTypeName(const std::exception& e) {
    const char* mangled = typeid(e).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : mangled;
    std::free(demangled);
    const std::size_t colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

}  // namespace

void RegisterExceptionClass(std::string name, std::string parentName, TExceptionClassTest test) {
    std::lock_guard<std::mutex> guard(gClassesMutex);
    Classes().push_back({std::move(name), std::move(parentName), test});
}

TExceptionClassInfo DescribeException(const std::exception& e) {
    TExceptionClassInfo info;
    {
        std::lock_guard<std::mutex> guard(gClassesMutex);
        const std::vector<ClassEntry>& classes = Classes();
        for (const ClassEntry& entry : classes) {
            if (entry.test != nullptr && entry.test(e)) {
                std::vector<std::string> chain = ChainOf(classes, entry);
                if (chain.size() > info.ClassChain.size()) {
                    info.ClassChain = std::move(chain);
                }
            }
        }
    }
    if (info.ClassChain.empty()) {
        info.ClassChain.push_back("std::exception");
    }
    const std::string own = DynamicTypeName(e);
    bool known = false;
    for (const std::string& name : info.ClassChain) {
        known = known || name == own;
    }
    if (!known) {
        info.ClassChain.insert(info.ClassChain.begin(), own);
    }
    if (const auto* activeX = dynamic_cast<const TActiveXException*>(&e)) {
        info.IsActiveX = true;
        info.ActiveXClassNames = activeX->ClassNames();
    }
    return info;
}

int FindMatchingFilter(const TDrevnikModuleOptions& options, const TExceptionClassInfo& exception, bool handled) {
    if (!options.FiltersEnabled()) {
        return -1;
    }
    const std::vector<TDrevnikExceptionFilter>& filters = options.Filters().Items();
    for (std::size_t i = 0; i < filters.size(); ++i) {
        const TDrevnikExceptionFilter& filter = filters[i];
        if (!filter.Enabled) {
            continue;
        }
        if (exception.IsActiveX) {
            for (const std::string& name : exception.ActiveXClassNames) {
                if (name == filter.ExceptClass) {
                    return static_cast<int>(i);
                }
            }
            continue;
        }
        const bool inScope = filter.Scope == fsAnyException || (filter.Scope == fsHandledOnly && handled) ||
                             (filter.Scope == fsUnhandledOnly && !handled);
        if (!inScope) {
            continue;
        }
        const std::string wanted = Trim(filter.ExceptClass);
        for (const std::string& name : exception.ClassChain) {
            if (SameText(name, wanted)) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

}  // namespace drevnik
