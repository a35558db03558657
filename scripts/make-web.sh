#!/usr/bin/env bash
# Builds the browser edition with Debian's emscripten and writes
#   dist/veltrana-VERSION.html
# one file that holds the page, its script, the worker and the core as
# WebAssembly, so it opens from a disk (file://) as well as from any web
# server. Its Content-Security-Policy lets it fetch nothing: scripts and the
# style only by their hashes, the worker and the preview only from the
# page's own blobs. The same sources give the same bytes. It builds in
# build-web/. Prints the file's path.
set -euo pipefail
exec 3>&1 1>&2
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
version="$(sed -n 's/^project(Veltrana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"

# emcc's optimiser runs under node and needs Debian's acorn, which a node
# other than Debian's own does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [[ ! -f build-web/build.ninja ]]; then
  emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANA_WERROR=ON
fi
cmake --build build-web --parallel 2 --target veltrana-web

mkdir -p dist
out="$root/dist/veltrana-$version.html"
python3 - "$version" src/web build-web/bin/veltrana-web.js "$out" src/formats/html_page_parts.cpp <<'PYTHON'
import base64, hashlib, re, sys
version, web, core, out, page_parts = sys.argv[1:]
read = lambda path: open(path, encoding="utf-8").read()
# The preview frame of the page of today is one of this page's blobs, and a
# blob's document keeps this page's policy besides its own: its style must
# be allowed here too, by its hash. It is the program's, taken from its
# source as the core has it.
found = re.search(r'kHtmlPageStyle = R"css\((.*?)\)css";', read(page_parts), re.S)
if not found:
    sys.exit(f"make-web: no style of the page of today in {page_parts}")
today_style = found.group(1)
template = read(f"{web}/veltrana.html")
style = read(f"{web}/page.css")
script = read(f"{web}/page.js")
worker = read(core) + "\n" + read(f"{web}/worker.js")
for name, text in (("style", style), ("script", script), ("worker", worker)):
    if "</script" in text.lower() or "</style" in text.lower():
        sys.exit(f"make-web: the {name} would end its element early")

def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode()).digest()).decode() + "'"

# The inline blocks are put in with the line ends around them, which are
# part of what the hashes cover.
style_block, script_block = "\n" + style + "\n", "\n" + script + "\n"
csp = "; ".join([
    "default-src 'none'",
    f"script-src {digest(script_block)} 'wasm-unsafe-eval'",
    f"style-src {digest(style_block)} {digest(today_style)}",
    "worker-src blob:",
    "frame-src blob:",
    "img-src data: blob:",
    "base-uri 'none'",
    "form-action 'none'",
])
page = (template.replace("@CSP@", csp).replace("@VERSION@", version)
        .replace("\n@STYLE@\n", style_block).replace("\n@SCRIPT@\n", script_block)
        .replace("\n@WORKER@\n", "\n" + worker + "\n"))
with open(out, "w", encoding="utf-8", newline="\n") as file:
    file.write(page)
PYTHON
echo "$out" >&3
