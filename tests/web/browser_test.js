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
let pageCharset = () => null;

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

// The preview shows the page made, read in the set its bytes are in: the
// accented name of a charset book reads as it was written.
async function checkPreview(page, label, test, product) {
  const big = await page.evaluate(() => !document.getElementById('show-preview').hidden);
  if (big) return;
  const frame = await previewFrame(page);
  // The text as it stands, not as laid out: the page of today lays out
  // only the entries near the view.
  const shown = await frame.evaluate(() => ({ charset: document.characterSet, text: document.body.textContent }));
  const wanted = product === 'html' ? 'UTF-8' : decoderName[pageCharset(test)];
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
  // sequence of progress messages.
  await page.evaluateOnNewDocument(() => {
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
  const picker = test.folder ? '#folder' : '#books';
  const input = await page.$(picker);
  const chosen = test.folder ? [path.join(dir, test.folder)]
    : Object.keys(test.books).map((name) => path.join(dir, name));
  const choices = await page.evaluate(() => Number(document.body.dataset.chosen || 0));
  await input.uploadFile(...chosen);
  // A folder's books are found by the worker: wait for the page to list them.
  await page.waitForSelector(`body[data-chosen="${choices + 1}"]`, { timeout: 30000 });
  await page.select('#charset', test.charset || 'auto');
  pageCharset = () => null;
  const charsets = {};
  for (const book of Object.keys(test.books)) charsets[book] = bookCharset(dir, book, test.charset);
  const date = await page.evaluate(() => {
    const today = new Date();
    return { year: today.getFullYear(), month: today.getMonth() + 1, day: today.getDate() };
  });
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
  const shown = await page.evaluate(() => ({
    status: document.getElementById('status').textContent,
    messages: document.getElementById('messages').hidden ? ''
      : document.getElementById('messages-text').textContent,
    warnings: [...document.querySelectorAll('#warnings-list li')].map((li) => li.textContent),
    links: [...document.querySelectorAll('#results-list a')].map((a) => a.download),
    focused: document.activeElement ? document.activeElement.tagName : '',
    messagesShown: !document.getElementById('messages').hidden,
  }));
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
  check(await page.evaluate(() => window.startedDownloads) === 0,
    `${label}: the page started a download by itself`);
  if (wanted > 0) {
    const inView = await page.evaluate((id) => {
      const link = document.activeElement;
      const box = link.getBoundingClientRect();
      return link.tagName === 'A' && link.dataset.product === id && box.top >= 0 &&
        box.bottom <= window.innerHeight && box.left >= 0 && box.right <= window.innerWidth;
    }, product);
    check(inView, `${label}: the focus is not on a link of the file made, in view`);
    await page.keyboard.press('Enter');
    const others = await page.$$(`#results-list a[data-product="${product}"]`);
    for (const link of others.slice(1)) await link.click();
  }
  const waitForDownloads = async (tenths) => {
    for (let wait = 0; downloads.length < wanted && wait < tenths; wait += 1) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  };
  await waitForDownloads(300);
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
    check(shown.focused === 'SECTION' && shown.messagesShown,
      `${label}: nothing made, and the focus is not on the report`);
  }
  // The preview is of the first page made: the first book's.
  pageCharset = () => charsets[runs[0][0]];
  if (pages.has(product) && wanted > 0) await checkPreview(page, label, test, product);
  return { label, runs: expected.length, files: wanted };
}


// ---- what the page says and does around a run -----------------------------------

const phone = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 1 };

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

async function madeCount(page) {
  return page.evaluate(() => Number(document.body.dataset.made || 0));
}

async function press(page, product) {
  const made = await madeCount(page);
  await page.click(`button[data-product=${product}]`);
  await page.waitForSelector(`body[data-made="${made + 1}"]`, { timeout: 60000 });
}

const inViewport = (selector) => {
  const box = document.querySelector(selector).getBoundingClientRect();
  return box.height > 0 && box.top >= 0 && box.bottom <= window.innerHeight && box.left >= 0 &&
    box.right <= window.innerWidth;
};

