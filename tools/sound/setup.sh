#!/bin/sh
# Installs what the sound generator needs (the game's own build needs none of it):
# numpy for synthesis, oggenc/oggdec for Vorbis, xmp to render the module for measuring,
# PIL for the waveform pictures.
set -e
exec "$(dirname "$0")/../install-packages.sh" python3 python3-numpy python3-pil vorbis-tools xmp
