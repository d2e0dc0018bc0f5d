#!/usr/bin/env bash
# Builds and tests both targets from scratch:
#   1. native x86-64 with AddressSanitizer and UndefinedBehaviorSanitizer,
#   2. an out-of-tree plug-in against the installed SDK (native),
#   3. the panel's mipsel target, tests under qemu-user,
#   4. the threaded tests once more under ThreadSanitizer (native).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
jobs=$(nproc)
build=${TP_BUILD_ROOT:-$top/build}

# Sanitizer builds at -O1 with line tables only: full stack traces, far less compile time.
cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DTP_SANITIZE=ON
cmake --build "$build/native" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

# The install tree is an SDK: a plug-in built outside this tree must load into touchhost.
if [ -f scripts/sdk-check.sh ]; then
  bash scripts/sdk-check.sh "$build/native" "$build/sdk"
fi

cmake -S . -B "$build/mipsel" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2" \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mipsel-linux-gnu.cmake" -DTP_BENCH=OFF
cmake --build "$build/mipsel" -j "$jobs"
ctest --test-dir "$build/mipsel" --output-on-failure -j "$jobs"

cmake -S . -B "$build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DTP_TSAN=ON -DTP_BENCH=OFF
if cmake --build "$build/tsan" --target help | grep -q '^tp_thread_tests'; then
  cmake --build "$build/tsan" -j "$jobs" --target tp_thread_tests
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$build/tsan" --output-on-failure -L threads -j "$jobs"
fi
