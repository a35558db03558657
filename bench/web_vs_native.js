// The browser edition against the native program on one generated book of
// 32,000 entries: each product made alternately by veltrana-convert (the
// whole process) and by the page in headless Chromium (from the button
// press to the file ready for download), RUNS times; the medians, their
// ratio, and the file's size raw and gzipped. Fails when the page or an
// export takes more than 4 times native's, or the file is over 400 KB
// gzipped.
//
//   node bench/web_vs_native.js HTML VELTRANA_CONVERT VELTRANA_GENERATE_BOOK NODE_MODULES [RUNS]
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { execFileSync } = require('child_process');

const [html, convert, generate, nodeModules] = process.argv.slice(2, 6).map((arg) => path.resolve(arg));
const runs = Number(process.argv[6] || 5);
const puppeteer = require(path.join(nodeModules, 'puppeteer-core'));
const entries = 32000;
const limit = 4;
const products = {
  page: [],
  vcard: ['--export', 'vcard'],
  vcard4: ['--export', 'vcard4'],
  csv: ['--export', 'csv'],
  ldif: ['--export', 'ldif'],
  mutt: ['--export', 'mutt'],
};
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'veltrana-bench-'));
  const book = path.join(work, 'nndbase.txt');
  execFileSync(generate, [String(entries), book]);
  const browser = await puppeteer.launch({
    executablePath: process.env.VELTRANA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  const page = await browser.newPage();
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready=true]', { timeout: 30000 });
  await (await page.$('#books')).uploadFile(book);

  // One product in the page: milliseconds from the press to the result,
  // and the progress lines shown meanwhile.
  const inPage = (product) => page.evaluate((id) => new Promise((resolve) => {
    const before = document.body.dataset.made || '0';
    let core = 0;  // the time of the run itself, in the worker
    worker.addEventListener('message', function time({ data }) {
      if (data.kind !== 'done') return;
      core = data.made[0].milliseconds;
      worker.removeEventListener('message', time);
    });
    const seen = new Set();
    const status = document.getElementById('status');
    const watch = new MutationObserver(() => seen.add(status.textContent));
    watch.observe(status, { childList: true, characterData: true, subtree: true });
    const done = new MutationObserver(() => {
      if ((document.body.dataset.made || '0') === before) return;
      const elapsed = performance.now() - started;
      done.disconnect();
      watch.disconnect();
      // The worker's own time is read once every listener has had the answer.
      setTimeout(() => resolve({
        elapsed, core, progress: [...seen].filter((text) => text.startsWith('Converted')).length,
      }), 0);
    });
    done.observe(document.body, { attributes: true, attributeFilter: ['data-made'] });
    const started = performance.now();
    document.querySelector(`button[data-product=${id}]`).click();
  }), product);

  const timesOf = {};
  let failed = false;
  for (const [product, args] of Object.entries(products)) {
    const native = [];
    const web = [];
    const core = [];
    let progress = 0;
    await inPage(product);  // the first run compiles and warms up
    for (let run = 0; run < runs; run += 1) {
      const start = process.hrtime.bigint();
      execFileSync(convert, [...args, book], { cwd: work, stdio: 'ignore' });
      native.push(Number(process.hrtime.bigint() - start) / 1e6);
      const result = await inPage(product);
      web.push(result.elapsed);
      core.push(result.core);
      progress = Math.max(progress, result.progress);
    }
    const ratio = median(web) / median(native);
    timesOf[product] = { native: median(native), web: median(web), ratio };
    const within = ratio <= limit;
    failed = failed || !within;
    console.log(`${product.padEnd(7)} native ${median(native).toFixed(0).padStart(5)} ms   ` +
      `browser ${median(web).toFixed(0).padStart(5)} ms (in the worker ${median(core).toFixed(0).padStart(5)} ms)   ` +
      `ratio ${ratio.toFixed(2)}` +
      (product === 'page' ? `   progress lines shown: ${progress}` : '') +
      (within ? '' : `   OVER ${limit}x`));
  }
  await browser.close();
  const bytes = fs.readFileSync(html);
  const gzipped = zlib.gzipSync(bytes, { level: 9 }).length;
  console.log(`file    ${bytes.length} bytes, ${gzipped} bytes gzipped (-9)` +
    (gzipped > 400 * 1024 ? '   OVER 400 KB' : ''));
  console.log(`(${entries} entries, ${fs.statSync(book).size} bytes; medians of ${runs} alternating runs)`);
  fs.rmSync(work, { recursive: true, force: true });
  process.exit(failed || gzipped > 400 * 1024 ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
