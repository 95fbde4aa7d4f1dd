// A DLL that looks like a runtime package (package_fixture.rc) or half of
// one (half_package_fixture.rc).
extern "C" int KynPackageEntry() { return 1; }
