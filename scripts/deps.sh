#!/usr/bin/env bash
# Installs what building, playing and testing need on Debian 12, when something is missing.
set -euo pipefail

packages=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev libjpeg-dev
          zlib1g-dev googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool)
# --fuzz: also clang with its libFuzzer runtime, for scripts/fuzz.
if [[ "${1:-}" == "--fuzz" ]]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and there is no sudo: ${missing[*]}" >&2
  echo "Install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
