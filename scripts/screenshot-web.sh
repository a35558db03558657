#!/usr/bin/env bash
# Takes docs/browser.png: dist/veltrana-VERSION.html in headless Chromium
# after making the page of the sample address book. Rerun it after changing
# the page. WIDTH (default 960) sets the window's width: 390 shows a phone's.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh >/dev/null
html="$(scripts/make-web.sh)"
out="${1:-$root/docs/browser.png}"
node - "$html" "$root/examples/nndbase.txt" "$out" "${WIDTH:-960}" \
  "$root/build/test-tools/node_modules/puppeteer-core" <<'NODE'
const [html, book, out, width, puppeteerPath] = process.argv.slice(2);
const puppeteer = require(puppeteerPath);
(async () => {
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
    args: process.getuid() === 0 ? ['--no-sandbox'] : [] });
  const page = await browser.newPage();
  await page.setViewport({ width: Number(width), height: 1200 });
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready=true]');
  await (await page.$('#books')).uploadFile(book);
  await page.click('button[data-product=page]');
  await page.waitForSelector('body[data-made="1"]');
  await new Promise((resolve) => setTimeout(resolve, 500));  // the preview's layout
  await page.screenshot({ path: out, fullPage: true });
  await browser.close();
})().catch((error) => { console.error(error); process.exit(1); });
NODE
echo "Wrote $out"
