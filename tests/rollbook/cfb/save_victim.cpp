// Saves two contents in turn over one file until killed, for the test that
// kills it at random moments. "once" saves a single time and exits.
#include "rollbook/cfb/SafeSave.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: save_victim TARGET loop|once\n");
        return 2;
    }
    using zelvano::xls::Bytes;
    const Bytes a(300000, 'A');
    const Bytes b(700000, 'B');
    const bool once = std::strcmp(argv[2], "once") == 0;
    for (unsigned i = 0;; ++i) {
        zelvano::xls::saveFileAtomically(argv[1], i % 2 ? a : b);
        if (once)
            return 0;
    }
}
