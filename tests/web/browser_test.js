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

// The command line's arguments for each product, written out here rather
// than taken from the program, so that a wrong row in its table shows.
const products = {
  page: [],
  vcard: ['--export', 'vcard'],
  vcard4: ['--export', 'vcard4'],
  csv: ['--export', 'csv'],
  ldif: ['--export', 'ldif'],
  mutt: ['--export', 'mutt'],
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

// ---- the browser -------------------------------------------------------------

let failures = 0;
function check(ok, what) {
  if (!ok) {
    failures += 1;
    console.log('FAIL ' + what);
  }
  return ok;
}

function firstDifference(a, b) {
  let i = 0;
  while (i < a.length && i < b.length && a[i] === b[i]) i += 1;
  return `${a.length} vs ${b.length} bytes, first difference at ${i}: ` +
    JSON.stringify(a.subarray(Math.max(0, i - 20), i + 20).toString('latin1')) + ' vs ' +
    JSON.stringify(b.subarray(Math.max(0, i - 20), i + 20).toString('latin1'));
}

async function openPage(browser, url, downloads) {
  const page = await browser.newPage();
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
  const date = await page.evaluate(() => {
    const today = new Date();
    return { year: today.getFullYear(), month: today.getMonth() + 1, day: today.getDate() };
  });
  downloads.length = 0;
  await page.evaluate(() => {
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
  const waitForDownloads = async (tenths) => {
    for (let wait = 0; downloads.length < wanted && wait < tenths; wait += 1) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  };
  await waitForDownloads(100);
  if (downloads.length < wanted) {
    // Chromium may hold back a download the page starts by itself long after
    // the click; the links are what the user clicks then.
    console.log(`${label}: ${downloads.length} of ${wanted} downloads started; clicking the links`);
    downloads.length = 0;
    for (const link of await page.$$('#results-list a')) await link.click();
    await waitForDownloads(300);
  }
  check(downloads.length === wanted, `${label}: ${downloads.length} downloads, the command line made ${wanted}`);
  for (const run of expected) {
    for (const [name, bytes] of Object.entries(run.files)) {
      const got = downloads.find((download) => download.name === name);
      if (!check(got, `${label}: no download named ${name}`)) continue;
      const browserBytes = fs.readFileSync(got.file);
      check(browserBytes.equals(bytes), `${label}: ${name} differs: ${firstDifference(browserBytes, bytes)}`);
    }
  }
  check(shown.status === expected.map((run) => run.status).join('\n'),
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
  }
  check(shown.messages === nativeMessages.join('\n\n'),
    `${label}: messages ${JSON.stringify(shown.messages)} vs ${JSON.stringify(nativeMessages)}`);
  check(JSON.stringify(shown.warnings) === JSON.stringify(nativeWarnings),
    `${label}: warnings ${JSON.stringify(shown.warnings)} vs ${JSON.stringify(nativeWarnings)}`);
  if (wanted > 0) check(shown.focused === 'A', `${label}: the focus is not on the first download`);
  return { label, runs: expected.length, files: wanted };
}

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
    check(JSON.stringify(served) === JSON.stringify(['/veltrana-1.0.html'.replace('veltrana-1.0.html', path.basename(html))]),
      `the server was asked for ${JSON.stringify(served)}, not the page alone`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(failures === 0 ? 'all products as the command line makes them' : `${failures} failure(s)`);
  process.exit(failures === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
