// The page of today (veltrana-convert --export html) in headless Chromium,
// as a reader uses it: made from the sample book, a generated book and a
// Eudora folder, then searched by keyboard, jumped through by its letter
// index, checked with axe-core at a desktop's and a phone's width in light
// and dark, read with scripts off, and printed to PDF. Every contact and
// every list member must be on it (their UIDs against the vCard 4.0 export
// of the same books), no request may leave it, and no entry may be split
// across printed pages. Screenshots at both widths in both schemes go to
// SCREENSHOTS.
//
//   node page_of_today_test.js VELTRANA_CONVERT NODE_MODULES GENERATOR SCREENSHOTS
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');
const { pathToFileURL } = require('url');

const [convert, nodeModules, generator, screenshots] = process.argv.slice(2).map((arg) => path.resolve(arg));
const chromium = process.env.VELTRANA_CHROMIUM || '/usr/bin/chromium';
const which = (program) => spawnSync('sh', ['-c', `command -v ${program}`]).status === 0;
for (const [present, missing] of [
  [fs.existsSync(path.join(nodeModules, 'puppeteer-core')), 'puppeteer-core: run scripts/install-deps.sh'],
  [fs.existsSync(path.join(nodeModules, 'axe-core')), 'axe-core: run scripts/install-deps.sh'],
  [fs.existsSync(chromium), 'chromium: run scripts/install-deps.sh'],
  [which('pdftotext'), 'pdftotext (poppler-utils): run scripts/install-deps.sh'],
  [which('python3'), 'python3'],
]) {
  if (!present) {
    console.log(`SKIP: no ${missing}`);
    process.exit(77);
  }
}
const puppeteer = require(path.join(nodeModules, 'puppeteer-core'));
const axeSource = fs.readFileSync(path.join(nodeModules, 'axe-core', 'axe.min.js'), 'utf8');

const desktop = { width: 1280, height: 900 };
const phone = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 1 };

const { check, finish } = require('./checks.js');

// ---- the books and what the command line makes of them ----------------------

// The generated set's biggest book with lists, and its first Eudora folder.
function generated(work) {
  const dir = path.join(work, 'generated');
  execFileSync('python3', [generator, dir, '--count', '40', '--folders', '1', '--large', '0',
    '--seed', '30', '--no-fuzz-corpus']);
  let best = null;
  for (const line of fs.readFileSync(path.join(dir, '_manifest.txt'), 'utf8').split('\n')) {
    const match = /^b'([^'/]+)'\t\d+ bytes\t(\d+) entries,.*lists/.exec(line);
    if (match && (!best || Number(match[2]) > best.entries)) best = { name: match[1], entries: Number(match[2]) };
  }
  const folder = fs.readdirSync(dir).find((name) => name.startsWith('f000'));
  return { dir, book: best.name, folder };
}

function make(dir, given, format, out) {
  const run = spawnSync(convert, ['--export', format, '-o', out, '--', given], {
    cwd: dir, env: { ...process.env, SOURCE_DATE_EPOCH: '1796601600' }, encoding: 'utf8',
  });
  if (run.status !== 0) throw new Error(`${given}: ${format}: ${run.stdout}${run.stderr}`);
  return path.join(dir, out);
}

// Each card's UID and, for a group, its members' UIDs.
function cardsOf(vcf) {
  const unfolded = vcf.replace(/\r\n[ \t]/g, '');
  return unfolded.split('BEGIN:VCARD').slice(1).map((card) => ({
    uid: /\r\nUID:(?:urn:uuid:)?([^\r]*)/.exec(card)[1],
    group: /\r\nKIND:group\r\n/.test(card),
    members: [...card.matchAll(/\r\nMEMBER:(?:urn:uuid:)?([^\r]*)/g)].map((m) => m[1]).sort(),
  }));
}

// ---- in the browser ---------------------------------------------------------

async function open(browser, file, { viewport = desktop, scheme = 'light', scripts = true, beforeScripts = null } = {}) {
  const page = await browser.newPage();
  const requests = [];
  const problems = [];
  page.on('request', (request) => requests.push(request.url()));
  // Chromium's note when axe-core or this test measures entries the page
  // keeps out of rendering (content-visibility) says nothing about the page.
  page.on('console', (message) => {
    if (!/^Rendering was performed in a subtree hidden by content-visibility/.test(message.text())) {
      problems.push('console: ' + message.text());
    }
  });
  page.on('pageerror', (error) => problems.push('page error: ' + error.message));
  await page.setJavaScriptEnabled(scripts);
  if (beforeScripts) await page.evaluateOnNewDocument(beforeScripts);
  await page.setViewport(viewport);
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
  await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
  return { page, requests, problems };
}

