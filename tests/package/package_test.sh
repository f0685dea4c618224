#!/usr/bin/env bash
# The install tree and the Debian package: the files land where the desktop and man expect them,
# the desktop entry validates, and the programs unpacked from the .deb run.
set -euo pipefail
build=${1:?usage: package_test.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > /dev/null
for file in bin/keywright bin/keywright-cli share/applications/keywright.desktop \
    share/icons/hicolor/scalable/apps/keywright.svg share/icons/hicolor/256x256/apps/keywright.png \
    share/man/man1/keywright-cli.1 share/bash-completion/completions/keywright-cli; do
    [[ -s "$work/prefix/$file" ]] || { echo "install tree lacks $file"; exit 1; }
done
desktop-file-validate "$work/prefix/share/applications/keywright.desktop"
grep -q '^\.SH PAGES' "$work/prefix/share/man/man1/keywright-cli.1"

(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/keywright_*_amd64.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libssl3' || { echo "Depends lacks libssl3"; exit 1; }
dpkg-deb -x "$deb" "$work/unpacked"
"$work/unpacked/usr/bin/keywright-cli" --list | grep -q '^des'
result=$("$work/unpacked/usr/bin/keywright-cli" des encrypt --data 1122334455667788)
[[ "$result" == "B4CC3FD9D8D95214" ]] || { echo "unpacked des encrypt gave '$result'"; exit 1; }
version=$("$work/unpacked/usr/bin/keywright-cli" --version)
[[ "$deb" == *"keywright_${version#keywright-cli }_amd64.deb" ]] || { echo "$deb is not $version"; exit 1; }
echo "package ok: $(basename "$deb")"
