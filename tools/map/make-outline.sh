#!/bin/sh
# Makes the state's outline that the route map draws (src/routes/map/karnataka.txt).
# Needs Debian's gmt and gmt-dcw (apt-get install gmt gmt-dcw); only this script does: the
# client reads the committed file. Douglas-Peucker at 1.5 km keeps a few hundred points of
# the mainland; pieces with fewer than 12 points left (small islands) are dropped.
set -eu
out=$(realpath "${1:-$(dirname "$0")/../../src/routes/map/karnataka.txt}")
# gmt leaves its history file in the working directory
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
tmp=$work/coast.txt
gmt coast -EIN.KA -M > "$tmp"
{
    echo "# Karnataka state outline, longitude latitude (degrees, WGS84), pieces separated by '>'."
    echo "# From the Digital Chart of the World as packaged by GMT (gmt-dcw, LGPL-3+); see LICENCE."
    gmt simplify "$tmp" -T1.5k | awk '
        function flush() { if (n >= 12) { print ">"; for (i = 1; i <= n; i++) print row[i] } n = 0 }
        /^>/ { flush(); next }
        NF >= 2 { row[++n] = sprintf("%.4f %.4f", $1, $2) }
        END { flush() }'
} > "$out"
