#!/usr/bin/env bash
# Builds the Debian package into a folder (default dist/) and checks it: lintian, the
# desktop entry with desktop-file-validate, the AppStream data with appstreamcli.
#   scripts/build-deb.sh [DIR]
# Install it at a counter with: sudo apt install ./dist/nbk-reservation_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-dist}")

scripts/deps.sh
tools=(build-essential debhelper dpkg-dev lintian desktop-file-utils appstream)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Built in a scratch copy of the sources (without build folders or packages made before),
# so that the checkout stays as it is; dpkg-buildpackage writes the package beside it. The
# same folder every time, so that the compiler cache recognises the compilations.
work=${TMPDIR:-/tmp}/nbk-deb-$(id -u)
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src"
tar -C "$root" --exclude=.git --exclude='./build*' --exclude=./dist --exclude=./obj-* -cf - . \
  | tar -C "$work/src" -xf -
# reuse the developers' compiler cache when there is one
if command -v ccache >/dev/null; then
  export CCACHE_DIR="${CCACHE_DIR:-$(ccache -k cache_dir)}" CCACHE_BASEDIR="$work/src" CCACHE_NOHASHDIR=1
fi
(cd "$work/src" && dpkg-buildpackage -b -us -uc -j"$(nproc)")

mkdir -p "$out"
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb="nbk-reservation_${version}_${arch}.deb"
cp "$work/$deb" "$work"/nbk-reservation_"${version}"_"${arch}".{buildinfo,changes} "$out/"
echo "built $out/$deb"

status=0
echo "== lintian"
lintian --info --display-info "$work"/nbk-reservation_"${version}"_"${arch}".changes || status=1
# the installed desktop entry and AppStream data, as the package holds them
check=$work/check
dpkg-deb -x "$out/$deb" "$check"
echo "== desktop-file-validate"
desktop-file-validate "$check"/usr/share/applications/*.desktop || status=1
echo "== appstreamcli validate"
appstreamcli validate --no-net "$check"/usr/share/metainfo/*.metainfo.xml || status=1
[ $status -eq 0 ] && echo "$out/$deb checked"
exit $status
