/* An ordinary C program whose floating point the compiler turns into SSE2
   code (-msse2 -mfpmath=sse); the test build compiles it for i686 and the
   disassembler tests compare its code section with objdump. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Point {
    double x, y;
};

__attribute__((noinline)) static double Distance(struct Point a, struct Point b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return sqrt(dx * dx + dy * dy);
}

__attribute__((noinline)) static float Blend(float a, float b, float t) {
    return a * (1.0f - t) + b * t;
}

__attribute__((noinline)) static int Round(double v) { return (int)(v < 0 ? v - 0.5 : v + 0.5); }

__attribute__((noinline)) static long long Scale(long long n, double f) { return (long long)((double)n * f); }

__attribute__((noinline)) static unsigned Hash(const double* values, int count) {
    unsigned h = 2166136261u;
    for (int i = 0; i < count; ++i) {
        unsigned long long bits;
        memcpy(&bits, &values[i], sizeof bits);
        h = (h ^ (unsigned)bits ^ (unsigned)(bits >> 32)) * 16777619u;
    }
    return h;
}

__attribute__((noinline)) static void Normalise(float* v, int n) {
    float sum = 0;
    for (int i = 0; i < n; ++i) sum += v[i] * v[i];
    const float inv = sum > 0 ? 1.0f / sqrtf(sum) : 0.0f;
    for (int i = 0; i < n; ++i) v[i] *= inv;
}

__attribute__((noinline)) static double Polynomial(const double* c, int n, double x) {
    double r = 0;
    for (int i = n - 1; i >= 0; --i) r = r * x + c[i];
    return r;
}

static int CompareDoubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv) {
    double values[16];
    float floats[8];
    for (int i = 0; i < 16; ++i) values[i] = (double)(argc * 37 + i * 11 % 7) / (i + 1.5);
    for (int i = 0; i < 8; ++i) floats[i] = (float)values[i] - 0.25f * (float)i;
    qsort(values, 16, sizeof values[0], CompareDoubles);
    Normalise(floats, 8);
    struct Point a = {values[0], values[1]}, b = {values[14], values[15]};
    const double d = Distance(a, b);
    const double p = Polynomial(values, 5, d);
    const float m = Blend(floats[0], floats[7], (float)fabs(fmod(d, 1.0)));
    const long long s = Scale(argc > 1 ? atoll(argv[1]) : 123456789LL, p);
    printf("%.6f %.6f %.6f %d %lld %u %s\n", d, p, (double)m, Round(p), s, Hash(values, 16),
           isnan(p) || isinf(d) ? "odd" : (fmax(d, p) > floor(p) ? "up" : "down"));
    return d > 1e6;
}
