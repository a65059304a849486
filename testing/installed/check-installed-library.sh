#!/usr/bin/env bash
# Installs the build tree under a fresh prefix, then builds and runs a small
# program against one library there through pkg-config alone.
# Usage: check-installed-library.sh <build dir> <pkg-config name> <program source>
set -euo pipefail
build=$1 package=$2 source=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
pcdir=$(dirname "$(find "$prefix" -name "$package.pc" | head -n 1)")
export PKG_CONFIG_PATH=$pcdir
${CXX:-c++} -std=c++20 -o "$prefix/program" "$source" $(pkg-config --cflags --libs "$package")
LD_LIBRARY_PATH=$(pkg-config --variable=libdir "$package") "$prefix/program"
