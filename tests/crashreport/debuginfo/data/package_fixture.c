/* A DLL that looks like a runtime package (package_fixture.rc) or half of
   one (half_package_fixture.rc). */
int KynPackageEntry(void) { return 1; }
