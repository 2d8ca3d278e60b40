#include "shell/platform/OsEntropy.h"

#include <cerrno>
#include <random>
#include <sys/random.h>

namespace zelvano::platform
{

std::uint64_t osEntropy64()
{
    std::uint64_t value = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    size_t filled = 0;
    while (filled < sizeof value) {
        const ssize_t got = getrandom(bytes + filled, sizeof value - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            // No getrandom (very old kernel): the library's device source.
            std::random_device device;
            return (std::uint64_t(device()) << 32) ^ device();
        }
        filled += static_cast<size_t>(got);
    }
    return value;
}

} // namespace zelvano::platform
