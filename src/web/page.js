// The page: the books chosen or dropped, one button per product, and what
// the run says. The work itself runs in a worker started from this file's
// own text, so the page needs nothing from anywhere else.
'use strict';

const $ = (id) => document.getElementById(id);
const workerUrl = URL.createObjectURL(
  new Blob([$('worker-source').textContent], { type: 'text/javascript' }));

const types = {
  '.htm': 'text/html', '.html': 'text/html', '.vcf': 'text/vcard', '.csv': 'text/csv',
};
// The products whose file is a page, shown in the preview.
const pages = new Set(['page', 'html']);
// What was chosen: every file, by its name (inside a folder, its path
// there), the folder if one was, and the books found among the files.
let chosen = { files: [], folder: null, books: [] };
let working = null;  // the product being made, while it is
let finding = null;  // the folder whose books the worker is looking for
// The files made of the books chosen, one entry per product: its list items
// and their object URLs, released when the product is made again or the
// books change.
const made = new Map();
let previewUrl = null;

// The character set chosen is kept for the next visit. A browser that keeps
// nothing for a page opened from a disk (or where the user forbade it)
// starts with the automatic choice each time, as before.
const remembered = 'veltrana.charset';
function recall() {
  try {
    return localStorage.getItem(remembered);
  } catch {
    return null;
  }
}
function remember(charset) {
  try {
    localStorage.setItem(remembered, charset);
  } catch {
    // Not kept: the choice holds for this visit only.
  }
}

// Screen readers hear the status through a region of its own: every end
// of a run, and the progress at most once a second, however often the
// status line itself changes.
const announceEvery = 1000;
let lastAnnounced = -Infinity;
function announce(text, progress = false) {
  const now = performance.now();
  if (progress && now - lastAnnounced < announceEvery) return;
  lastAnnounced = progress ? now : -Infinity;
  $('announcer').textContent = text;
}

function forgetMade() {
  for (const entry of made.values()) {
    for (const url of entry.urls) URL.revokeObjectURL(url);
  }
  made.clear();
  $('results-list').replaceChildren();
  $('results').hidden = true;
  if (previewUrl) URL.revokeObjectURL(previewUrl);
  previewUrl = null;
  $('preview').removeAttribute('src');
  $('preview-section').hidden = true;
}

function booksText(books) {
  return (books.length === 1 ? 'Address book: ' : 'Address books: ') + books.join(', ');
}

function choose(files, folder, books, why) {
  chosen = { files, folder, books };
  forgetMade();
  $('chosen').textContent = why || (books.length === 0 ? 'No address book found there.' : booksText(books));
  document.body.dataset.chosen = String(Number(document.body.dataset.chosen || 0) + 1);
  updateButtons();
}

// The books of a folder are found by the core, as the command line finds
// them; only their names are read here, no file's contents.
function fromFolder(files) {
  const folder = files.length === 0 ? null : files[0].name.split('/')[0];
  if (folder === null) return choose([], null, []);
  finding = { files, folder };
  worker.postMessage({ kind: 'find', files, folder });
}

function fromFiles(files, inFolder) {
  const named = files.map((file) => ({ name: file.webkitRelativePath || file.name, file }));
  if (inFolder) return fromFolder(named);
  named.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
  choose(named, null, named.map(({ name }) => name));
}

// A dropped folder is walked as the folder picker would list it.
function entries(reader) {
  return new Promise((resolve, reject) => {
    const all = [];
    const next = () => reader.readEntries((some) => {
      if (some.length === 0) resolve(all); else { all.push(...some); next(); }
    }, reject);
    next();
  });
}

