#!/bin/sh
# Redraws res/*.ico from drawicons.cpp (needs Qt 5 development files and
# ImageMagick). Run from anywhere.
set -e
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -std=c++17 -fPIC "$here/drawicons.cpp" -o "$work/drawicons" $(pkg-config --cflags --libs Qt5Gui)
QT_QPA_PLATFORM=offscreen "$work/drawicons" "$work"
for name in newdoc opendoc savedoc data upper down circle pole ans text cad pic txt report up del; do
    convert "$work/${name}_16.png" "$work/${name}_24.png" "$work/${name}_32.png" "$work/${name}_48.png" "$here/../$name.ico"
done
