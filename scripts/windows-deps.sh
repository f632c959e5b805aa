#!/usr/bin/env bash
# Cross-builds, for 64-bit Windows, every library that Fotolun links, as static libraries in one
# prefix with pkg-config files that list their whole static link line. Debian ships a mingw build
# of zlib alone, so the others are built from Debian's own source packages. Everything lives in a
# cache outside the checkout, keyed by source version and build recipe: a second run fetches and
# builds nothing. The last line printed is the prefix, for cmake/mingw-w64-x86_64.cmake:
#   cmake ... -DFOTOLUN_WINDOWS_PREFIX="$(bash scripts/windows-deps.sh | tail -n 1)"
#   FOTOLUN_WINDOWS_CACHE    the cache (default ~/.cache/fotolun-windows)
#   FOTOLUN_WINDOWS_REFRESH=1 reads Debian's source index again and takes newer versions
#   FOTOLUN_WINDOWS_STANDIN=0 skips the stand-in's libraries (libmicrohttpd, libjpeg-turbo)
set -euo pipefail
shopt -s inherit_errexit

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${FOTOLUN_WINDOWS_CACHE:-$HOME/.cache/fotolun-windows}
prefix=$cache/prefix
host=x86_64-w64-mingw32
jobs=${FOTOLUN_WINDOWS_JOBS:-2}
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
started=$SECONDS
mkdir -p "$cache"/{src,build,stamps,logs} "$prefix"/{include,lib/pkgconfig,licenses}
cache=$(cd "$cache" && pwd)
prefix=$cache/prefix
# One run at a time per cache: two would build the same library in the same folder.
exec 7>"$cache/.lock"
flock 7

say() { echo "windows-deps: $*" >&2; }

install_packages() {
  local packages=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine64 nsis cmake ninja-build pkg-config ccache dpkg-dev debian-archive-keyring xz-utils bzip2
    autoconf automake libtool autopoint gettext tcl
  )
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  say "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# --- Debian's source packages, through an apt configuration of our own -----------------------------

apt_dir=$cache/apt
apt_opts=(
  -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources"
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User="$(id -un)" -q
)

# The machine's own Debian mirror for a suite, from its deb822 or one-line sources.
mirror_of() {
  local suite=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$suite" '
      function flush() { if (ok && uri != "") { print uri; found = 1; exit } ok = 0; uri = "" }
      /^[[:space:]]*$/ { flush(); next }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) ok = 1 }
      END { if (!found && ok && uri != "") print uri }' "$f"
  done | head -n 1 | grep . && return
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk -v suite="$suite" '$1 == "deb" && $0 !~ /\[/ && $3 == suite { print $2; exit }'
}

