#!/usr/bin/env bash
# Checks a Debian package made by scripts/make-deb.sh without installing it:
# lintian finds no error, the menu entry passes desktop-file-validate, the
# control fields and dependencies are there, and it holds exactly the
# expected files, with stripped programs and icons of their stated sizes.
#
#   check-deb.sh dist/veltrana_VERSION_ARCH.deb
set -euo pipefail
deb="$1"
fail() {
  echo "check-deb: $*" >&2
  exit 1
}

echo "-- lintian"
lintian --fail-on error "$deb"
echo "lintian: no error"

echo "-- control fields"
info="$(dpkg-deb -I "$deb")"
for field in 'Package: veltrana' 'Section: utils' \
  'Maintainer: The Veltrana Developers <veltrana@veltrana.example>' \
  'Depends: .*libc6 .*libqt6widgets6' 'Description: convert Eudora address books'; do
  grep -Eq "^ $field" <<<"$info" || fail "no '$field' in the control file"
done
echo "control: fields and computed dependencies present"

echo "-- contents"
expected="./usr/bin/veltrana
./usr/bin/veltrana-convert
./usr/share/applications/veltrana.desktop
./usr/share/doc/veltrana/LICENSE
./usr/share/doc/veltrana/README.md
./usr/share/doc/veltrana/changelog.gz
./usr/share/doc/veltrana/copyright
./usr/share/doc/veltrana/docs/architecture.md
./usr/share/doc/veltrana/docs/browser.png
./usr/share/doc/veltrana/docs/formats.md
./usr/share/doc/veltrana/docs/performance.md
./usr/share/doc/veltrana/docs/robustness.md
./usr/share/doc/veltrana/docs/user-guide.md
./usr/share/doc/veltrana/docs/window-win32.png
./usr/share/doc/veltrana/docs/window.png
./usr/share/icons/hicolor/scalable/apps/veltrana.svg
./usr/share/man/man1/veltrana-convert.1.gz
./usr/share/man/man1/veltrana.1.gz"
for size in 16 22 24 32 48 64 128 256; do
  expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/veltrana.png"
done
actual="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
if [[ "$actual" != "$(sort <<<"$expected")" ]]; then
  diff <(sort <<<"$expected") <(echo "$actual") >&2 || true
  fail "the package's files differ from the expected ones (- expected, + found)"
fi

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
for program in veltrana veltrana-convert; do
  file -b "$tree/usr/bin/$program" | grep -q 'ELF.*, stripped' || fail "$program is not a stripped program"
done
for size in 16 22 24 32 48 64 128 256; do
  file -b "$tree/usr/share/icons/hicolor/${size}x${size}/apps/veltrana.png" |
    grep -q "PNG image data, $size x $size," || fail "the ${size}x${size} icon has another size"
done
echo "contents: $(wc -l <<<"$actual") files as expected"

echo "-- desktop-file-validate"
desktop-file-validate "$tree/usr/share/applications/veltrana.desktop"
echo "desktop entry: valid"
