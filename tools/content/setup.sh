#!/bin/sh
# Installs what the content generator needs (the game's own build needs none of it).
set -e
packages="python3 python3-cairo python3-pil python3-numpy fonts-dejavu-core"
missing=""
for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