# Read once in a cache's life, or once per run with FOTOLUN_WINDOWS_REFRESH (fetches run in
# subshells, hence a marker file rather than a variable).
read_source_lists() {
  local marker=$apt_dir/lists/.read-by-$$
  [ -f "$marker" ] && return
  if [ -z "${FOTOLUN_WINDOWS_REFRESH:-}" ] && ls "$apt_dir"/lists/*_Sources* >/dev/null 2>&1; then
    return
  fi
  local codename main security
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  main=$(mirror_of "$codename")
  security=$(mirror_of "$codename-security" || true)
  [ -n "$main" ] || { say "no Debian mirror for $codename in /etc/apt"; exit 1; }
  rm -rf "$apt_dir/sources"
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  {
    printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\n' "$main" "$codename" "$codename"
    printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
    if [ -n "$security" ]; then
      printf '\nTypes: deb-src\nURIs: %s\nSuites: %s-security\nComponents: main\n' "$security" "$codename"
      printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
    fi
  } >"$apt_dir/sources/fotolun-windows.sources"
  say "reading Debian's source index"
  apt-get "${apt_opts[@]}" update >"$cache/logs/apt-update.log" 2>&1 ||
    { cat "$cache/logs/apt-update.log" >&2; exit 1; }
  rm -f "$apt_dir"/lists/.read-by-*
  touch "$marker"
}

# Versions of a source package that the index offers, newest first.
versions_of() {
  local pkg=$1 v sorted=() i
  while read -r v; do
    i=${#sorted[@]}
    sorted+=("$v")
    while [ "$i" -gt 0 ] && dpkg --compare-versions "${sorted[i - 1]}" lt "$v"; do
      sorted[i]=${sorted[i - 1]}
      sorted[i - 1]=$v
      i=$((i - 1))
    done
  done < <(apt-cache "${apt_opts[@]}" showsrc "$pkg" 2>/dev/null |
    awk -v pkg="$pkg" '/^Package:/ { p = $2 } /^Version:/ && p == pkg { print $2 }' | sort -u)
  printf '%s\n' "${sorted[@]}"
}

# Downloads a source package into $cache/src/<pkg>_<version>/ and unpacks it as tree/, once; prints
# the version. apt checks every file against the signed index. Where the mirror lacks a version's
# Debian packaging, an older version that is whole is taken; failing that, the upstream tarball that
# did arrive, unpatched.
fetch_source() {
  local pkg=$1 ver=""
  if [ -z "${FOTOLUN_WINDOWS_REFRESH:-}" ] && [ -f "$cache/src/$pkg.version" ]; then
    ver=$(<"$cache/src/$pkg.version")
    [ -f "$cache/src/${pkg}_${ver#*:}/.unpacked" ] && { echo "$ver"; return; }
  fi
  read_source_lists
  local candidates v dir tmp partial="" partial_dir=""
  mapfile -t candidates < <(versions_of "$pkg")
  [ ${#candidates[@]} -gt 0 ] && [ -n "${candidates[0]}" ] || { say "Debian has no source package $pkg"; exit 1; }
  for v in "${candidates[@]}"; do
    dir=$cache/src/${pkg}_${v#*:}
    [ -f "$dir/.unpacked" ] && { ver=$v; break; }
    tmp=$cache/src/.fetch-${pkg}_${v#*:}
    rm -rf "$tmp" && mkdir -p "$tmp"
    say "fetching $pkg $v"
    if (cd "$tmp" && apt-get "${apt_opts[@]}" source --download-only "$pkg=$v") >"$cache/logs/fetch-$pkg.log" 2>&1; then
      rm -rf "$dir" && mv "$tmp" "$dir"
      unpack_source "$dir" full
      ver=$v
      break
    fi
    if [ -z "$partial" ] && orig_arrived "$tmp"; then
      partial=$v
      partial_dir=$tmp
    else
      rm -rf "$tmp"
    fi
  done
  if [ -z "$ver" ] && [ -n "$partial" ]; then
    say "the mirror lacks Debian's packaging of $pkg $partial: building its upstream tarball alone"
    dir=$cache/src/${pkg}_${partial#*:}
    rm -rf "$dir" && mv "$partial_dir" "$dir"
    unpack_source "$dir" orig
    ver=$partial
  fi
  rm -rf "$cache"/src/.fetch-"${pkg}"_*
  [ -n "$ver" ] || { cat "$cache/logs/fetch-$pkg.log" >&2; say "could not fetch $pkg"; exit 1; }
  echo "$ver" >"$cache/src/$pkg.version"
  echo "$ver"
}

# Whether the .dsc and every upstream tarball it names arrived (apt deletes a file that fails its check).
orig_arrived() {
  local dir=$1 dsc f
  dsc=$(ls "$dir"/*.dsc 2>/dev/null | head -n 1) || return 1
  [ -n "$dsc" ] || return 1
  for f in $(awk '/^Files:/ { on = 1; next } /^[^ ]/ { on = 0 } on { print $3 }' "$dsc" | grep '\.orig'); do
    [ -f "$dir/$f" ] || return 1
  done
}

unpack_source() {
  local dir=$1 how=$2 dsc orig
  dsc=$(ls "$dir"/*.dsc | head -n 1)
  rm -rf "$dir/tree"
  if [ "$how" = full ]; then
    (cd "$dir" && dpkg-source --no-check -x "$(basename "$dsc")" tree) >"$dir/unpack.log" 2>&1 ||
      { cat "$dir/unpack.log" >&2; exit 1; }
  else
    orig=$(ls "$dir"/*.orig.tar.* | grep -v '\.asc$' | grep -v 'orig-' | head -n 1)
    mkdir -p "$dir/tree"
    tar -xf "$orig" -C "$dir/tree" --strip-components=1
  fi
  touch "$dir/.unpacked"
}

# --- building ------------------------------------------------------------------------------------

cc="$host-gcc-posix"
cxx="$host-g++-posix"
optimise="-O2 -DNDEBUG"

cmake_configure() {
  local src=$1
  shift
  cmake -S "$src" -B . -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DFOTOLUN_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$optimise" -DCMAKE_CXX_FLAGS_RELEASE="$optimise" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache --no-warn-unused-cli "$@"
}

cmake_install() {
  cmake --build . -j "$jobs"
  cmake --install .
}

cmake_build() {
  cmake_configure "$@"
  cmake_install
}

configure_build() {
  local src=$1
  shift
  "$src/configure" --host="$host" --prefix="$prefix" --disable-shared --enable-static \
    CC="ccache $cc" CXX="ccache $cxx" AR="$host-ar" RANLIB="$host-ranlib" CFLAGS="$optimise" \
    CXXFLAGS="$optimise" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
    PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH= "$@"
  make -j "$jobs"
  make install
}

# A pkg-config file's field gets words it lacks (static flags that upstream leaves to the user).
pc_add() {
  local pc=$DESTDIR$prefix/lib/pkgconfig/$1 field=$2 words=$3
  [ -f "$pc" ] || { echo "no $pc to add $words to" >&2; return 1; }
  grep -q "^$field:.*$words" "$pc" && return
  if grep -q "^$field:" "$pc"; then
    sed -i "s|^$field:.*|& $words|" "$pc"
  else
    echo "$field: $words" >>"$pc"
  fi
}

# Every .pc file becomes relocatable and lists its static needs in its plain fields: a static link
# needs what Libs.private and Requires.private hold, and CMake's pkg_check_modules reads only Libs.
fold_pkgconfig() {
  local pc
  for pc in "$1"/lib/pkgconfig/*.pc; do
    [ -f "$pc" ] || continue
    [ -L "$pc" ] && continue
    awk -v root="$prefix" '
      { gsub(root, "${prefix}") }
      /^prefix=/ { print "prefix=${pcfiledir}/../.."; next }
      /^Libs\.private:/ { sub(/^Libs\.private:[[:space:]]*/, ""); libs = libs " " $0; next }
      /^Requires\.private:/ { sub(/^Requires\.private:[[:space:]]*/, ""); reqs = reqs ($0 == "" ? "" : ", " $0); next }
      { lines[++n] = $0 }
      END {
        for (i = 1; i <= n; i++) {
          line = lines[i]
          if (line ~ /^Libs:/) line = line libs
          if (line ~ /^Requires:/) { line = line reqs; reqs = "" ; if (line ~ /^Requires:[[:space:]]*,/) sub(/:[[:space:]]*,/, ":", line) }
          print line
        }
        if (reqs != "") { sub(/^, /, "", reqs); print "Requires: " reqs }
      }' "$pc" >"$pc.tmp"
    mv "$pc.tmp" "$pc"
  done
}

