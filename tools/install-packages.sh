#!/bin/sh
# Installs the Debian packages named on the command line that are not installed yet.
# The generators' setup scripts use it; the game's own build needs none of their packages.
set -e
missing=""
for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
