#include "shell/platform/OsEntropy.h"

#include <windows.h>

#include <bcrypt.h>

namespace zelvano::platform
{

std::uint64_t osEntropy64()
{
    std::uint64_t value = 0;
    BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                    BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return value;
}

} // namespace zelvano::platform
