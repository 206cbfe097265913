#!/bin/sh
# Builds the Debian package from a build tree and checks it as a user's
# machine would see it.
#
#   check_package.sh BUILD_DIR SOURCE_DIR WORK_DIR PRIVATE_DIR
#
# PRIVATE_DIR is the program's folder below /usr (lib/<multiarch>/karven).
set -eu
build=$1 src=$2 work=$3 private=$4
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate update-mime-database python3; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (scripts/setup.sh installs it)"
done
rm -rf "$work"
mkdir -p "$work/run"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run"

echo "== cpack"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack"
}
set -- "$work"/karven_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one karven_*.deb in $work"
deb=$1

echo "== lintian"
lintian --pedantic --fail-on error "$deb" >"$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log"
    fail "lintian reports errors"
}
grep -v '^running with root' "$work/lintian.log" || true

echo "== control and file list"
dpkg-deb -f "$deb" Package Architecture Depends Section >"$work/control"
cat "$work/control"
grep -q '^Package: karven$' "$work/control" || fail "package name"
# Dependencies come from dpkg-shlibdeps: the Qt libraries the binaries link.
for lib in libc6 libqt5core5a libqt5gui5 libqt5widgets5; do
    grep -q "^Depends:.*\\b$lib\\b" "$work/control" || fail "Depends lacks $lib"
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ *\.\//, ""); print }' | LC_ALL=C sort >"$work/files"
sed "s|@PRIVATE@|$private|g" "$here/files.txt" | LC_ALL=C sort >"$work/files.expected"
diff -u "$work/files.expected" "$work/files" || fail "file list differs from tests/package/files.txt"

echo "== unpacked tree"
root=$work/root
dpkg-deb -x "$deb" "$root"
# The program finds Vantrel in the folder its link resolves to.
[ "$(readlink -f "$root/usr/bin/karven")" = "$(readlink -f "$root/usr/$private/karven")" ] || fail "usr/bin/karven link"
python3 - "$root/usr/$private/libVantrel.so" <<'PY' || fail "libVantrel.so does not load or lacks writeDwg"
import ctypes, sys
ctypes.CDLL(sys.argv[1]).writeDwg
PY
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/karven.desktop" || fail "desktop-file-validate"
mkdir -p "$work/mime"
cp -r "$root/usr/share/mime/packages" "$work/mime/"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; fail "update-mime-database"; }
grep -q 'application/x-karven-project:\*\.yty' "$work/mime/globs2" || fail "*.yty is not application/x-karven-project"
gzip -t "$root"/usr/share/man/man1/*.gz "$root/usr/share/doc/karven/changelog.gz"

echo "== karven-batch from the tree"
out=$work/out
"$root/usr/bin/karven-batch" --report "$out" --dwg "$out" "$src/examples/road-cut.yty" || fail "karven-batch"
grep -q 'data:image/png;base64,' "$out/road-cut.html" || fail "report without its picture"
[ "$(head -c 6 "$out/road-cut.dwg")" = "AC1018" ] || fail "road-cut.dwg is not an AC1018 drawing"

echo "== installed entry replaces the per-user registration"
# A per-user entry left by an earlier start from elsewhere; the installed
# program, finding its own system-wide entry, removes it and writes nothing.
home=$work/home
apps=$home/data/applications
mkdir -p "$apps" "$home/data/mime/packages" "$home/config" "$home/run"
chmod 700 "$home/run"
printf '[Desktop Entry]\nType=Application\nName=x\nExec=/old/karven %%F\nX-Karven-DefaultIcon="/old/karven",1\n' >"$apps/karven.desktop"
echo '<mime-info/>' >"$home/data/mime/packages/application-x-karven-project.xml"
HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run \
    XDG_DATA_DIRS=$root/usr/share PATH="$root/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/karven" >"$work/karven.log" 2>&1 &
pid=$!
i=0
while [ -e "$apps/karven.desktop" ] && [ $i -lt 300 ] && kill -0 $pid 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
done
sleep 0.5
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
[ ! -e "$apps/karven.desktop" ] || { cat "$work/karven.log"; fail "the per-user karven.desktop is still there"; }
[ ! -e "$home/data/mime/packages/application-x-karven-project.xml" ] || fail "the per-user MIME package is still there"
left=$(ls -A "$apps" | grep -v '\.cache$' || true)
[ -z "$left" ] || fail "new per-user entries: $left"

echo "package checks passed"
