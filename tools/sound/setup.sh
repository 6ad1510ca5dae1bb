#!/bin/sh
# Installs what the sound generator needs (the game's own build needs none of it):
# numpy for synthesis, oggenc/oggdec for Vorbis, xmp to render the module for measuring,
# PIL for the waveform pictures.
set -e
packages="python3 python3-numpy python3-pil vorbis-tools xmp"
missing=""
for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
