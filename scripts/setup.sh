#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root, or with the
# packages already present). Safe to run again: it installs only what is missing.
set -euo pipefail
packages=(cmake ninja-build make g++ gcc googletest libgtest-dev libgmock-dev libbenchmark-dev
          libboost-dev g++-mipsel-linux-gnu gcc-mipsel-linux-gnu qemu-user pkg-config)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing and this is not root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
