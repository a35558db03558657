// The browser edition in headless Chromium, as a user runs it: the one HTML
// file opened from file:// and from a server on 127.0.0.1, books given to
// its pickers, each product's button pressed. Every file it downloads must
// be byte for byte what veltrana-convert writes for the same book, charset
// and date; its status line and messages must be the command line's; and
// no request may leave the page.
//
//   node browser_test.js HTML VELTRANA_CONVERT NODE_MODULES [--only NAME]
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');

const [html, convert, nodeModules] = process.argv.slice(2).map((arg, i) => (i < 3 ? path.resolve(arg) : arg));
const chromium = process.env.VELTRANA_CHROMIUM || '/usr/bin/chromium';
// What is missing is said, and the test counts as skipped (77).
for (const [file, missing] of [[html, 'the file: run scripts/make-web.sh'],
  [path.join(nodeModules, 'puppeteer-core'), 'puppeteer-core: run scripts/install-deps.sh'],
  [chromium, 'chromium: run scripts/install-deps.sh']]) {
  if (!fs.existsSync(file)) {
    console.log(`SKIP: no ${file} (${missing})`);
    process.exit(77);
  }
}
const puppeteer = require(path.join(nodeModules, 'puppeteer-core'));
// axe-core checks the page's accessibility where it is installed.
const axePath = path.join(nodeModules, 'axe-core', 'axe.min.js');
const axeSource = fs.existsSync(axePath) ? fs.readFileSync(axePath, 'utf8') : null;
if (!axeSource) console.log(`axe-core not checked: no ${axePath} (run scripts/install-deps.sh)`);

async function axe(page, label) {
  if (!axeSource) return;
  await page.evaluate(axeSource);
  const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  for (const violation of result.violations) {
    check(false, `${label}: axe: ${violation.id} (${violation.impact}): ${violation.help}: ` +
      violation.nodes.map((node) => node.target.join(' ')).join(', '));
  }
}

// The command line's arguments for each product, written out here rather
// than taken from the program, so that a wrong row in its table shows.
const products = {
  page: [],
  vcard: ['--export', 'vcard'],
  vcard4: ['--export', 'vcard4'],
  csv: ['--export', 'csv'],
  ldif: ['--export', 'ldif'],
  mutt: ['--export', 'mutt'],
  html: ['--export', 'html'],
};

// ---- the books ----------------------------------------------------------

const crlf = (lines) => Buffer.from(lines.join('\r\n') + '\r\n', 'latin1');

// "José Müller" and "Grüße" in each set's own bytes; "£" and "€" where the
// set has them.
const accented = {
  'windows-1252': ['Jos\xe9 M\xfcller', 'Gr\xfc\xdfe \x80 5'],
  'iso-8859-1': ['Jos\xe9 M\xfcller', 'Gr\xfc\xdfe \xa3 5'],
  macintosh: ['Jos\x8e M\x9fller', 'Gr\x9f\xa7e \xdb 5'],
};

function charsetBook(charset) {
  const [name, note] = accented[charset] || [];
  const head = charset === 'utf-8'
    ? [Buffer.from('alias jose jose@example.org\r\nnote jose <name:José Müller>Grüße € 5\r\n')]
    : [crlf([`alias jose jose@example.org`, `note jose <name:${name}>${note}`])];
  return Buffer.concat([...head, crlf(['alias ann ann@example.org', 'note ann <phone:555-0100>'])]);
}

