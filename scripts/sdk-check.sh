#!/usr/bin/env bash
# The install tree is an SDK. Usage: sdk-check.sh <native-build-dir> <sdk-dir>
#   1. installs the build into <sdk-dir>,
#   2. builds examples/sdk-plugin outside the tree with find_package(TouchPanel), and the same
#      plug-in by hand with the pkg-config file,
#   3. loads each with the installed touchhost against a pty and checks the touches it prints.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <native-build-dir> <sdk-dir>" >&2
  exit 2
fi
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
sdk=$(cd "$2" && pwd)
work="$sdk-example"

rm -rf "$sdk" "$work"
cmake --install "$build" --prefix "$sdk" >/dev/null
for f in include/touchpanel/contract/TouchHandler.h include/touchpanel/util/Logger.h \
         lib/libtouchhost.so lib/cmake/TouchPanel/TouchPanelConfig.cmake \
         lib/pkgconfig/touchpanel.pc; do
  if [ ! -e "$sdk/$f" ]; then
    echo "sdk-check: the install tree lacks $f" >&2
    exit 1
  fi
done
echo "sdk-check: installed into $sdk"

cmake -S "$top/examples/sdk-plugin" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$sdk" >/dev/null
cmake --build "$work/cmake" >/dev/null
echo "sdk-check: built SdkExampleHandler.so with find_package(TouchPanel)"

plugin_dirs=("$work/cmake")
if command -v pkg-config >/dev/null 2>&1; then
  mkdir -p "$work/pkgconfig"
  # shellcheck disable=SC2046
  c++ -std=c++17 -fPIC -shared -fvisibility=hidden -fvisibility-inlines-hidden -Wall -Wextra \
      -Werror $(PKG_CONFIG_PATH="$sdk/lib/pkgconfig" pkg-config --cflags touchpanel) \
      "$top/examples/sdk-plugin/SdkExampleHandler.cpp" -o "$work/pkgconfig/SdkExampleHandler.so"
  plugin_dirs+=("$work/pkgconfig")
  echo "sdk-check: built SdkExampleHandler.so with pkg-config"
else
  echo "sdk-check: pkg-config is not installed; skipping the pkg-config build"
fi

if [ ! -x "$sdk/bin/touchhost" ]; then
  echo "sdk-check: the SDK has no touchhost yet; skipping the load test"
  exit 0
fi
for dir in "${plugin_dirs[@]}"; do
  "$work/cmake/sdk-feed" "$sdk/bin/touchhost" "$dir"
done
echo "sdk-check: ok"