async function axe(page, label) {
  if (process.env.VERBOSE) console.log('axe', label);
  await page.evaluate(axeSource);
  const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  for (const violation of result.violations) {
    check(false, `${label}: axe: ${violation.id} (${violation.impact}): ${violation.help}: ` +
      violation.nodes.slice(0, 3).map((node) => node.target.join(' ')).join(', '));
  }
}

// What the entries are, as the page's own links and cards say.
function entriesOnPage(page) {
  return page.evaluate(() => [...document.querySelectorAll('main section article')].map((article) => {
    const card = decodeURIComponent(article.querySelector('a[download]').getAttribute('href').split(',').slice(1).join(','));
    return {
      id: article.id,
      uid: /\r\nUID:([^\r]*)/.exec(card)[1],
      list: article.querySelector('h3 .kind') !== null,
      members: [...article.querySelectorAll('dd li a[href^="#"]')].map((a) => a.getAttribute('href').slice(1)),
      text: article.textContent.toLowerCase(),
    };
  }));
}

async function everyoneIsThere(page, vcf, label) {
  const cards = cardsOf(fs.readFileSync(vcf, 'utf8'));
  const entries = await entriesOnPage(page);
  const uidOf = new Map(entries.map((entry) => [entry.id, entry.uid]));
  const pageUids = entries.map((entry) => entry.uid).sort();
  const cardUids = cards.map((card) => card.uid).sort();
  check(JSON.stringify(pageUids) === JSON.stringify(cardUids),
    `${label}: ${pageUids.length} entries on the page, ${cardUids.length} contacts in the export`);
  for (const card of cards.filter((c) => c.group)) {
    const entry = entries.find((e) => e.uid === card.uid);
    if (!check(entry && entry.list, `${label}: the list ${card.uid} is not shown as a list`)) continue;
    const members = entry.members.map((id) => uidOf.get(id)).sort();
    check(JSON.stringify(members) === JSON.stringify(card.members),
      `${label}: list ${entry.id}: members ${JSON.stringify(members)} vs ${JSON.stringify(card.members)}`);
  }
  return entries;
}

// What the search leaves in view: the count, the copies in the results
// (by their vCard, which names the contact), whether the letter sections,
// the index and the line about the cap are shown; and, from the book's own
// entries, which hold every word of the query, in page order, once the
// search has read every entry.
async function searchState(page) {
  // Texts not read yet when the key came are read after it.
  await page.waitForFunction(() => !document.getElementById('count').textContent.startsWith('Searching'));
  return page.evaluate(() => {
    const visible = (element) => element !== null && element.checkVisibility();
    const words = document.getElementById('find').value.toLowerCase().split(/\s+/).filter(Boolean);
    const book = [...document.querySelectorAll('main section article')];
    const card = (article) => article.querySelector('a[download]').getAttribute('href');
    const ids = [...document.querySelectorAll('[id]')].map((element) => element.id);
    const capped = [...document.querySelectorAll('main p')].find((p) => /first 100/.test(p.textContent));
    return {
      count: document.getElementById('count').textContent,
      total: book.length,
      copies: [...document.querySelectorAll('main article')].filter((a) => !a.closest('section') && visible(a)).map(card),
      bookShown: book.filter(visible).length,
      navShown: visible(document.querySelector('nav')),
      capped: visible(capped || null),
      expected: book.filter((a) => {
        const text = [...a.querySelectorAll('h3, dd')].map((e) => e.textContent).join('\n').toLowerCase();
        return words.every((word) => text.includes(word));
      }).map(card),
      uniqueIds: new Set(ids).size === ids.length,
    };
  });
}

// One state of the search against what it should be for the query.
function checkSearch(now, query, label) {
  const counted = (n) => n.toLocaleString('en-US');
  const where = `${label}: "${query}"`;
  check(now.uniqueIds, `${where}: an id is on the page twice`);
  if (query.trim() === '') {
    check(now.bookShown === now.total && now.copies.length === 0 && now.navShown && !now.capped,
      `${where}: ${now.bookShown} of ${now.total} entries, ${now.copies.length} copies shown, index ${now.navShown ? 'shown' : 'hidden'}`);
    check(now.count === `${counted(now.total)} ${now.total === 1 ? 'entry' : 'entries'}`, `${where}: count "${now.count}"`);
    return;
  }
  const first = now.expected.slice(0, 100);
  check(JSON.stringify(now.copies) === JSON.stringify(first),
    `${where}: ${now.copies.length} entries shown, the first ${first.length} of ${now.expected.length} found expected`);
  check(now.bookShown === 0 && !now.navShown, `${where}: ${now.bookShown} entries of the book and the index ${now.navShown ? 'shown' : 'hidden'} beside the results`);
  check(now.count === `${counted(now.expected.length)} of ${counted(now.total)} entries`,
    `${where}: count "${now.count}" with ${now.expected.length} found`);
  check(now.capped === now.expected.length > 100, `${where}: ${now.expected.length} found, the line about the first 100 ${now.capped ? 'shown' : 'hidden'}`);
}

