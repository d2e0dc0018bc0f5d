#!/usr/bin/env bash
# Boot variables on an emulated I2C EEPROM: nvset sets, replaces and removes a variable,
# nvprint lists the part, and the emulator's transfer log shows what crossed the bus.
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export I2C_EEPROM_IMAGE="$dir/eeprom.bin"
export I2C_EEPROM_LOG="$dir/i2c.log"
preload="$BUILD/lib/libi2c_eeprom_sim.so"

nvset() {
  echo "\$ nvset $*"
  : >"$I2C_EEPROM_LOG"
  LD_PRELOAD="$preload" "$BUILD/bin/nvset" "$@" 2>&1 | sed -n 's/^.*\] \(Debug\|Info \|WARN \|ERROR\):/  \1:/p'
  pages=$(awk '/^W/ && NF == 19' "$I2C_EEPROM_LOG")
  echo "  bus: $(grep -c '^R' "$I2C_EEPROM_LOG" || true) reads, $(wc -l <<<"$pages") page writes;" \
       "the first and the last (checksum at the end):"
  sed -n '1p;$p' <<<"$pages" | sed 's/^/    /'
}

nvprint() {
  echo "\$ nvprint $*"
  : >"$I2C_EEPROM_LOG"
  LD_PRELOAD="$preload" "$BUILD/bin/nvprint" "$@" 2>"$dir/err" | sed 's/^/  /' || true
  grep '^nvprint' "$dir/err" | sed 's/^/  (/; s/$/)/'
  echo "  bus: $(paste -s -d ';' "$I2C_EEPROM_LOG" | sed 's/;/; /g')"
}

echo "a blank part at $I2C_EEPROM_IMAGE"
nvset rdinit /init
nvset console ttyS0,115200
nvprint
nvset rdinit /sbin/init
nvprint
nvset console ""
nvprint
nvprint rdinit
echo "image bytes 0-31 and the checksum (508-511):"
od -A d -t x1 -N 32 "$I2C_EEPROM_IMAGE" | sed 's/^/    /'
od -A d -t x1 -j 508 "$I2C_EEPROM_IMAGE" | sed 's/^/    /'
