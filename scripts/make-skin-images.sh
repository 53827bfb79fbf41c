#!/bin/sh
# Draws the progress bar's skin: assets/skins/updatebar_n.jpg (empty bar),
# updatebar_o.jpg (full bar, same size) and updatebar_Mask.BMP (pure white outside the
# bar's rounded shape, black inside). Needs ImageMagick (apt-get install -y imagemagick).
# Run from anywhere; it rewrites the three files.
set -eu

skins="$(cd "$(dirname "$0")/.." && pwd)/assets/skins"
# The packaged tool: another convert may come first in PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

width=360
height=40
radius=14
shape="roundrectangle 0,0 $((width - 1)),$((height - 1)) $radius,$radius"
inner="roundrectangle 2,2 $((width - 3)),$((height - 3)) $((radius - 2)),$((radius - 2))"

# Both bars: a 2-pixel rim, a vertical gradient inside and a highlight along the top.
bar() {
    rim=$1 top=$2 bottom=$3 output=$4
    "$convert" -size ${width}x${height} xc:white \
        -fill "$rim" -draw "$shape" \
        \( -size ${width}x${height} gradient:"$top"-"$bottom" \) \
        \( -size ${width}x${height} xc:black -fill white -draw "$inner" \) \
        -composite \
        -fill 'rgba(255,255,255,0.25)' -draw "roundrectangle 6,4 $((width - 7)),$((height / 2 - 2)) 8,8" \
        -strip -quality 92 "$output"
}

bar '#5A6270' '#E4E8EE' '#B8BFC9' "$skins/updatebar_n.jpg"
bar '#0B4F8A' '#4FB4FF' '#1466C8' "$skins/updatebar_o.jpg"

# No anti-aliasing: every pixel of the mask is either pure white (outside) or black.
"$convert" -size ${width}x${height} xc:white +antialias -fill black -draw "$shape" \
    -type TrueColor -strip BMP3:"$skins/updatebar_Mask.BMP"
