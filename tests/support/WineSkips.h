#pragma once

#include <QByteArray>
#include <QTest>
#ifdef _WIN32
#include <windows.h>
#endif

// Skips the current Qt Test function when it is listed in
// tests/wine-skips.txt (with its reason there) and the Windows build runs
// under Wine. On Linux, and on a real Windows PC, every function runs.
namespace zelvano::test
{

inline bool underWine()
{
#ifdef _WIN32
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

inline bool listedForWine(const char* function)
{
#ifdef ZELVANO_WINE_SKIPS
    return QByteArray(" " ZELVANO_WINE_SKIPS).contains(" " + QByteArray(function) + " ");
#else
    Q_UNUSED(function);
    return false;
#endif
}

} // namespace zelvano::test

#define ZELVANO_SKIP_LISTED_UNDER_WINE()                                                           \
    do {                                                                                           \
        if (zelvano::test::underWine() &&                                                          \
            zelvano::test::listedForWine(QTest::currentTestFunction()))                            \
            QSKIP("listed in tests/wine-skips.txt");                                               \
    } while (false)
