// A DLL with named, ordinal-only, data and forwarded exports (see
// exports_fixture.def) and a version resource, for the export-table tests.
extern "C" {
int KynAlpha(int x) { return x + 1; }
int KynBeta(int x) { return x * 2; }
int KynGamma(int x) { return x - 3; }
int KynHidden(int x) { return x ^ 5; }
int KynData = 42;
}
