#include <cstdio>

int main() {
    std::fputs("usage: qvotool COMMAND ...\n", stderr);
    return 2;
}
