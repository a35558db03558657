#!/usr/bin/env bash
# Installs what Veltrana needs to build and test on Debian 12, by package
# name. Used by both README commands and by CI. Installs only what is
# missing, so it is quick on a machine that has everything.
#
#   install-deps.sh             build and test everything
#   install-deps.sh sample      only what building the converter needs
#   install-deps.sh screenshot  also what scripts/screenshot.sh needs
set -euo pipefail

packages=(g++ cmake ninja-build)       # compiler and build
if [[ ${1:-} != sample ]]; then
  packages+=(
    clang libclang-rt-14-dev           # sanitizers and libFuzzer for clang
    libgtest-dev googletest            # tests
    libbenchmark-dev time              # benchmarks; /usr/bin/time for peak memory
    qt6-base-dev                       # the window
    dpkg-dev librsvg2-bin              # the Debian package: dependencies, icons
    lintian desktop-file-utils file    # checking the package
    python3 python3-vobject            # the export read back by independent parsers:
    python3-ldap                       #   LDIF (python-ldap's parser)
    python3-gi gir1.2-ebookcontacts-1.2  # Evolution's EContact
    thunderbird evolution              # the exports imported into the real programs:
    evolution-data-server gir1.2-ebook-1.2  #   Evolution's importers and address book,
    dbus-daemon                        #   on a session bus of its own (dbus-run-session)
    neomutt mutt abook                 #   the mail clients that read the aliases
    g++-mingw-w64-i686 g++-mingw-w64-x86-64  # Windows programs, cross-built
    wine wine64 xvfb xauth zip         # their tests under Wine on a display; the zips
    emscripten chromium                # the browser edition and its tests in headless Chromium
    poppler-utils                      # the printed page of today read back (pdftotext)
  )
fi
if [[ ${1:-} != sample ]] && ! command -v npm >/dev/null; then
  packages+=(nodejs npm)               # the npm test tools below
fi
if [[ ${1:-} == screenshot ]]; then
  # A real X server without a display, the screenshot, and fonts (without
  # them every glyph is a box), and a way to press Convert.
  packages+=(xvfb xauth imagemagick fonts-dejavu-core xdotool)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The npm test tools (parsers of real address books, the browser driver),
# pinned by tests/npm/package-lock.json, go into build/test-tools; the tests
# find them there. Installed again only when the lock file changes.
if [[ ${1:-} != sample ]]; then
  root="$(cd "$(dirname "$0")/.." && pwd)"
  tools="$root/build/test-tools"
  if ! cmp -s "$root/tests/npm/package-lock.json" "$tools/package-lock.json" ||
     [[ ! -d $tools/node_modules ]]; then
    echo "Installing the npm test tools into $tools"
    rm -rf "$tools"
    mkdir -p "$tools"
    cp "$root/tests/npm/package.json" "$root/tests/npm/package-lock.json" "$tools/"
    (cd "$tools" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund)
  fi
fi