const scenarios = {
  // At a phone's width: the failure said in the status line, the report in
  // view with the focus on it, and said to a screen reader once.
  async 'failed run'(page, dir) {
    const book = path.join(dir, 'failing.txt');
    fs.writeFileSync(book, crlf(['alias ann ann@example.org', 'alias lonely']));
    await choose(page, [book]);
    await page.evaluate(() => window.scrollTo(0, 0));
    await watchAnnouncements(page);
    await press(page, 'page');
    const seen = await page.evaluate((inView) => ({
      status: document.getElementById('status').textContent,
      report: document.getElementById('messages-text').textContent,
      focused: document.activeElement.id,
      inView: new Function('return ' + inView)()('#messages h2'),
      announced: window.announced,
    }), inViewport.toString());
    check(/^Failed/.test(seen.status), `failed run: the status says ${JSON.stringify(seen.status)}`);
    check(/ExtractNickname/.test(seen.report), `failed run: the report is ${JSON.stringify(seen.report)}`);
    check(seen.focused === 'messages', `failed run: the focus is on #${seen.focused}, not the report`);
    check(seen.inView, 'failed run: the report is out of view at a phone\'s width');
    const told = seen.announced.filter((text) => /Failed|ExtractNickname/.test(text));
    check(told.length === 1, `failed run: the failure announced ${told.length} times: ${JSON.stringify(told)}`);
  },

  // A folder with no nickname file: said, and nothing to make.
  async 'folder without a book'(page, dir) {
    fs.mkdirSync(path.join(dir, 'Mail'));
    fs.writeFileSync(path.join(dir, 'Mail', 'In.mbx'), 'From ???@??? Mon Jan 01\r\n');
    await choose(page, [path.join(dir, 'Mail')], '#folder');
    const seen = await page.evaluate(() => ({
      chosen: document.getElementById('chosen').textContent,
      enabled: [...document.querySelectorAll('#products button')].filter((b) => !b.disabled).length,
    }));
    check(seen.chosen === 'No address book found there.', `folder without a book: ${JSON.stringify(seen.chosen)}`);
    check(seen.enabled === 0, `folder without a book: ${seen.enabled} products enabled`);
  },

  // A dropped folder Chromium cannot list: the error said where the choice is.
  async 'unreadable drop'(page) {
    const chosen = await page.evaluate(() => Number(document.body.dataset.chosen || 0));
    await page.evaluate(() => {
      const folder = {
        isFile: false, isDirectory: true, name: 'Locked', fullPath: '/Locked',
        createReader: () => ({
          readEntries: (ok, fail) => fail(new DOMException('A URI supplied to the API was malformed.', 'EncodingError')),
        }),
      };
      const drop = new Event('drop', { bubbles: true, cancelable: true });
      Object.defineProperty(drop, 'dataTransfer', {
        value: { items: [{ webkitGetAsEntry: () => folder }], files: [] },
      });
      document.getElementById('drop').dispatchEvent(drop);
    });
    await page.waitForSelector(`body[data-chosen="${chosen + 1}"]`, { timeout: 30000 });
    const said = await page.evaluate(() => document.getElementById('chosen').textContent);
    check(/Locked could not be read \(EncodingError/.test(said), `unreadable drop: ${JSON.stringify(said)}`);
  },

  // A counted sequence of 100 progress lines, 100 ms apart on the page's
  // clock: shown each, announced at most once a second (10 times).
  async 'progress announced'(page, dir) {
    const book = path.join(dir, 'people.txt');
    fs.writeFileSync(book, charsetBook('windows-1252'));
    await choose(page, [book]);
    await watchAnnouncements(page);
    await page.evaluate(() => {
      window.testClock = 0;
      const status = document.getElementById('status');
      const observer = new MutationObserver(() => {
        if (status.textContent !== 'Working...') return;
        observer.disconnect();
        window.announced.length = 0;
        window.shown = 0;
        const worker = window.workers[window.workers.length - 1];
        for (let i = 1; i <= 100; i += 1) {
          window.testClock += 100;
          worker.onmessage({ data: { kind: 'progress', text: `Converted ${i} of 100 ...` } });
          if (status.textContent === `Converted ${i} of 100 ...`) window.shown += 1;
        }
      });
      observer.observe(status, { childList: true, characterData: true, subtree: true });
    });
    await press(page, 'page');
    const seen = await page.evaluate(() => ({ shown: window.shown, announced: window.announced }));
    await page.evaluate(() => { window.testClock = null; });
    const progress = seen.announced.filter((text) => /^Converted \d+ of 100/.test(text));
    check(seen.shown === 100, `progress announced: ${seen.shown} of 100 lines shown`);
    check(progress.length >= 1 && progress.length <= 10,
      `progress announced ${progress.length} times over 10 s of the page's clock`);
  },

  // Cancel pressed as the run starts: no link, no download, the page ready
  // for the next run, which makes its file whole.
  async cancel(page, dir, downloads) {
    const book = path.join(dir, 'big.txt');
    fs.writeFileSync(book, crlf(Array.from({ length: 4000 }, (_, i) => `alias n${i} N${i} <n${i}@example.org>`)));
    await choose(page, [book]);
    const made = await madeCount(page);
    downloads.length = 0;
    await page.evaluate(() => {
      const status = document.getElementById('status');
      const observer = new MutationObserver(() => {
        if (status.textContent !== 'Working...') return;
        observer.disconnect();
        document.getElementById('cancel').click();
      });
      observer.observe(status, { childList: true, characterData: true, subtree: true });
      window.startedDownloads = 0;
    });
    await page.click('button[data-product=page]');
    await page.waitForSelector('body[data-cancelled]', { timeout: 30000 });
    const seen = await page.evaluate(() => ({
      status: document.getElementById('status').textContent,
      links: document.querySelectorAll('#results-list a').length,
      preview: !document.getElementById('preview-section').hidden,
      enabled: [...document.querySelectorAll('#products button')].every((b) => !b.disabled),
      focused: document.activeElement.dataset.product,
    }));
    check(/^Cancelled/.test(seen.status), `cancel: the status says ${JSON.stringify(seen.status)}`);
    check(seen.links === 0 && !seen.preview, `cancel: ${seen.links} links, preview shown: ${seen.preview}`);
    check(seen.enabled && seen.focused === 'page', 'cancel: the products are not ready again');
    // The next run is the only one the page reports: the cancelled one's
    // end, had it come, would count as well.
    await page.click('button[data-product=csv]');
    await page.waitForSelector(`body[data-made="${made + 1}"]`, { timeout: 60000 });
    await page.keyboard.press('Enter');
    for (let wait = 0; downloads.length < 1 && wait < 300; wait += 1) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    const links = await page.evaluate(() => [...document.querySelectorAll('#results-list a')].map((a) => a.download));
    check(JSON.stringify(links) === '["big.csv"]', `cancel: then the links ${JSON.stringify(links)}`);
    check(await page.evaluate(() => window.startedDownloads) === 0 && downloads.length === 1 &&
      downloads[0].name === 'big.csv', `cancel: downloads ${JSON.stringify(downloads.map((d) => d.name))}`);
    const expected = native(dir, ['big.txt'], 'csv', null, await page.evaluate(() => {
      const today = new Date();
      return { year: today.getFullYear(), month: today.getMonth() + 1, day: today.getDate() };
    })).files['big.csv'];
    if (downloads.length === 1) {
      const got = fs.readFileSync(downloads[0].file);
      check(got.equals(expected), `cancel: big.csv after it: ${firstDifference(got, expected)}`);
    }
  },

  // A book dropped while a run works leaves the run's books chosen, and the
  // file made is theirs.
  async 'drop while working'(page, dir) {
    const book = path.join(dir, 'one.txt');
    fs.writeFileSync(book, crlf(['alias ann ann@example.org']));
    await choose(page, [book]);
    await page.evaluate(() => {
      const status = document.getElementById('status');
      const observer = new MutationObserver(() => {
        if (status.textContent !== 'Working...') return;
        observer.disconnect();
        const file = new File(['alias bob bob@example.org\r\n'], 'other.txt');
        const drop = new Event('drop', { bubbles: true, cancelable: true });
        Object.defineProperty(drop, 'dataTransfer', { value: { items: [], files: [file] } });
        document.getElementById('drop').dispatchEvent(drop);
      });
      observer.observe(status, { childList: true, characterData: true, subtree: true });
    });
    await press(page, 'csv');
    const seen = await page.evaluate(() => ({
      chosen: document.getElementById('chosen').textContent,
      links: [...document.querySelectorAll('#results-list a')].map((a) => a.download),
    }));
    check(/one\.txt$/.test(seen.chosen) && JSON.stringify(seen.links) === '["one.csv"]',
      `drop while working: ${JSON.stringify(seen)}`);
  },

  // The set chosen outlives a reload; the links of each product made stay
  // until other books are chosen.
  async 'kept'(page, dir) {
    await page.select('#charset', 'macintosh');
    await page.reload();
    await page.waitForSelector('body[data-ready=true]', { timeout: 30000 });
    const kept = await page.evaluate(() => document.getElementById('charset').value);
    check(kept === 'macintosh', `kept: the character set after a reload is ${kept}`);
    await page.select('#charset', 'auto');
    const one = path.join(dir, 'one.txt');
    const two = path.join(dir, 'two.txt');
    fs.writeFileSync(one, crlf(['alias ann ann@example.org']));
    fs.writeFileSync(two, crlf(['alias bob bob@example.org']));
    await choose(page, [one]);
    for (const product of ['csv', 'vcard', 'csv']) await press(page, product);
    const links = await page.evaluate(() => [...document.querySelectorAll('#results-list a')].map((a) => a.download).sort());
    check(JSON.stringify(links) === '["one.csv","one.vcf"]', `kept: links ${JSON.stringify(links)}`);
    await choose(page, [two]);
    const after = await page.evaluate(() => document.querySelectorAll('#results-list a').length);
    check(after === 0, `kept: ${after} links of the earlier book after choosing another`);
  },

  // By keyboard alone at a desktop's width: the page of today made and shown.
  async 'page of today by keyboard'(page, dir) {
    const book = path.join(dir, 'nndbase.txt');
    fs.copyFileSync(path.join(__dirname, '../../examples/nndbase.txt'), book);
    await choose(page, [book]);
    const made = await madeCount(page);
    await page.focus('#pick-books');
    for (let i = 0; i < 20; i += 1) {
      await page.keyboard.press('Tab');
      if (await page.evaluate(() => document.activeElement.dataset.product === 'html')) break;
    }
    await page.keyboard.press('Enter');
    await page.waitForSelector(`body[data-made="${made + 1}"]`, { timeout: 60000 });
    const frame = await previewFrame(page);
    const shown = await frame.evaluate(() => document.body.textContent);
    check(/Ann Lee/.test(shown) && /Carla Ruiz/.test(shown), `page of today: the preview shows ${JSON.stringify(shown.slice(0, 100))}`);
  },

  // At a phone's width, in dark: the file made is a link in view with the
  // focus, Enter saves it, and nothing was started without the user.
  async 'save at a phone\'s width'(page, dir, downloads) {
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
    const book = path.join(dir, 'nndbase.txt');
    fs.copyFileSync(path.join(__dirname, '../../examples/nndbase.txt'), book);
    await choose(page, [book]);
    downloads.length = 0;
    await page.evaluate(() => { window.startedDownloads = 0; });
    await press(page, 'vcard');
    const seen = await page.evaluate((inView) => ({
      focused: document.activeElement.tagName === 'A' && document.activeElement.download,
      inView: new Function('return ' + inView)()('#results-list a'),
      started: window.startedDownloads,
      wide: document.documentElement.scrollWidth > window.innerWidth,
    }), inViewport.toString());
    check(seen.focused === 'nndbase.vcf' && seen.inView,
      `save: the focus is on ${JSON.stringify(seen.focused)}, in view: ${seen.inView}`);
    check(seen.started === 0, `save: the page started ${seen.started} download(s) by itself`);
    check(!seen.wide, 'save: the page scrolls sideways at a phone\'s width');
    await page.keyboard.press('Enter');
    for (let wait = 0; downloads.length < 1 && wait < 300; wait += 1) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    check(downloads.length === 1 && downloads[0].name === 'nndbase.vcf', 'save: Enter saved no file');
  },
};

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
      const away = requests.filter((url) => !url.startsWith('blob:') && !url.startsWith('data:') &&
        !origin.allowed(url));
      check(away.length === 0, `${origin.name}: requests left the page: ${away.join(', ')}`);
      await page.close();
    }
    // The page around its runs, from file://, each on a page of its own; each
    // state it ends in checked by axe-core, and photographed when asked
    // (VELTRANA_WEB_SCREENSHOTS, a folder).
    const names = Object.keys(scenarios).filter((name) => only < 0 || name === process.argv[only + 1]);
    const shots = process.env.VELTRANA_WEB_SCREENSHOTS;
    for (const name of names) {
      const downloads = [];
      downloads.dir = fs.mkdtempSync(path.join(work, 'downloads-'));
      const narrow = /phone|failed/.test(name);
      const { page, requests } = await openPage(browser, origins[0].url, downloads,
        narrow ? phone : { width: 1280, height: 900 });
      await scenarios[name](page, fs.mkdtempSync(path.join(work, 'scenario-')), downloads);
      const away = requests.filter((url) => !url.startsWith('blob:') && !url.startsWith('data:') &&
        !origins[0].allowed(url));
      check(away.length === 0, `${name}: requests left the page: ${away.join(', ')}`);
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
    check(JSON.stringify(served) === JSON.stringify(['/veltrana-1.0.html'.replace('veltrana-1.0.html', path.basename(html))]),
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