# Some upstream files repeat the compiler's own runtime libraries, and their dependencies, in Libs:
# those go, and of a repeated word the last stays (the place a static link needs it). zlib goes by
# -lz (CMake's pkg_check_modules puts a bare archive path before the objects), which finds the
# prefix's copy of the archive; winpthread goes, as CMake would resolve -lpthread to its import
# library and the compiler links the archive by itself. Cheap and idempotent, so it runs over the
# whole prefix every time.
tidy_pkgconfig() {
  local pc
  for pc in "$1"/lib/pkgconfig/*.pc; do
    [ -f "$pc" ] || continue
    [ -L "$pc" ] && continue
    awk '
      /^Libs:/ {
        n = split(substr($0, 6), words, /[[:space:]]+/)
        split("", seen); out = ""
        for (i = n; i >= 1; i--) {
          w = words[i]
          if (w ~ /libz\.a$/) w = "-lz"
          if (w == "" || w ~ /^-l(mingw32|gcc|gcc_eh|gcc_s|moldname|mingwex|msvcrt|pthread|winpthread)$/ || (w in seen)) continue
          seen[w] = 1
          out = w (out == "" ? "" : " " out)
        }
        print "Libs: " out
        next
      }
      { print }' "$pc" >"$pc.tmp"
    mv "$pc.tmp" "$pc"
  done
}

copy_licences() {
  local name=$1 src=$2 dest=$prefix/licenses/$1 f
  rm -rf "$dest" && mkdir -p "$dest"
  [ -f "$src/debian/copyright" ] && cp "$src/debian/copyright" "$dest/debian-copyright"
  while IFS= read -r f; do
    cp "$f" "$dest/$(echo "${f#"$src"/}" | tr / _)"
  done < <(find "$src" -maxdepth 2 -type f \( -iname 'COPYING*' -o -iname 'LICEN[CS]E*' -o -iname 'COPYRIGHT*' \) \
    -not -path "$src/debian/*" | sort)
}

# Builds one library unless its stamp says this version was built by this recipe against these
# dependencies. The recipe installs into a stage (DESTDIR), whose files join the prefix once the
# whole build went through: a failed build leaves neither files nor a stamp, and the next run
# builds it again.
#   build NAME SOURCE-PACKAGE [DEPENDENCY...]   the recipe is the shell function recipe_NAME
build() {
  local name=$1 pkg=$2
  shift 2
  local ver src want dep stamp=$cache/stamps/$name log=$cache/logs/$name.log dir=$cache/build/$name t0
  if [ "$pkg" = - ]; then
    ver=ours
    src=$repo/scripts/windows/$name
  else
    ver=$(fetch_source "$pkg")
    src=$cache/src/${pkg}_${ver#*:}/tree
  fi
  want="$name $ver $(
    {
      declare -f "recipe_$name" cmake_configure cmake_install cmake_build configure_build pc_add fold_pkgconfig
      echo "$optimise"
      cat "$toolchain"
      [ "$pkg" = - ] && find "$src" -type f | sort | xargs cat
      for dep in "$@"; do cat "$cache/stamps/$dep"; done
    } | sha256sum | cut -c1-16
  )"
  if [ -f "$stamp" ] && [ "$(<"$stamp")" = "$want" ]; then
    [ "$pkg" = - ] || [ -d "$prefix/licenses/$pkg" ] || copy_licences "$pkg" "$src"
    return
  fi
  rm -f "$stamp"
  rm -rf "$dir" && mkdir -p "$dir/work"
  say "building $name $ver"
  t0=$SECONDS
  # Not under "if": there bash would ignore errexit inside the recipe and go on past a failure.
  local status=0
  set +e
  (
    set -e
    cd "$dir/work"
    export DESTDIR=$dir/stage
    "recipe_$name" "$src"
    [ -d "$DESTDIR$prefix" ] || { echo "$name installed nothing" >&2; exit 1; }
    fold_pkgconfig "$DESTDIR$prefix"
  ) >"$log" 2>&1
  status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    say "$name failed; the whole log is $log"
    exit 1
  fi
  cp -a "$dir/stage$prefix/." "$prefix/"
  [ "$pkg" = - ] || copy_licences "$pkg" "$src"
  rm -rf "$dir"
  echo "$want" >"$stamp"
  echo "$name $ver $((SECONDS - t0))s" >>"$cache/logs/timings.txt"
  say "built $name in $((SECONDS - t0)) s"
}

# --- the recipes -----------------------------------------------------------------------------------

# Debian's zlib comes as an import library and an archive in the sysroot, and -lz would find the
# former; the prefix holds a copy of the archive alone, so -lz from the prefix links it statically.
zlib_pc() {
  local ver
  ver=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)
  cmp -s "/usr/$host/lib/libz.a" "$prefix/lib/libz.a" || cp "/usr/$host/lib/libz.a" "$prefix/lib/libz.a"
  cat >"$prefix/lib/pkgconfig/zlib.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib

Name: zlib
Description: zlib compression library (Debian's mingw build)
Version: ${ver%%+*}
Libs: -L\${libdir} -lz
EOF
}

# What a static program carries besides the libraries: zlib, and mingw-w64's and GCC's runtimes.
runtime_licences() {
  local pair
  for pair in zlib:libz-mingw-w64-dev mingw-w64-runtime:mingw-w64-common gcc-runtime:gcc-mingw-w64-base; do
    mkdir -p "$prefix/licenses/${pair%%:*}"
    cp "/usr/share/doc/${pair#*:}/copyright" "$prefix/licenses/${pair%%:*}/debian-copyright"
  done
}

recipe_iconv() {
  "$cc" $optimise -Wall -Wextra -Werror -c "$1/iconv.c" -o iconv.o
  "$host-ar" rcs libiconv.a iconv.o
  install -D -m 644 libiconv.a "$DESTDIR$prefix/lib/libiconv.a"
  install -D -m 644 "$1/iconv.h" "$DESTDIR$prefix/include/iconv.h"
}

recipe_curl() {
  cmake_build "$1" -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF -DHTTP_ONLY=ON \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_WINDOWS_SSPI=ON -DENABLE_UNICODE=ON \
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DCURL_ZLIB=ON -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF \
    -DCURL_USE_GSSAPI=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON -DENABLE_THREADED_RESOLVER=ON
  pc_add libcurl.pc Cflags -DCURL_STATICLIB
}

recipe_json_c() {
  cmake_build "$1" -DBUILD_STATIC_LIBS=ON -DBUILD_TESTING=OFF -DBUILD_APPS=OFF -DDISABLE_WERROR=ON
}

recipe_pcre2() {
  cmake_build "$1" -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
    -DPCRE2_SUPPORT_JIT=ON -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_LIBZ=OFF \
    -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF
  pc_add libpcre2-8.pc Cflags -DPCRE2_STATIC
  pc_add libpcre2-posix.pc Cflags -DPCRE2_STATIC
}

# Debian's security fixes test "#if XML_DTD == 1", as the autotools build that Debian uses defines
# it; expat's CMake writes the macro empty. The generated header gets the value, upstream stays as is.
recipe_expat() {
  cmake_configure "$1/expat" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=ON
  sed -i 's/^#define XML_DTD$/#define XML_DTD 1/; s/^#define XML_NS$/#define XML_NS 1/' expat_config.h
  grep -q '^#define XML_DTD 1$' expat_config.h
  cmake_install
  pc_add expat.pc Cflags -DXML_STATIC
}

# exiv2 would take the iconv shim, which knows only zbar's encodings, over its own Windows
# conversions for the UCS-2 of Windows' XP tags.
recipe_exiv2() {
  cmake_build "$1" -DEXIV2_ENABLE_XMP=ON -DEXIV2_ENABLE_EXTERNAL_XMP=OFF -DEXIV2_ENABLE_PNG=ON \
    -DEXIV2_ENABLE_WIN_UNICODE=ON -DEXIV2_ENABLE_NLS=OFF -DEXIV2_ENABLE_WEBREADY=OFF -DEXIV2_ENABLE_CURL=OFF \
    -DEXIV2_ENABLE_SSH=OFF -DEXIV2_ENABLE_VIDEO=OFF -DEXIV2_ENABLE_BMFF=ON -DEXIV2_BUILD_SAMPLES=OFF \
    -DEXIV2_BUILD_EXIV2_COMMAND=OFF -DEXIV2_BUILD_UNIT_TESTS=OFF -DEXIV2_BUILD_DOC=OFF \
    -DEXIV2_TEAM_WARNINGS_AS_ERRORS=OFF -DCMAKE_CXX_FLAGS=-DXML_STATIC -DCMAKE_DISABLE_FIND_PACKAGE_Iconv=ON
  # Its pkg-config file knows only the shared library; these are what its CMake targets carry.
  pc_add exiv2.pc Libs "-lexiv2-xmp -lpsapi -lws2_32 -lshell32"
  pc_add exiv2.pc Requires "expat, zlib"
  pc_add exiv2.pc Cflags "-Dexiv2lib_STATIC -DWIN32_LEAN_AND_MEAN"
}

# The amalgamation is generated on the build host (a Tcl script), then compiled for Windows alone.
recipe_sqlite3() {
  mkdir host && (cd host && "$1/configure" --disable-tcl --disable-readline && make sqlite3.c)
  ccache "$cc" $optimise -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -c host/sqlite3.c -o sqlite3.o
  "$host-ar" rcs libsqlite3.a sqlite3.o
  install -D -m 644 libsqlite3.a "$DESTDIR$prefix/lib/libsqlite3.a"
  install -D -m 644 -t "$DESTDIR$prefix/include" host/sqlite3.h "$1/src/sqlite3ext.h"
  mkdir -p "$DESTDIR$prefix/lib/pkgconfig"
  cat >"$DESTDIR$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLite
Description: SQL database engine
Version: $(cat "$1/VERSION")
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOF
}

recipe_libpng() {
  cmake_build "$1" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
}

recipe_qrencode() {
  cmake_build "$1" -DWITH_TOOLS=OFF -DWITH_TESTS=OFF -DWITHOUT_PNG=ON
}

# Autotools only; regenerated in a copy, so the cached source stays as Debian ships it.
recipe_zbar() {
  cp -a "$1" src
  (cd src && autoreconf -fi)
  configure_build "$PWD/src" --disable-video --disable-doc --disable-nls --without-x --without-xshm \
    --without-xv --without-jpeg --without-imagemagick --without-graphicsmagick --without-gtk --without-gir \
    --without-qt --without-qt5 --without-python --without-java --without-dbus --without-npapi \
    --without-directshow
  pc_add zbar.pc Libs -liconv
}

recipe_googletest() {
  cmake_build "$1" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
}

recipe_libmicrohttpd() {
  configure_build "$1" --disable-https --without-gnutls --disable-curl --disable-doc --disable-examples \
    --disable-nls --disable-tools
}

recipe_libjpeg_turbo() {
  cmake_build "$1" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
}

# Two lanes of builds side by side: a CMake configure step runs one check at a time, so while one
# library configures, the other lane compiles. Each lane gets half the jobs.
lane_a() {
  build curl curl
  build json_c json-c
  build pcre2 pcre2
  build sqlite3 sqlite3
  build googletest googletest
  [ "$standin" = 0 ] || build libmicrohttpd libmicrohttpd
}

lane_b() {
  build expat expat
  build exiv2 exiv2 expat
  build libpng libpng1.6
  build qrencode qrencode
  build zbar zbar iconv
  [ "$standin" = 0 ] || build libjpeg_turbo libjpeg-turbo
}

standin=${FOTOLUN_WINDOWS_STANDIN:-1}
install_packages
zlib_pc
runtime_licences
# Fetched first and one at a time: apt keeps one lock on its lists.
for pkg in curl json-c pcre2 sqlite3 googletest expat exiv2 libpng1.6 qrencode zbar; do
  fetch_source "$pkg" >/dev/null
done
[ "$standin" = 0 ] || for pkg in libmicrohttpd libjpeg-turbo; do fetch_source "$pkg" >/dev/null; done
build iconv -
jobs=$(((jobs + 1) / 2))
lane_a &
a=$!
lane_b &
b=$!
failed=0
wait "$a" || failed=1
wait "$b" || failed=1
[ "$failed" = 0 ] || { say "a library failed to build; a rerun resumes from it"; exit 1; }
tidy_pkgconfig "$prefix"
say "done in $((SECONDS - started)) s"
echo "$prefix"
