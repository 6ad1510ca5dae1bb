#!/usr/bin/env bash
# Installs what building, playing and testing need on Debian 12, when something is missing.
# Options (any number): --play only what building and running the game needs (scripts/play);
# --fuzz also clang with its libFuzzer runtime, for scripts/fuzz; --package also what
# scripts/package needs (debhelper, lintian).
set -euo pipefail

# The game itself: compiler, build tool and the libraries it links.
game=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev libjpeg-dev zlib1g-dev)
# The tests: GoogleTest, Google Benchmark, a virtual display for the windowed runs (xprop reads
# the window's class and icon back), and the validators of the desktop entry and the AppStream
# metadata the install carries.
tests=(googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils desktop-file-utils appstream)

packages=("${game[@]}" "${tests[@]}")
reason="to build the game and run its tests"
for option in "$@"; do
  case "$option" in
    --play) packages=("${game[@]}"); reason="to build the game" ;;
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --package) packages+=(build-essential debhelper dpkg-dev lintian) ;;
    *) echo "deps.sh: unknown option $option (--play, --fuzz, --package)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Quibblestar needs these Debian packages $reason: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
  echo "Installing them with apt-get through sudo (it may ask for your password)." >&2
else
  echo "They are missing and there is no sudo." >&2
  echo "Install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "Installed: ${missing[*]}" >&2