const cases = [
  { name: 'sample', byKeyboard: true, books: { 'nndbase.txt': fs.readFileSync(path.join(__dirname, '../../examples/nndbase.txt')) } },
  ...['windows-1252', 'iso-8859-1', 'macintosh', 'utf-8'].map((charset) => ({
    name: 'charset ' + charset, charset, books: { 'people.txt': charsetBook(charset) },
  })),
  {
    name: 'lists',
    books: {
      'lists.txt': crlf([
        'alias ann ann@example.org', 'alias bob Bob <bob@example.org>',
        'alias pair ann, bob', 'note pair <name:The pair>Both of them',
        'alias all pair, carol@example.org', 'alias loop loop, ann',
        'alias "Quoted Name" q@example.org, ann', 'note "Quoted Name" <name:Q <&> R>',
      ]),
    },
  },
  {
    // Big enough for the run to show its progress while the worker works
    // (about 150 ms for the page here; a line every 50 ms at most).
    name: 'big',
    watchProgress: true,
    books: {
      'big.txt': crlf(Array.from({ length: 32000 }, (_, i) =>
        `alias n${i} N${i} <n${i}@example.org>\r\nnote n${i} <name:N ${i}><phone:555-${i}>`)),
    },
  },
  {
    // Its last alias line has no address: the page run reports the failure
    // under ExtractNickname and makes no page.
    name: 'failing',
    books: { 'failing.txt': crlf(['alias ann ann@example.org', 'alias lonely']) },
  },
  {
    // A file that is no book: made, but warned of (the page run's warning
    // is the browser edition's alone).
    name: 'not a book',
    books: { 'letter.txt': crlf(['Dear Ann,', 'the books are on the shelf.']) },
  },
  {
    name: 'folder',
    folder: 'Eudora',
    books: {
      'Eudora/NNdbase.txt': crlf(['alias ann ann@example.org', 'note ann <name:Ann Lee>']),
      'Eudora/Nickname/friends.txt': crlf(['alias bob bob@example.org', 'alias cid cid@example.org']),
      'Eudora/Nickname/work.txt': crlf(['alias dee dee@example.org, bob@example.org']),
    },
    ignored: { 'Eudora/In.mbx': 'From ???@??? Mon Jan 01\r\n', 'Eudora/Nickname/notes.doc': 'x' },
  },
];

// ---- the command line's answers ---------------------------------------------

// The date both give the page: the browser's local date, noon UTC of it.
function epochOf(date) {
  return String(Date.UTC(date.year, date.month - 1, date.day, 12) / 1000);
}

function native(dir, books, product, charset, date) {
  const args = [...products[product]];
  if (product !== 'page' && charset) args.push('--charset', charset);
  const before = new Set(listFiles(dir));
  const run = spawnSync(convert, [...args, '--', ...books], {
    cwd: dir, env: { ...process.env, SOURCE_DATE_EPOCH: epochOf(date) }, encoding: 'latin1',
  });
  const made = listFiles(dir).filter((file) => !before.has(file));
  const files = {};
  for (const file of made) {
    files[path.basename(file)] = fs.readFileSync(path.join(dir, file));
    fs.unlinkSync(path.join(dir, file));
  }
  const text = (t) => Buffer.from(t, 'latin1').toString('utf8').replace(/\r\n/g, '\n').replace(/\n$/, '');
  return { exit: run.status, status: text(run.stdout), messages: text(run.stderr), files };
}