async function walk(entry, into) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    into.push({ name: entry.fullPath.replace(/^\//, ''), file });
  } else if (entry.isDirectory) {
    for (const child of await entries(entry.createReader())) await walk(child, into);
  }
}

async function fromDrop(transfer) {
  const items = [...transfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry());
  const folders = items.filter((entry) => entry && entry.isDirectory);
  if (folders.length === 0) return fromFiles([...transfer.files], false);
  const found = [];
  try {
    await walk(folders[0], found);
  } catch (error) {
    // Chromium cannot list some folders (a system's, one on a disk that
    // went away): say so rather than leave the earlier choice standing.
    const name = (error && error.name) || 'Error';
    const reason = error && error.message ? ': ' + error.message : '';
    return choose([], null, [],
      `The folder ${folders[0].name} could not be read (${name}${reason}). No address book chosen.`);
  }
  fromFolder(found);
}

function updateButtons() {
  for (const button of document.querySelectorAll('#products button')) {
    button.disabled = working !== null || chosen.books.length === 0;
  }
  for (const id of ['pick-books', 'pick-folder', 'charset']) $(id).disabled = working !== null;
  $('cancel').hidden = working === null;
}

function showStatus(text) {
  $('status').textContent = text;
}

// The run's messages: its message boxes, then the warnings of an export.
function showMessages(results) {
  const messages = [];
  const warnings = [];
  for (const result of results) {
    const boxes = [];
    for (const line of result.messages.split('\n')) {
      if (line.startsWith('Warning: ')) warnings.push(result.book + ': ' + line.slice(9));
      else if (line !== '') boxes.push(line);
    }
    if (boxes.length > 0) messages.push(boxes.join('\n'));
  }
  $('messages').hidden = messages.length === 0;
  $('messages-text').textContent = messages.join('\n\n');
  $('warnings').hidden = warnings.length === 0;
  const list = $('warnings-list');
  list.replaceChildren(...warnings.map((warning) => {
    const item = document.createElement('li');
    item.textContent = warning;
    return item;
  }));
}

// A page in a frame without scripts, read in the character set its bytes
// are in. A big page is laid out only when asked for: that takes the
// browser seconds.
const previewAtOnce = 1 << 20;
function preview(bytes, charset) {
  if (previewUrl) URL.revokeObjectURL(previewUrl);
  previewUrl = URL.createObjectURL(new Blob([bytes], { type: 'text/html;charset=' + charset }));
  const url = previewUrl;
  $('preview').dataset.charset = charset;
  const show = () => {
    $('preview').src = url;
    $('preview').hidden = false;
    $('show-preview').hidden = true;
  };
  $('preview').hidden = true;
  $('preview-section').hidden = false;
  if (bytes.length <= previewAtOnce) return show();
  $('show-preview').hidden = false;
  $('show-preview').onclick = show;
}

// The files made are links the user saves them with: a download the page
// started by itself may never begin (Chromium holds some back), and the
// user would wait for it. The first new link takes the focus, which brings
// it into view. The links of the other products stay.
function showResults(results, product) {
  const earlier = made.get(product);
  if (earlier) {
    for (const url of earlier.urls) URL.revokeObjectURL(url);
    for (const item of earlier.items) item.remove();
    made.delete(product);
  }
  const links = [];
  const urls = [];
  let previewed = false;
  for (const result of results) {
    if (!result.file) continue;
    const name = result.file.name.split('/').pop();
    const ending = name.slice(name.lastIndexOf('.')).toLowerCase();
    const type = types[ending] || 'application/octet-stream';
    const blob = new Blob([result.file.bytes], { type });
    const url = URL.createObjectURL(blob);
    urls.push(url);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.dataset.product = product;
    link.textContent = 'Save ' + name + ' (' + blob.size.toLocaleString() + ' bytes)';
    links.push(link);
    if (pages.has(product) && !previewed) {
      previewed = true;
      preview(result.file.bytes, result.charset || 'utf-8');
    }
  }
  if (links.length === 0) return null;
  const items = links.map((link) => {
    const item = document.createElement('li');
    item.append(link);
    return item;
  });
  $('results-list').prepend(...items);
  made.set(product, { items, urls });
  $('results').hidden = false;
  return links[0];
}

// A failed book's line says so; the report is in the messages. A page's
// lines name the character set it is shown in, as an export's name the one
// each book was read in.
function statusOf(result) {
  if (result.exit !== 0) return `Failed: nothing was made of ${result.book}.`;
  return result.charset ? `${result.status}\nCharacter set: ${result.charset}` : result.status;
}

function make(product) {
  if (working !== null || chosen.books.length === 0) return;
  working = product;
  updateButtons();
  showStatus('Working...');
  announce('Working...');
  $('progress').hidden = false;
  const today = new Date();
  worker.postMessage({
    kind: 'make',
    product,
    charset: $('charset').value,
    date: { year: today.getFullYear(), month: today.getMonth() + 1, day: today.getDate() },
    ...chosen,
  });
}

// The end of a run, however it ended: said, and the page ready for the next.
function endWork(text) {
  working = null;
  $('progress').hidden = true;
  showStatus(text);
  announce(text);
  updateButtons();
}

function finished(results, product) {
  endWork(results.map(statusOf).join('\n'));
  showMessages(results);
  const link = showResults(results, product);
  document.body.dataset.made = String(Number(document.body.dataset.made || 0) + 1);
  // Where the user looks next: the report of a failure, else the file made.
  if (results.some((result) => result.exit !== 0) && !$('messages').hidden) $('messages').focus();
  else if (link) link.focus();
  else $('status').focus();
}

// A run is ended by ending its worker: the core runs without pausing, and
// nothing it made reaches the page but through its last message. A new
// worker takes over; the messages of the old one still on their way are
// not its own and are dropped.
function cancel() {
  if (working === null) return;
  const product = working;
  worker.terminate();
  worker = startWorker();
  endWork('Cancelled: nothing was made.');
  document.body.dataset.cancelled = String(Number(document.body.dataset.cancelled || 0) + 1);
  const button = document.querySelector(`#products button[data-product="${product}"]`);
  if (button) button.focus();
}

function ready(data) {
  if (document.body.dataset.ready === 'true') return;
  const select = $('charset');
  select.replaceChildren(...data.charsets.map((name) => new Option(name, name)));
  const kept = recall();
  if (kept !== null && data.charsets.includes(kept)) select.value = kept;
  const buttons = $('products');
  buttons.replaceChildren(...data.products.map(([id, label]) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.product = id;
    button.textContent = label;
    button.addEventListener('click', () => make(id));
    return button;
  }));
  document.body.dataset.ready = 'true';
  updateButtons();
}

