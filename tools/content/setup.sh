#!/bin/sh
# Installs what the content generator needs (the game's own build needs none of it).
set -e
exec "$(dirname "$0")/../install-packages.sh" python3 python3-cairo python3-pil python3-numpy fonts-dejavu-core