// Typed one key at a time, the entries narrow; erased, they widen again.
// What is shown holds every word, and is what the book holds, up to 100.
async function search(page, query, label) {
  await page.focus('#find');
  let before = (await searchState(page)).total;
  const found = [];
  for (let i = 1; i <= query.length; i += 1) {
    await page.keyboard.type(query[i - 1]);
    const now = await searchState(page);
    checkSearch(now, query.slice(0, i), label);
    check(now.expected.length <= before, `${label}: "${query.slice(0, i)}" widened the search`);
    before = now.expected.length;
    found.push(now.expected.length);
  }
  check(found[found.length - 1] >= 1, `${label}: "${query}" finds nothing`);
  const total = (await searchState(page)).total;
  check(found[found.length - 1] < total, `${label}: "${query}" never narrowed`);
  for (let i = query.length - 1; i >= 0; i -= 1) {
    await page.keyboard.press('Backspace');
    const now = await searchState(page);
    checkSearch(now, query.slice(0, i), label);
    check(i === 0 || now.expected.length >= before, `${label}: erasing to "${query.slice(0, i)}" narrowed the search`);
    before = now.expected.length;
  }
  return found;
}

// A member link in a list's copy clears the search and goes to the member
// in the book.
async function memberFromResults(page, label) {
  const list = await page.evaluate(() => {
    const entry = [...document.querySelectorAll('main section article')].find((a) => a.querySelector('dd li a[href^="#"]'));
    return entry && { nickname: entry.querySelector('h3').firstChild.textContent.trim(), target: entry.querySelector('dd li a[href^="#"]').getAttribute('href') };
  });
  if (!list) return;
  await page.focus('#find');
  await page.keyboard.type(list.nickname);
  const link = await page.$(`main article:not([id]) dd li a[href="${list.target}"]`);
  if (!check(link !== null, `${label}: the list ${list.nickname} found without its member link ${list.target}`)) return;
  await link.click();
  await page.waitForFunction((h) => location.hash === h, { timeout: 5000 }, list.target);
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const now = await searchState(page);
  checkSearch(now, '', `${label}: after following ${list.target} from the results`);
  const where = await page.evaluate((h) => ({
    top: document.querySelector(h).getBoundingClientRect().top, height: innerHeight,
    query: document.getElementById('find').value,
  }), list.target);
  check(where.query === '' && where.top >= 0 && where.top < where.height,
    `${label}: ${list.target} followed from the results stands at ${where.top} px, query "${where.query}"`);
}

// The cap: a letter most entries hold shows the first 100 and the line
// that says so; printed meanwhile, the page still holds the whole book.
async function cap(page, label) {
  const letters = await page.evaluate(() => {
    const texts = [...document.querySelectorAll('main section article')]
      .map((a) => [...a.querySelectorAll('h3, dd')].map((e) => e.textContent).join('\n').toLowerCase());
    return [...'aeinorst'].map((letter) => [letter, texts.filter((text) => text.includes(letter)).length])
      .sort((a, b) => b[1] - a[1]);
  });
  const [letter, holding] = letters[0];
  if (!check(holding > 100, `${label}: no letter in more than 100 entries (${letter}: ${holding})`)) return;
  await page.focus('#find');
  await page.keyboard.type(letter);
  checkSearch(await searchState(page), letter, label);
  await page.emulateMediaType('print');
  const printed = await page.evaluate(() => ({
    book: [...document.querySelectorAll('main section article')].filter((a) => a.getClientRects().length > 0).length,
    total: document.querySelectorAll('main section article').length,
    copies: [...document.querySelectorAll('main article:not([id])')].filter((a) => a.getClientRects().length > 0).length,
  }));
  await page.emulateMediaType(null);
  check(printed.book === printed.total && printed.copies === 0,
    `${label}: printed while searching: ${printed.book} of ${printed.total} entries, ${printed.copies} copies`);
  await page.focus('#find');
  await page.keyboard.press('Backspace');
  checkSearch(await searchState(page), '', label);
}