function listFiles(dir, prefix = '') {
  return fs.readdirSync(path.join(dir, prefix), { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? listFiles(dir, path.join(prefix, entry.name)) : [path.join(prefix, entry.name)]);
}


// ---- the preview ---------------------------------------------------------------

const pages = new Set(['page', 'html']);

// The set the command line reads `book` in (its export's report names it),
// which the documented page, a copy of the book's bytes, is in too.
function bookCharset(dir, book, charset) {
  const out = path.join(dir, 'charset-probe.csv');
  const run = spawnSync(convert, ['--export', 'csv', '-o', out, ...(charset ? ['--charset', charset] : []),
    '--', book], { cwd: dir, encoding: 'utf8' });
  fs.rmSync(out, { force: true });
  const named = /\(.*, ([^,()]+)\): \d+ contacts? and/.exec(run.stdout);
  return named ? named[1] : null;
}

// The browser's own name for a set it decodes a page in.
const decoderName = { 'utf-8': 'UTF-8', 'windows-1252': 'windows-1252', 'iso-8859-1': 'windows-1252',
  macintosh: 'macintosh' };

async function previewFrame(page) {
  await page.waitForFunction(() => {
    const frame = document.getElementById('preview');
    return !frame.hidden && frame.src !== '';
  }, { timeout: 30000 });
  const handle = await page.$('#preview');
  const frame = await handle.contentFrame();
  const src = await page.evaluate(() => document.getElementById('preview').src);
  await frame.waitForFunction((url) => document.URL === url && document.readyState === 'complete',
    { timeout: 30000 }, src);
  return frame;
}

// The preview shows the page made, read in the set its bytes are in
// (`charset`, the first book's): the accented name of a charset book reads
// as it was written.
async function checkPreview(page, label, test, product, charset) {
  const big = await page.evaluate(() => !document.getElementById('show-preview').hidden);
  if (big) return;
  const frame = await previewFrame(page);
  // The text as it stands, not as laid out: the page of today lays out
  // only the entries near the view.
  const shown = await frame.evaluate(() => ({ charset: document.characterSet, text: document.body.textContent }));
  const wanted = product === 'html' ? 'UTF-8' : decoderName[charset];
  check(shown.charset === wanted, `${label}: preview read as ${shown.charset}, not ${wanted}`);
  if (test.charset) {
    check(shown.text.includes('Jos\u00e9 M\u00fcller'),
      `${label}: the preview shows ${JSON.stringify(shown.text.slice(0, 200))}`);
  }
  if (product === 'html') {
    // The page of today with its style, which the page's policy must
    // allow as well as the preview's own.
    const styled = await frame.evaluate(() => [...document.querySelectorAll('style')]
      .every((style) => style.sheet !== null && style.sheet.cssRules.length > 0));
    check(styled, `${label}: the page of today is shown without its style`);
  }
}

// ---- the browser -------------------------------------------------------------

const { check, finish } = require('./checks.js');

// The browser's local date, which the page gives its runs.
function today(page) {
  return page.evaluate(() => {
    const now = new Date();
    return { year: now.getFullYear(), month: now.getMonth() + 1, day: now.getDate() };
  });
}

// Until `count` downloads have completed, or 30 s have passed.
async function downloaded(downloads, count) {
  for (let wait = 0; downloads.length < count && wait < 300; wait += 1) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

function firstDifference(a, b) {
  let i = 0;
  while (i < a.length && i < b.length && a[i] === b[i]) i += 1;
  return `${a.length} vs ${b.length} bytes, first difference at ${i}: ` +
    JSON.stringify(a.subarray(Math.max(0, i - 20), i + 20).toString('latin1')) + ' vs ' +
    JSON.stringify(b.subarray(Math.max(0, i - 20), i + 20).toString('latin1'));
}

async function openPage(browser, url, downloads, viewport) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  // Before the page's own script: downloads the page starts by itself are
  // counted; the clock its announcements follow is the test's; each worker
  // it starts is kept, so that the test can hand the page a counted
  // sequence of progress messages. And the test's helpers in the page:
  // `whenWorking(act)` acts the moment a run has started, `drop(transfer)`
  // drops on the zone, `inView(element)` tells whether it is whole in view,
  // `seen()` reads what the page shows.
  await page.evaluateOnNewDocument(() => {
    window.whenWorking = (act) => {
      const status = document.getElementById('status');
      const observer = new MutationObserver(() => {
        if (status.textContent !== 'Working...') return;
        observer.disconnect();
        act();
      });
      observer.observe(status, { childList: true, characterData: true, subtree: true });
    };
    // A drop on the zone of what `dataTransfer` holds.
    window.drop = (dataTransfer) => {
      const drop = new Event('drop', { bubbles: true, cancelable: true });
      Object.defineProperty(drop, 'dataTransfer', { value: dataTransfer });
      document.getElementById('drop').dispatchEvent(drop);
    };
    window.inView = (element) => {
      const box = element.getBoundingClientRect();
      return box.height > 0 && box.top >= 0 && box.bottom <= window.innerHeight && box.left >= 0 &&
        box.right <= window.innerWidth;
    };
    window.seen = () => {
      const $ = (id) => document.getElementById(id);
      const active = document.activeElement || {};
      const buttons = [...document.querySelectorAll('#products button')];
      return {
        status: $('status').textContent,
        chosen: $('chosen').textContent,
        messages: $('messages').hidden ? '' : $('messages-text').textContent,
        warnings: [...document.querySelectorAll('#warnings-list li')].map((li) => li.textContent),
        links: [...document.querySelectorAll('#results-list a')].map((a) => a.download),
        enabled: buttons.filter((button) => !button.disabled).length,
        disabled: buttons.filter((button) => button.disabled).length,
        preview: !$('preview-section').hidden,
        // The focus: a link by its file, a product's button by its product,
        // else by its id.
        focused: active.download || (active.dataset && active.dataset.product) || active.id,
        started: window.startedDownloads,
      };
    };
    window.startedDownloads = 0;
    const click = HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click = function counted() {
      if (this.hasAttribute('download')) window.startedDownloads += 1;
      return click.call(this);
    };
    window.testClock = null;
    const now = performance.now.bind(performance);
    performance.now = () => (window.testClock === null ? now() : window.testClock);
    const Real = window.Worker;
    window.workers = [];
    window.Worker = class Kept extends Real {
      constructor(...args) {
        super(...args);
        window.workers.push(this);
      }
    };
  });
  const requests = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('console', (message) => {
    check(!/Refused to|Content Security Policy/.test(message.text()), 'console: ' + message.text());
  });
  page.on('pageerror', (error) => check(false, 'page error: ' + error.message));
  // Downloads are kept under their ids, so that two of one name stay apart.
  const session = await browser.target().createCDPSession();
  const pending = new Map();
  session.on('Browser.downloadWillBegin', ({ guid, suggestedFilename }) =>
    pending.set(guid, { name: suggestedFilename }));
  session.on('Browser.downloadProgress', ({ guid, state }) => {
    if (state === 'completed') downloads.push({ ...pending.get(guid), file: path.join(downloads.dir, guid) });
  });
  await session.send('Browser.setDownloadBehavior',
    { behavior: 'allowAndName', downloadPath: downloads.dir, eventsEnabled: true });
  await page.goto(url);
  await page.waitForSelector('body[data-ready=true]', { timeout: 30000 });
  return { page, requests };
}

async function runCase(page, downloads, dir, test, product, made) {
  // A folder's books are found by the worker: the choice waits for the page to list them.
  await choose(page, test.folder ? [path.join(dir, test.folder)]
    : Object.keys(test.books).map((name) => path.join(dir, name)), test.folder ? '#folder' : '#books');
  await page.select('#charset', test.charset || 'auto');
  const charsets = {};
  for (const book of Object.keys(test.books)) charsets[book] = bookCharset(dir, book, test.charset);
  const date = await today(page);
  downloads.length = 0;
  await page.evaluate(() => {
    window.startedDownloads = 0;
    // Every status line shown until the run ends.
    window.statusLines = [];
    const status = document.getElementById('status');
    new MutationObserver(() => window.statusLines.push(status.textContent))
      .observe(status, { childList: true, characterData: true, subtree: true });
  });
  if (test.byKeyboard) {
    // Tab from the first control of the page to the button, then Enter.
    await page.focus('#pick-books');
    for (let i = 0; i < 20; i += 1) {
      await page.keyboard.press('Tab');
      if (await page.evaluate((id) => document.activeElement.dataset.product === id, product)) break;
    }
    check(await page.evaluate((id) => document.activeElement.dataset.product === id, product),
      `${test.name} / ${product}: Tab does not reach the button`);
    await page.keyboard.press('Enter');
  } else {
    await page.click(`button[data-product=${product}]`);
  }
  await page.waitForSelector(`body[data-made="${made}"]`, { timeout: 60000 });
  const shown = await page.evaluate(() => window.seen());
  const label = `${test.name} / ${product}`;
  if (test.watchProgress && product === 'page') {
    const lines = await page.evaluate(() => window.statusLines);
    check(lines[0] === 'Working...' && lines.some((line) => /^Converted +\d+ of +\d+ \.\.\.$/.test(line)),
      `${label}: no progress shown while the worker ran: ${JSON.stringify(lines.slice(0, 3))}`);
  }
  // The page of each book; one export of them all, of a folder as a folder.
  const names = Object.keys(test.books).sort();
  const runs = product === 'page' ? names.map((book) => [book])
    : [test.folder ? [test.folder] : names];
  const expected = runs.map((books) =>
    ({ book: books.join(', '), ...native(dir, books, product, test.charset, date) }));
  const wanted = expected.reduce((count, run) => count + Object.keys(run.files).length, 0);
  // Nothing is saved until the user follows a link: the focused one, in
  // view, by Enter, then the others of this product.
  check(shown.started === 0, `${label}: the page started a download by itself`);
  if (wanted > 0) {
    const inView = await page.evaluate((id) => {
      const link = document.activeElement;
      return link.tagName === 'A' && link.dataset.product === id && window.inView(link);
    }, product);
    check(inView, `${label}: the focus is not on a link of the file made, in view`);
    await page.keyboard.press('Enter');
    const others = await page.$$(`#results-list a[data-product="${product}"]`);
    for (const link of others.slice(1)) await link.click();
  }
  await downloaded(downloads, wanted);
  check(downloads.length === wanted, `${label}: ${downloads.length} downloads, the command line made ${wanted}`);
  for (const run of expected) {
    for (const [name, bytes] of Object.entries(run.files)) {
      const got = downloads.find((download) => download.name === name);
      if (!check(got, `${label}: no download named ${name}`)) continue;
      const browserBytes = fs.readFileSync(got.file);
      check(browserBytes.equals(bytes), `${label}: ${name} differs: ${firstDifference(browserBytes, bytes)}`);
    }
  }
  // A failed run says so; a page names the set it is shown in.
  const statusOf = (run) => (run.exit !== 0 ? `Failed: nothing was made of ${run.book}.`
    : product === 'page' ? `${run.status}\nCharacter set: ${charsets[run.book]}` : run.status);
  check(shown.status === expected.map(statusOf).join('\n'),
    `${label}: status ${JSON.stringify(shown.status)} vs ${JSON.stringify(expected.map((r) => r.status))}`);
  const nativeMessages = [];
  const nativeWarnings = [];
  for (const run of expected) {
    const boxes = [];
    for (const line of run.messages.split('\n')) {
      if (line.startsWith('Warning: ')) nativeWarnings.push(run.book + ': ' + line.slice(9));
      else if (line !== '') boxes.push(line);
    }
    if (boxes.length) nativeMessages.push(boxes.join('\n'));
    // A page run of no entries is warned of, here only (the export warns everywhere).
    if (run.exit === 0 && /^Done\. +0 Nicknames/m.test(run.status)) {
      nativeWarnings.push(run.book + ': no contacts in it: is it a Eudora address book (nndbase.txt)?');
    }
  }
  check(shown.messages === nativeMessages.join('\n\n'),
    `${label}: messages ${JSON.stringify(shown.messages)} vs ${JSON.stringify(nativeMessages)}`);
  check(JSON.stringify(shown.warnings) === JSON.stringify(nativeWarnings),
    `${label}: warnings ${JSON.stringify(shown.warnings)} vs ${JSON.stringify(nativeWarnings)}`);
  if (wanted === 0) {
    check(shown.focused === 'messages' && shown.messages !== '',
      `${label}: nothing made, and the focus is on ${shown.focused}, not the report`);
  }
  // The preview is of the first page made: the first book's.
  if (pages.has(product) && wanted > 0) await checkPreview(page, label, test, product, charsets[runs[0][0]]);
  return { label, runs: expected.length, files: wanted };
}


// ---- what the page says and does around a run -----------------------------------

// Each on a page of its own, opened at this size.
const phone = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 1 };
const desktop = { width: 1280, height: 900 };

