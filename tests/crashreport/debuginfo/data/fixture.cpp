// Source of fixture.exe, a small i686 program whose code section the
// disassembler tests compare against objdump. Rebuild with make_fixture.sh.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

struct Shape {
    virtual ~Shape() = default;
    virtual double Area() const = 0;
};
struct Circle : Shape {
    double r;
    explicit Circle(double radius) : r(radius) {}
    double Area() const override { return 3.14159 * r * r; }
};
struct Box : Shape {
    int w, h;
    Box(int width, int height) : w(width), h(height) {}
    double Area() const override { return double(w) * h; }
};

__attribute__((noinline)) long long Mix(long long a, long long b, unsigned shift) {
    return (a / (b | 1)) ^ (a % (b | 1)) ^ (a << (shift & 31)) ^ (long long)((unsigned long long)b >> (shift & 15));
}

__attribute__((noinline, optimize("O0"))) int Unoptimised(int x, const char* s) {
    int total = 0;
    for (int i = 0; s[i]; ++i) total += s[i] * (x + i);
    switch (x & 7) {
        case 0: total += 11; break;
        case 1: total -= 3; break;
        case 2: total *= 5; break;
        case 3: total /= 7; break;
        case 4: total %= 9; break;
        case 5: total <<= 2; break;
        case 6: total >>= 1; break;
        default: total = ~total; break;
    }
    return total;
}

__attribute__((noinline)) float Blend(float a, float b, float t) {
    return std::sqrt(a * (1 - t) + b * t) + std::floor(a) - std::fabs(b) + std::sin(t);
}

__attribute__((noinline)) unsigned short Narrow(unsigned short a, signed char b) {
    return static_cast<unsigned short>(a * b + (a >> 3));
}

int main(int argc, char** argv) {
    std::vector<Shape*> shapes;
    for (int i = 0; i < argc + 3; ++i) {
        if (i & 1) shapes.push_back(new Circle(i * 0.5));
        else shapes.push_back(new Box(i, i + 2));
    }
    std::sort(shapes.begin(), shapes.end(), [](Shape* a, Shape* b) { return a->Area() < b->Area(); });
    double sum = 0;
    for (Shape* s : shapes) sum += s->Area();
    char buffer[64];
    std::memset(buffer, 0, sizeof buffer);
    std::strncpy(buffer, argv[0], sizeof buffer - 1);
    std::string text(buffer);
    try {
        if (text.size() > 1000) throw std::runtime_error("long");
    } catch (const std::exception& e) {
        std::printf("%s\n", e.what());
    }
    std::printf("%f %lld %d %f %u\n", sum, Mix(argc, 7, argc), Unoptimised(argc, buffer),
                Blend(1.5f, 2.5f, 0.25f), Narrow(1000, -3));
    for (Shape* s : shapes) delete s;
    return 0;
}
