#!/usr/bin/env bash
# The supported touch-driver table: which plug-in serves an attached USB controller.
set -euo pipefail
tool="$BUILD/bin/touchdrivers"

show() {
  echo "\$ touchdrivers $*"
  "$tool" "$@" 2>/dev/null
}

# Four rows share the eGalax/Cybertouch ids 0EEF:0001; the descriptors tell them apart.
show lookup 0eef:0001 --dd 1201100100000008EF0E0100000101020001 --if 090400000103000000
show lookup 0eef:0001 --dd 1201000200000040EF0E0100000201020001
show lookup 0eef:0001
# Known ids with descriptors of no row, and unknown ids: the default driver.
show lookup 0eef:0001 --if 090400000103000001
show lookup 1234:5678
show lookup 1926:0367

echo "\$ touchdrivers list   (first rows)"
rows=$("$tool" list 2>/dev/null)
sed -n 1,5p <<<"$rows"
echo "... $(wc -l <<<"$rows") rows in all"

echo "(standard error carries the library's log, with the event line of a specific match:)"
log=$("$tool" lookup 0b8c:006e --dd 12010002000000408C0B6E00100001020701 2>&1 >/dev/null)
grep "using touch driver" <<<"$log" | sed -n 1p