// Every change of a live region's text from now on, as a screen reader
// would be handed it.
async function watchAnnouncements(page) {
  await page.evaluate(() => {
    window.announced = [];
    const live = '[aria-live]:not([aria-live=off]), [role=status], [role=alert], [role=log], output:not([aria-live=off])';
    new MutationObserver((records) => {
      for (const record of records) {
        const node = record.target.nodeType === 1 ? record.target : record.target.parentElement;
        const region = node && node.closest(live);
        if (region) window.announced.push(region.textContent);
      }
    }).observe(document.body, { childList: true, characterData: true, subtree: true });
  });
}

async function choose(page, files, picker = '#books') {
  const choices = await page.evaluate(() => Number(document.body.dataset.chosen || 0));
  await (await page.$(picker)).uploadFile(...files);
  await page.waitForSelector(`body[data-chosen="${choices + 1}"]`, { timeout: 30000 });
}

// A book written into `dir` under `name` (the sample's bytes unless given),
// then chosen.
async function chooseBook(page, dir, name, bytes) {
  const book = path.join(dir, name);
  fs.writeFileSync(book, bytes || fs.readFileSync(path.join(__dirname, '../../examples/nndbase.txt')));
  await choose(page, [book]);
  return book;
}

async function press(page, product) {
  const made = await page.evaluate(() => Number(document.body.dataset.made || 0));
  await page.click(`button[data-product=${product}]`);
  await page.waitForSelector(`body[data-made="${made + 1}"]`, { timeout: 60000 });
}

