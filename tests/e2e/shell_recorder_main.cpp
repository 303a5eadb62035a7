// Stands in for the shell's handler of http, https and mailto addresses in the test prefix:
// appends the address it is given to the file named before it, one a line.
#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    FILE* file = _wfopen(argv[1], L"ab");
    if (!file) return 1;
    std::fprintf(file, "%ls\n", argv[2]);
    return std::fclose(file) == 0 ? 0 : 1;
}