function startWorker() {
  const started = new Worker(workerUrl);
  started.onmessage = ({ data }) => {
    if (started !== worker) return;
    if (data.kind === 'ready') {
      ready(data);
    } else if (data.kind === 'found') {
      if (finding) {
        choose(finding.files, finding.folder, data.books,
          data.error ? `The folder ${finding.folder} could not be read: ${data.error}` : undefined);
      }
      finding = null;
    } else if (data.kind === 'progress') {
      if (working !== null) {
        showStatus(data.text);
        announce(data.text, true);
      }
    } else if (data.kind === 'done') {
      // A core that stopped (out of memory, say) cannot run again.
      if (data.stopped) worker = startWorker();
      finished(data.made, data.product);
    }
  };
  started.onerror = (event) => {
    if (started !== worker) return;
    endWork('Failed: the converter stopped: ' + (event.message || 'unknown error'));
  };
  return started;
}
let worker = startWorker();

$('pick-books').addEventListener('click', () => $('books').click());
$('pick-folder').addEventListener('click', () => $('folder').click());
$('cancel').addEventListener('click', cancel);
$('charset').addEventListener('change', (event) => remember(event.target.value));
// The picker is emptied after each choice, so that choosing the same book
// again (changed since) is a choice too.
for (const [id, inFolder] of [['books', false], ['folder', true]]) {
  $(id).addEventListener('change', (event) => {
    fromFiles([...event.target.files], inFolder);
    event.target.value = '';
  });
}
const zone = $('drop');
zone.addEventListener('dragover', (event) => {
  event.preventDefault();
  zone.classList.add('over');
});
zone.addEventListener('dragleave', () => zone.classList.remove('over'));
// While a run works, the books stay as they are, as the pickers do: a drop
// then would give the run's files to other books.
zone.addEventListener('drop', (event) => {
  event.preventDefault();
  zone.classList.remove('over');
  if (working !== null) {
    $('chosen').textContent =
      'Still working: drop the books again once the run has ended. ' + booksText(chosen.books);
    return;
  }
  fromDrop(event.dataTransfer);
});
// A drop beside the zone must not open the book in place of this page.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());
