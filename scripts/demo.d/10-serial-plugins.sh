#!/usr/bin/env bash
# Every serial plug-in that has an emulated controller, run through touchhost: the emulator
# answers the plug-in's start-up commands, plays a short stroke and hangs up.
set -euo pipefail
touchhost="$BUILD/bin/touchhost"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
for class in $("$touchhost" --list-emulators); do
  echo "--- $class"
  if ! out=$("$touchhost" --emulate "$class" 2>"$log"); then
    echo "touchhost --emulate $class failed:" >&2
    cat "$log" >&2
    status=1
    continue
  fi
  printf '%s\n' "$out"
  if ! grep -Eq '^(down|up) -?[0-9]+ -?[0-9]+$' <<<"$out"; then
    echo "$class reported no touch" >&2
    status=1
  fi
done
exit $status