// Each letter of the index, followed by keyboard, brings its heading to the
// top of the window, below the index that stays in view.
async function letters(page, label) {
  const links = await page.$$eval('nav a', (as) => as.map((a) => a.getAttribute('href')));
  check(links.length > 0, `${label}: no letter index`);
  for (const href of [...links].reverse()) {
    await page.focus(`nav a[href="${href}"]`);
    await page.keyboard.press('Enter');
    await page.waitForFunction((h) => location.hash === h, { timeout: 5000 }, href);
    // Laid out and painted after the jump.
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    const where = await page.evaluate((h) => {
      const heading = document.querySelector(h + ' h2').getBoundingClientRect();
      const nav = document.querySelector('nav').getBoundingClientRect();
      return { top: heading.top, navBottom: nav.bottom, scrollable: document.documentElement.scrollHeight - innerHeight - scrollY };
    }, href);
    // The last letters may be too near the end to reach the top.
    check((where.top >= where.navBottom - 1 && where.top <= where.navBottom + 60) ||
      (where.scrollable < 2 && where.top >= where.navBottom - 1),
    `${label}: ${href} lands at ${where.top} px, the index ends at ${where.navBottom} px`);
  }
}

// Each entry's texts, in print, are all on one page of the PDF.
async function printed(page, work, label) {
  await page.emulateMediaType('print');
  const pieces = await page.evaluate(() => [...document.querySelectorAll('main section article')].map((article) => {
    const texts = [];
    const walker = document.createTreeWalker(article, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      if (node.parentElement.closest('.card, dt')) continue;
      const text = node.textContent.replace(/\s+/g, '');
      if (text !== '') texts.push(text);
    }
    return { id: article.id, texts };
  }));
  const pdf = path.join(work, 'print.pdf');
  await page.pdf({ path: pdf, format: 'A4', printBackground: false });
  await page.emulateMediaType(null);
  // The labels stand in a column of their own, which pdftotext may put
  // between the lines of a value; it joins a word broken after a hyphen,
  // and a glyph no font has comes out as something else. So both sides
  // are compared without blanks, labels, hyphens, and characters other
  // than Latin letters and digits.
  const labels = /E-?mails?|Members|Also|Work(phone|mobile|fax|address|page)|Otherphone|Home(address|page)|Webpage|Phone|Mobile|Fax|Address|Title|Company|Notes|Book/g;
  const bare = (text) => text.normalize('NFKC').replace(/\s+/g, '').replace(labels, '')
    .replace(/[^\p{Script=Latin}\p{Nd}]/gu, '');
  const pages = execFileSync('pdftotext', ['-enc', 'UTF-8', pdf, '-'], { encoding: 'utf8', maxBuffer: 1 << 28 })
    .split('\f').map(bare);
  check(pages.length > 1 || pieces.length < 10, `${label}: the print has ${pages.length} page(s)`);
  const onOnePage = (texts) => pages.some((text) => texts.every((piece) => text.includes(bare(piece))));
  for (const entry of pieces) entry.texts = entry.texts.filter((piece) => bare(piece) !== '');
  const split = pieces.filter((entry) => !onOnePage(entry.texts));
  check(split.length === 0, `${label}: ${split.length} entries not on one printed page: ` +
    split.slice(0, 3).map((entry) => `${entry.id} ${JSON.stringify(entry.texts.slice(0, 4))}`).join('; '));
}

