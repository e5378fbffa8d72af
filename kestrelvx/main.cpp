#include <cstdio>

int main() {
    std::fputs("Kestrelvx: not built yet\n", stderr);
    return 2;
}
