#!/bin/sh
# Draws the picture at the left of the setup's welcome and finish pages:
# installer/art/wizard.bmp, 164x314 (the size the wizard shows unscaled), a dark blue
# gradient with the tray icon's artwork. Needs ImageMagick (apt-get install -y imagemagick).
# Run from anywhere; it rewrites the file.
set -eu

art="$(cd "$(dirname "$0")" && pwd)"
icon="$art/../../notifyhost/notifyhost.ico"
# The packaged tool: another convert may come first in PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

"$convert" -size 164x314 gradient:'#0B2545'-'#13315C' \
    -fill 'rgba(79,180,255,0.10)' -draw "circle 82,230 82,60" \
    -fill 'rgba(79,180,255,0.16)' -draw "circle 82,230 82,120" \
    -stroke 'rgba(255,255,255,0.35)' -strokewidth 2 -draw "line 34,150 130,150" \
    \( "$icon[0]" -resize 96x96 \) -gravity north -geometry +0+36 -composite \
    -type TrueColor -strip BMP3:"$art/wizard.bmp"
