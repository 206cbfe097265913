#!/usr/bin/env bash
# One entry point for everything: installs what a fresh Debian 12 machine
# lacks, configures and builds, then runs the program or the tests.
#
#   scripts/setup.sh run [FILE...]   build the program, then start Karven (with an example project)
#   scripts/setup.sh test            build everything, then run every test with CTest
#   scripts/setup.sh build           build everything (tests and benchmarks too)
#   scripts/setup.sh package         build the Debian package build/karven_VERSION_ARCH.deb
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-build}
shift || true
build=${KARVEN_BUILD_DIR:-$here/build}

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5svg5-dev
    fonts-noto-cjk fonts-dejavu-core
    libbenchmark-dev libzip-dev
    clang libclang-rt-14-dev
    python3 python3-ezdxf python3-matplotlib
    libpng-dev zlib1g-dev
    chromium xvfb xauth imagemagick xdotool x11-utils poppler-utils
    desktop-file-utils shared-mime-info qttranslations5-l10n
    dpkg-dev file lintian appstream
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The machine image brings Node.js 20 with its own npm; only where there is
# no Node at all fall back to Debian's.
if ! command -v node >/dev/null 2>&1; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nodejs npm
fi

# Node readers used by the tests (LibreDWG compiled to WebAssembly).
if [ -f "$here/tests/tools/package.json" ] && command -v npm >/dev/null 2>&1; then
    if [ ! -d "$here/tests/tools/node_modules" ]; then
        echo "== npm install (tests/tools)"
        (cd "$here/tests/tools" && npm install --no-audit --no-fund --loglevel=error)
    fi
fi

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
generator=()
[ -f "$build/CMakeCache.txt" ] || { command -v ninja >/dev/null 2>&1 && generator=(-G Ninja); }

case "$mode" in
run | test | build | package) ;;
*)
    echo "usage: $0 run [FILE...] | test | build | package" >&2
    exit 2
    ;;
esac

cmake -S "$here" -B "$build" "${generator[@]}" "${launcher[@]}" ${KARVEN_CMAKE_ARGS:-}

case "$mode" in
run)
    # Only the program and the DWG library it loads.
    cmake --build "$build" -j"$(nproc)" --target karven Vantrel
    files=("$@")
    [ ${#files[@]} -gt 0 ] || files=("$here/examples/road-cut.yty")
    exec "$build/app/karven" "${files[@]}"
    ;;
test)
    cmake --build "$build" -j"$(nproc)"
    cd "$build"
    exec ctest --output-on-failure -j"$(nproc)" ${KARVEN_CTEST_ARGS:-}
    ;;
build)
    cmake --build "$build" -j"$(nproc)"
    ;;
package)
    # What the package installs, then the .deb in the build folder.
    cmake --build "$build" -j"$(nproc)" --target karven_package
    cpack --config "$build/CPackConfig.cmake" -B "$build"
    ls "$build"/karven_*.deb
    ;;
esac
