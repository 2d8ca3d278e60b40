// Saves two contents in turn over one file until killed, for the test that
// kills it at random moments. "once" saves a single time and exits.
#include "rollbook/cfb/SafeSave.h"

#include <cstdio>
#include <filesystem>

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) // the roll book's Chinese name intact
#else
int main(int argc, char** argv)
#endif
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: save_victim TARGET loop|once\n");
        return 2;
    }
    using zelvano::xls::Bytes;
    const Bytes a(300000, 'A');
    const Bytes b(700000, 'B');
    const bool once = std::filesystem::path(argv[2]) == "once";
    const std::filesystem::path target(argv[1]);
    for (unsigned i = 0;; ++i) {
        zelvano::xls::saveFileAtomically(target, i % 2 ? a : b);
        if (once)
            return 0;
    }
}