const seen = (page) => page.evaluate(() => window.seen());

// What runCase checks of every run (its status, report and the focus on it,
// the links, that Enter on the focused one saves it and that the page saves
// nothing by itself, that Tab reaches each button) is not checked again here.
const scenarios = [
  {
    // The report of a failure in view at a phone's width, and said to a
    // screen reader once.
    name: 'failed run', viewport: phone,
    async run(page, dir) {
      await chooseBook(page, dir, 'failing.txt', crlf(['alias ann ann@example.org', 'alias lonely']));
      await page.evaluate(() => window.scrollTo(0, 0));
      await watchAnnouncements(page);
      await press(page, 'page');
      const inView = await page.evaluate(() => window.inView(document.querySelector('#messages h2')));
      check(inView, 'failed run: the report is out of view at a phone\'s width');
      const told = (await page.evaluate(() => window.announced)).filter((text) => /Failed|ExtractNickname/.test(text));
      check(told.length === 1, `failed run: the failure announced ${told.length} times: ${JSON.stringify(told)}`);
    },
  },
  {
    // A folder with no nickname file: said, and nothing to make.
    name: 'folder without a book',
    async run(page, dir) {
      fs.mkdirSync(path.join(dir, 'Mail'));
      fs.writeFileSync(path.join(dir, 'Mail', 'In.mbx'), 'From ???@??? Mon Jan 01\r\n');
      await choose(page, [path.join(dir, 'Mail')], '#folder');
      const { chosen, enabled } = await seen(page);
      check(chosen === 'No address book found there.' && enabled === 0,
        `folder without a book: ${JSON.stringify(chosen)}, ${enabled} products enabled`);
    },
  },
  {
    // A dropped folder Chromium cannot list: the error said where the choice is.
    name: 'unreadable drop',
    async run(page) {
      const chosen = await page.evaluate(() => Number(document.body.dataset.chosen || 0));
      await page.evaluate(() => {
        const folder = {
          isFile: false, isDirectory: true, name: 'Locked', fullPath: '/Locked',
          createReader: () => ({
            readEntries: (ok, fail) => fail(new DOMException('A URI supplied to the API was malformed.', 'EncodingError')),
          }),
        };
        window.drop({ items: [{ webkitGetAsEntry: () => folder }], files: [] });
      });
      await page.waitForSelector(`body[data-chosen="${chosen + 1}"]`, { timeout: 30000 });
      const said = (await seen(page)).chosen;
      check(/Locked could not be read \(EncodingError/.test(said), `unreadable drop: ${JSON.stringify(said)}`);
    },
  },
  {
    // A counted sequence of 100 progress lines, 100 ms apart on the page's
    // clock: shown each, announced at most once a second (10 times).
    name: 'progress announced',
    async run(page, dir) {
      await chooseBook(page, dir, 'people.txt', charsetBook('windows-1252'));
      await watchAnnouncements(page);
      await page.evaluate(() => {
        window.testClock = 0;
        window.whenWorking(() => {
          const status = document.getElementById('status');
          window.announced.length = 0;
          window.shown = 0;
          const worker = window.workers[window.workers.length - 1];
          for (let i = 1; i <= 100; i += 1) {
            window.testClock += 100;
            worker.onmessage({ data: { kind: 'progress', text: `Converted ${i} of 100 ...` } });
            if (status.textContent === `Converted ${i} of 100 ...`) window.shown += 1;
          }
        });
      });
      await press(page, 'page');
      const { shown, announced } = await page.evaluate(() => ({ shown: window.shown, announced: window.announced }));
      await page.evaluate(() => { window.testClock = null; });
      const progress = announced.filter((text) => /^Converted \d+ of 100/.test(text));
      check(shown === 100, `progress announced: ${shown} of 100 lines shown`);
      check(progress.length >= 1 && progress.length <= 10,
        `progress announced ${progress.length} times over 10 s of the page's clock`);
    },
  },
  {
    // Cancel pressed as the run starts: no link, no preview, the page ready
    // for the next run, which alone is reported and makes its file whole.
    name: 'cancel',
    async run(page, dir, downloads) {
      await chooseBook(page, dir, 'big.txt',
        crlf(Array.from({ length: 4000 }, (_, i) => `alias n${i} N${i} <n${i}@example.org>`)));
      await page.evaluate(() => window.whenWorking(() => document.getElementById('cancel').click()));
      await page.click('button[data-product=page]');
      await page.waitForSelector('body[data-cancelled]', { timeout: 30000 });
      const now = await seen(page);
      check(/^Cancelled/.test(now.status), `cancel: the status says ${JSON.stringify(now.status)}`);
      check(now.links.length === 0 && !now.preview, `cancel: ${now.links.length} links, preview shown: ${now.preview}`);
      check(now.disabled === 0 && now.focused === 'page', 'cancel: the products are not ready again');
      downloads.length = 0;
      await press(page, 'csv');
      await page.keyboard.press('Enter');
      await downloaded(downloads, 1);
      const { links } = await seen(page);
      check(JSON.stringify(links) === '["big.csv"]', `cancel: then the links ${JSON.stringify(links)}`);
      const expected = native(dir, ['big.txt'], 'csv', null, await today(page)).files['big.csv'];
      if (check(downloads.length === 1 && downloads[0].name === 'big.csv',
        `cancel: downloads ${JSON.stringify(downloads.map((d) => d.name))}`)) {
        const got = fs.readFileSync(downloads[0].file);
        check(got.equals(expected), `cancel: big.csv after it: ${firstDifference(got, expected)}`);
      }
    },
  },
  {
    // A book dropped while a run works leaves the run's books chosen, and
    // the file made is theirs.
    name: 'drop while working',
    async run(page, dir) {
      await chooseBook(page, dir, 'one.txt', crlf(['alias ann ann@example.org']));
      await page.evaluate(() => window.whenWorking(() =>
        window.drop({ items: [], files: [new File(['alias bob bob@example.org\r\n'], 'other.txt')] })));
      await press(page, 'csv');
      const { chosen, links } = await seen(page);
      check(/one\.txt$/.test(chosen) && JSON.stringify(links) === '["one.csv"]',
        `drop while working: ${JSON.stringify({ chosen, links })}`);
    },
  },
  {
    // The set chosen outlives a reload; the links of each product made stay
    // until other books are chosen.
    name: 'kept',
    async run(page, dir) {
      await page.select('#charset', 'macintosh');
      await page.reload();
      await page.waitForSelector('body[data-ready=true]', { timeout: 30000 });
      const kept = await page.evaluate(() => document.getElementById('charset').value);
      check(kept === 'macintosh', `kept: the character set after a reload is ${kept}`);
      await page.select('#charset', 'auto');
      await chooseBook(page, dir, 'one.txt', crlf(['alias ann ann@example.org']));
      for (const product of ['csv', 'vcard', 'csv']) await press(page, product);
      const links = (await seen(page)).links.sort();
      check(JSON.stringify(links) === '["one.csv","one.vcf"]', `kept: links ${JSON.stringify(links)}`);
      await chooseBook(page, dir, 'two.txt', crlf(['alias bob bob@example.org']));
      const after = (await seen(page)).links.length;
      check(after === 0, `kept: ${after} links of the earlier book after choosing another`);
    },
  },
  {
    // At a desktop's width: the page of today made and shown.
    name: 'page of today', viewport: desktop,
    async run(page, dir) {
      await chooseBook(page, dir, 'nndbase.txt');
      await press(page, 'html');
      const shown = await (await previewFrame(page)).evaluate(() => document.body.textContent);
      check(/Ann Lee/.test(shown) && /Carla Ruiz/.test(shown), `page of today: the preview shows ${JSON.stringify(shown.slice(0, 100))}`);
    },
  },
  {
    // At a phone's width, in dark: the file made is a link in view with the
    // focus, and the page does not scroll sideways.
    name: 'save at a phone\'s width', viewport: phone,
    async run(page, dir) {
      await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
      await chooseBook(page, dir, 'nndbase.txt');
      await press(page, 'vcard');
      const { focused } = await seen(page);
      const inView = await page.evaluate(() => window.inView(document.activeElement));
      check(focused === 'nndbase.vcf' && inView, `save: the focus is on ${JSON.stringify(focused)}, in view: ${inView}`);
      const wide = await page.evaluate(() => document.documentElement.scrollWidth > window.innerWidth);
      check(!wide, 'save: the page scrolls sideways at a phone\'s width');
    },
  },
];

// A server of the one file, recording every request it gets.
function serve(file) {
  const requests = [];
  const server = http.createServer((request, response) => {
    requests.push(request.url);
    if (request.url === '/' + path.basename(file)) {
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      response.end(fs.readFileSync(file));
    } else {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({ server, requests })));
}

// No request may leave the page but for the page itself.
function checkStayed(label, requests, origin) {
  const away = requests.filter((url) => !url.startsWith('blob:') && !url.startsWith('data:') &&
    !origin.allowed(url));
  check(away.length === 0, `${label}: requests left the page: ${away.join(', ')}`);
}

async function main() {
  const only = process.argv.indexOf('--only');
  const selected = only > 0 ? cases.filter((test) => test.name === process.argv[only + 1]) : cases;
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'veltrana-web-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  const { server, requests: served } = await serve(html);
  try {
    const file = path.resolve(html);
    const origins = [
      { name: 'file://', url: 'file://' + file, allowed: (url) => url === 'file://' + file },
      {
        name: 'http://127.0.0.1',
        url: `http://127.0.0.1:${server.address().port}/${path.basename(file)}`,
        allowed: (url) => url === `http://127.0.0.1:${server.address().port}/${path.basename(file)}`,
      },
    ];
    for (const origin of origins) {
      const downloads = [];
      downloads.dir = fs.mkdtempSync(path.join(work, 'downloads-'));
      const { page, requests } = await openPage(browser, origin.url, downloads);
      let made = 0;
      for (const test of selected) {
        const dir = fs.mkdtempSync(path.join(work, 'case-'));
        for (const [name, bytes] of Object.entries({ ...test.books, ...(test.ignored || {}) })) {
          fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
          fs.writeFileSync(path.join(dir, name), bytes);
        }
        for (const product of Object.keys(products)) {
          made += 1;
          const done = await runCase(page, downloads, dir, test, product, made);
          console.log(`${origin.name}: ${done.label}: ${done.runs} book(s), ${done.files} file(s) compared`);
        }
      }
      checkStayed(origin.name, requests, origin);
      await page.close();
    }
    // The page around its runs, from file://, each on a page of its own; each
    // state it ends in checked by axe-core, and photographed when asked
    // (VELTRANA_WEB_SCREENSHOTS, a folder).
    const shots = process.env.VELTRANA_WEB_SCREENSHOTS;
    for (const { name, viewport, run } of scenarios.filter((one) => only < 0 || one.name === process.argv[only + 1])) {
      const downloads = [];
      downloads.dir = fs.mkdtempSync(path.join(work, 'downloads-'));
      const { page, requests } = await openPage(browser, origins[0].url, downloads, viewport || desktop);
      await run(page, fs.mkdtempSync(path.join(work, 'scenario-')), downloads);
      checkStayed(name, requests, origins[0]);
      await axe(page, name);
      if (shots) {
        fs.mkdirSync(shots, { recursive: true });
        // A frame out of view is left blank in a whole page's picture: the
        // preview is taken in view, once Chromium, which draws a frame it
        // brings into view a little later, has drawn it (for the picture
        // only: nothing is checked on it).
        const shot = path.join(shots, name.replace(/\W+/g, '-'));
        if (await page.evaluate(() => !document.getElementById('preview-section').hidden)) {
          await page.evaluate(() => document.getElementById('preview').scrollIntoView());
          await new Promise((drawn) => setTimeout(drawn, 500));
          await page.screenshot({ path: shot + '-preview.png' });
        }
        await page.screenshot({ path: shot + '.png', fullPage: true });
      }
      await page.close();
      console.log(`file://: ${name}: checked`);
    }
    check(JSON.stringify(served) === JSON.stringify(['/' + path.basename(html)]),
      `the server was asked for ${JSON.stringify(served)}, not the page alone`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  finish('all products as the command line makes them');
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
