# One compile configuration for everything built here, all of it our own
# code: the libraries, the program, the tools, the tests and the benchmarks.
# Qt, GoogleTest and the system's headers come in as system headers, so
# their warnings stay theirs.

option(ZELVANO_WARNINGS_AS_ERRORS "A warning in our own code fails the build" ON)

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast
    # Handlers keep the design's signatures (ImgOpen_Click(int index)) and
    # Qt's overrides their parameters, used or not.
    -Wno-unused-parameter)
if(ZELVANO_WARNINGS_AS_ERRORS)
    # GCC 12 at -O2 takes libstdc++'s own string copies for overlapping ones
    # (GCC bug 105329): not ours to mend, so that one is reported, not fatal.
    add_compile_options(-Werror -Wno-error=restrict)
endif()

# Text reaches a QString only in an encoding we name (QStringLiteral,
# fromUtf8, QLatin1String), never through an implicit cast. Qt 6.4 has no
# QT_NO_CONTEXTLESS_CONNECT yet (it came with 6.7).
set(ZELVANO_PROGRAM_DEFINITIONS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
add_compile_definitions(${ZELVANO_PROGRAM_DEFINITIONS})

# The tests and benchmarks compare shown texts with plain literals; the
# implicit casts are allowed there (and only there).
function(zelvano_allow_text_casts)
    get_directory_property(definitions COMPILE_DEFINITIONS)
    list(REMOVE_ITEM definitions ${ZELVANO_PROGRAM_DEFINITIONS})
    set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "${definitions}")
endfunction()

# The sanitized build of the logic and engine tests (scripts/test-sanitized.sh):
# memory errors and undefined behaviour stop the test that meets them.
option(ZELVANO_SANITIZE "Build with AddressSanitizer and UBSan; only the GoogleTest suites" OFF)
if(ZELVANO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