async function runCase(browser, work, test) {
  const label = test.name;
  const { page, requests, problems } = await open(browser, test.html);
  const entries = await everyoneIsThere(page, test.vcf, label);
  await axe(page, `${label} (desktop, light)`);
  // The start of the middle entry's nickname; the sample's words; a word
  // of the middle entry's heading and one of its last value.
  const middle = await page.evaluate(() => {
    const all = document.querySelectorAll('main section article');
    const entry = all[Math.floor(all.length / 2)];
    const dds = entry.querySelectorAll('dd');
    const last = dds.length ? dds[dds.length - 1].textContent.trim().split(/\s+/)[0] : '';
    return { nickname: entry.querySelector('h3').firstChild.textContent.trim(), last };
  });
  await search(page, middle.nickname.slice(0, 6), label);
  await search(page, test.twoWords || `${middle.nickname.slice(0, 3)} ${middle.last.slice(0, 4)}`, label);
  if (entries.length > 100) await cap(page, label);
  await memberFromResults(page, label);
  await letters(page, label);
  await printed(page, work, label);
  check(requests.length === 1 && requests[0] === pathToFileURL(test.html).href,
    `${label}: requests beside the page: ${JSON.stringify(requests.slice(0, 5))}`);
  check(problems.length === 0, `${label}: ${problems.join('; ')}`);
  await page.close();

  for (const [name, viewport] of [['desktop', desktop], ['phone', phone]]) {
    for (const scheme of ['light', 'dark']) {
      const opened = await open(browser, test.html, { viewport, scheme });
      await axe(opened.page, `${label} (${name}, ${scheme})`);
      const wide = await opened.page.evaluate(() => document.documentElement.scrollWidth - innerWidth);
      check(wide <= 0, `${label} (${name}, ${scheme}): ${wide} px to scroll sideways`);
      if (test.screenshots) {
        fs.mkdirSync(screenshots, { recursive: true });
        await opened.page.screenshot({ path: path.join(screenshots, `${test.screenshots}-${name}-${scheme}.png`) });
      }
      check(opened.problems.length === 0, `${label} (${name}, ${scheme}): ${opened.problems.join('; ')}`);
      await opened.page.close();
    }
  }

  // A key that comes before the texts to match are read answers from those
  // read, says it is still searching, and the rest are read after it: here
  // the browser is never idle for the page, and its clock runs so fast that
  // each read stops after one entry.
  const busy = await open(browser, test.html, {
    beforeScripts: () => {
      window.requestIdleCallback = () => 0;
      let now = 0;
      performance.now = () => (now += 1000);
      window.counts = [];
      document.addEventListener('DOMContentLoaded', () => {
        const count = document.getElementById('count');
        new MutationObserver(() => window.counts.push(count.textContent))
          .observe(count, { childList: true, characterData: true, subtree: true });
      });
    },
  });
  await search(busy.page, middle.nickname.slice(0, 6), `${label} (never idle)`);
  const counts = await busy.page.evaluate(() => window.counts);
  check(/^Searching: \d+ found so far$/.test(counts[0]) && !counts[counts.length - 1].startsWith('Searching'),
    `${label} (never idle): the count went ${JSON.stringify(counts.slice(0, 3))}, ... ${JSON.stringify(counts.slice(-1))}`);
  check(busy.problems.length === 0, `${label} (never idle): ${busy.problems.join('; ')}`);
  await busy.page.close();

  // Without scripts: every entry shown, no search box that would do nothing.
  const plain = await open(browser, test.html, { scripts: false });
  const seen = await plain.page.evaluate(() => ({
    entries: [...document.querySelectorAll('main article')].filter((a) => a.getClientRects().length > 0).length,
    search: document.getElementById('search').getClientRects().length,
  }));
  check(seen.entries === entries.length && seen.search === 0,
    `${label}: without scripts ${seen.entries} of ${entries.length} entries shown, search box ${seen.search ? 'shown' : 'hidden'}`);
  await plain.page.close();
  console.log(`${label}: ${entries.length} entries, ${entries.filter((e) => e.list).length} lists checked`);
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'veltrana-today-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    protocolTimeout: 120000,
    userDataDir: path.join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const sampleDir = path.join(work, 'sample');
    fs.mkdirSync(sampleDir);
    fs.copyFileSync(path.join(__dirname, '../../examples/nndbase.txt'), path.join(sampleDir, 'nndbase.txt'));
    const gen = generated(work);
    const tests = [
      { name: 'sample', dir: sampleDir, given: 'nndbase.txt', twoWords: 'marsh 555', screenshots: 'sample' },
      { name: 'generated book', dir: gen.dir, given: gen.book },
      { name: 'Eudora folder', dir: gen.dir, given: gen.folder },
    ];
    for (const test of tests) {
      test.html = make(test.dir, test.given, 'html', `${test.name}.html`);
      test.vcf = make(test.dir, test.given, 'vcard4', `${test.name}.vcf`);
      await runCase(browser, work, test);
    }
    // Counts of a thousand and more, written by the page's script, are
    // grouped as the page writes them.
    const bigDir = path.join(work, 'big');
    fs.mkdirSync(bigDir);
    execFileSync(path.join(path.dirname(convert), 'veltrana-generate-book'), ['1500', path.join(bigDir, 'big.txt')]);
    const big = await open(browser, make(bigDir, 'big.txt', 'html', 'big.html'));
    await search(big.page, 'person 12', 'a book of 1,500 entries');
    check(big.problems.length === 0, `a book of 1,500 entries: ${big.problems.join('; ')}`);
    await big.page.close();
  } finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  finish('the page of today reads, searches, jumps and prints as it should');
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
