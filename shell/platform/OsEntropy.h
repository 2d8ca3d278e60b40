#pragma once

#include <cstdint>

namespace zelvano::platform
{

// 64 bits from the operating system's cryptographic random source.
std::uint64_t osEntropy64();

} // namespace zelvano::platform
