#!/usr/bin/env bash
# Builds the small libraries the Windows program links (zlib, expat, libzip,
# xxHash, LibTomCrypt, SQLCipher, GoogleTest) from Debian's own source
# packages with mingw-w64, into a cache outside every build folder. The
# versions are those of the Linux build, so a settings file written on one
# system opens on the other. Rebuilds only what the cache lacks.
#
#   scripts/windows/build-deps.sh [CACHE]     (default: ~/.cache/zelvano-windows)
#
# Prints the prefix holding include/, lib/ and lib/pkgconfig/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cache="${1:-${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}}"
prefix="$cache/deps"
src="$cache/src"
jobs="$(nproc)"
host=x86_64-w64-mingw32
cc="$host-gcc-posix"
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
mkdir -p "$prefix/include" "$prefix/lib/pkgconfig" "$src"

say() { echo "windows deps: $*" >&2; }

# The Debian source of one package, unpacked with its patches applied.
source_of() {
    local pkg="$1" dir
    dir="$(find "$src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)"
    if [[ -z "$dir" ]]; then
        (cd "$src" && apt-get source -qq "$pkg" >/dev/null 2>&1) || {
            say "apt-get source $pkg failed: is there a deb-src entry? (scripts/setup.sh adds one)"
            exit 1
        }
        dir="$(find "$src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)"
    fi
    echo "$dir"
}

have() { [[ -f "$prefix/.built-$1" ]]; }
done_with() { touch "$prefix/.built-$1"; }

# cmake_static DIR [--configure-only|--build-only] [CMAKE ARGS...]
cmake_static() {
    local dir="$1" step=all; shift
    [[ "${1:-}" == --configure-only || "${1:-}" == --build-only ]] && { step="$1"; shift; }
    if [[ "$step" != --build-only ]]; then
        cmake -S "$dir" -B "$dir/build-win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
            -DWINDOWS_PREFIXES="$prefix" "$@" >/dev/null
    fi
    [[ "$step" == --configure-only ]] && return
    cmake --build "$dir/build-win" -j "$jobs" >/dev/null
    cmake --install "$dir/build-win" >/dev/null
}

pc_file() { # name version cflags libs
    cat > "$prefix/lib/pkgconfig/$1.pc" <<EOF
prefix=$prefix
Name: $1
Description: $1 for Windows (mingw-w64)
Version: $2
Cflags: -I\${prefix}/include $3
Libs: -L\${prefix}/lib $4
EOF
}

if ! have zlib; then
    say zlib
    d="$(source_of zlib)"
    mkdir -p "$d/build-win"
    for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
        inftrees trees uncompr zutil; do
        "$cc" -O2 -c "$d/$f.c" -o "$d/build-win/$f.o"
    done
    "$host-ar" rcs "$prefix/lib/libz.a" "$d"/build-win/*.o
    cp "$d/zlib.h" "$d/zconf.h" "$prefix/include/"
    pc_file zlib 1.2.13 "" "-lz"
    done_with zlib
fi

if ! have expat; then
    say expat
    d="$(source_of expat)"
    [[ -f "$d/CMakeLists.txt" ]] || d="$d/expat"
    # Debian's security patches test "XML_DTD == 1", as autotools' config.h
    # defines it; CMake's header defines it empty.
    cmake_static "$d" --configure-only -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_FUZZERS=OFF
    sed -i 's|^#define XML_DTD$|#define XML_DTD 1|; s|^#define XML_NS$|#define XML_NS 1|' \
        "$d/build-win/expat_config.h"
    cmake_static "$d" --build-only
    # Static expat needs XML_STATIC wherever its header is read.
    sed -i 's|^Cflags:.*|& -DXML_STATIC|' "$prefix/lib/pkgconfig/expat.pc"
    done_with expat
fi

if ! have libzip; then
    say libzip
    d="$(source_of libzip)"
    cmake_static "$d" -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
        -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
        -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
        -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
    pc_file libzip 1.7.3 "-DZIP_STATIC" "-lzip -lz -lbcrypt"
    done_with libzip
fi

if ! have xxhash; then
    say xxhash
    d="$(source_of xxhash)"
    "$cc" -O2 -c "$d/xxhash.c" -o "$d/xxhash.o"
    "$host-ar" rcs "$prefix/lib/libxxhash.a" "$d/xxhash.o"
    cp "$d/xxhash.h" "$prefix/include/"
    pc_file libxxhash 0.8.1 "" "-lxxhash"
    done_with xxhash
fi

if ! have libtomcrypt; then
    say libtomcrypt
    d="$(source_of libtomcrypt)"
    make -C "$d" -f makefile CC="$cc" AR="$host-ar" RANLIB="$host-ranlib" \
        CFLAGS="-O2 -DLTC_NO_TEST" library -j "$jobs" >/dev/null
    cp "$d/libtomcrypt.a" "$prefix/lib/"
    mkdir -p "$prefix/include/tomcrypt"
    cp "$d"/src/headers/*.h "$prefix/include/tomcrypt/"
    done_with libtomcrypt
fi

if ! have sqlcipher; then
    say sqlcipher
    d="$(source_of sqlcipher)"
    # The amalgamation is made by host tools (lemon, tclsh) and is the same C
    # on every system; only its compilation is for Windows.
    if [[ ! -f "$d/build-amalg/sqlite3.c" ]]; then
        mkdir -p "$d/build-amalg"
        (cd "$d/build-amalg" && ../configure --disable-tcl CFLAGS="-DSQLITE_HAS_CODEC" >/dev/null &&
            make sqlite3.c >/dev/null)
    fi
    "$cc" -O2 -c "$d/build-amalg/sqlite3.c" -o "$d/build-amalg/sqlcipher-win.o" \
        -I"$prefix/include/tomcrypt" -DSQLITE_HAS_CODEC -DSQLCIPHER_CRYPTO_LIBTOMCRYPT \
        -DSQLITE_TEMP_STORE=2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION
    "$host-ar" rcs "$prefix/lib/libsqlcipher.a" "$d/build-amalg/sqlcipher-win.o"
    mkdir -p "$prefix/include/sqlcipher"
    cp "$d/build-amalg/sqlite3.h" "$prefix/include/sqlcipher/"
    pc_file sqlcipher 3.4.1 "-I\${prefix}/include/sqlcipher -DSQLITE_HAS_CODEC" "-lsqlcipher -ltomcrypt"
    done_with sqlcipher
fi

if ! have googletest; then
    say googletest
    d="$(source_of googletest)"
    cmake_static "$d" -DINSTALL_GTEST=ON -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=ON
    done_with googletest
fi

echo "$prefix"
