// The page: the books chosen or dropped, one button per product, and what
// the run says. The work itself runs in a worker started from this file's
// own text, so the page needs nothing from anywhere else.
'use strict';

const $ = (id) => document.getElementById(id);
const worker = new Worker(URL.createObjectURL(
  new Blob([$('worker-source').textContent], { type: 'text/javascript' })));

const types = { '.htm': 'text/html', '.vcf': 'text/vcard', '.csv': 'text/csv' };
let books = [];  // [{name, file}]
let working = false;
let downloads = [];  // object URLs of the last results, released on the next run

// The books of a chosen Eudora folder: its nndbase.txt and the books of its
// Nickname folder. `path` is the file's path inside what was chosen.
function isEudoraBook(path) {
  const parts = path.toLowerCase().split('/');
  const name = parts[parts.length - 1];
  if (parts.length === 2) return name === 'nndbase.txt';
  return parts.length === 3 && parts[1] === 'nickname' && name.endsWith('.txt');
}

function choose(chosen) {
  books = chosen.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
  $('chosen').textContent = books.length === 0
    ? 'No address book found there.'
    : (books.length === 1 ? 'Address book: ' : 'Address books: ') +
      books.map((book) => book.name).join(', ');
  updateButtons();
}

function fromFiles(files, inFolder) {
  const chosen = [];
  for (const file of files) {
    const path = file.webkitRelativePath || file.name;
    if (!inFolder || isEudoraBook(path)) chosen.push({ name: path, file });
  }
  choose(chosen);
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
    into.push({ path: entry.fullPath.replace(/^\//, ''), file });
  } else if (entry.isDirectory) {
    for (const child of await entries(entry.createReader())) await walk(child, into);
  }
}

async function fromDrop(transfer) {
  const items = [...transfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry());
  if (!items.some((entry) => entry && entry.isDirectory)) {
    return fromFiles([...transfer.files], false);
  }
  const found = [];
  for (const entry of items) if (entry) await walk(entry, found);
  choose(found.filter(({ path }) => path.includes('/') ? isEudoraBook(path) : true)
    .map(({ path, file }) => ({ name: path, file })));
}

function updateButtons() {
  for (const button of document.querySelectorAll('#products button')) {
    button.disabled = working || books.length === 0;
  }
  for (const id of ['pick-books', 'pick-folder', 'charset']) $(id).disabled = working;
}

function showStatus(text) {
  $('status').textContent = text;
}

// The run's messages: its message boxes, then the warnings of an export.
function showMessages(made) {
  const messages = [];
  const warnings = [];
  for (const result of made) {
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

// The page in a frame without scripts, read in the book's character set. A
// big page is laid out only when asked for: that takes the browser seconds.
const previewAtOnce = 1 << 20;
function preview(bytes) {
  const charset = $('charset').value === 'utf-8' ? 'utf-8' : 'windows-1252';
  const url = URL.createObjectURL(new Blob([bytes], { type: 'text/html;charset=' + charset }));
  downloads.push(url);
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

function showResults(made, product) {
  for (const url of downloads) URL.revokeObjectURL(url);
  downloads = [];
  const list = $('results-list');
  list.replaceChildren();
  let firstLink = null;
  let previewed = false;
  for (const result of made) {
    if (!result.file) continue;
    const name = result.file.name.split('/').pop();
    const ending = name.slice(-4).toLowerCase();
    const type = types[ending] || 'application/octet-stream';
    const blob = new Blob([result.file.bytes], { type });
    const url = URL.createObjectURL(blob);
    downloads.push(url);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.textContent = 'Download ' + name + ' (' + blob.size.toLocaleString() + ' bytes)';
    const item = document.createElement('li');
    item.append(link);
    list.append(item);
    firstLink = firstLink || link;
    link.click();
    if (product === 'page' && !previewed) {
      previewed = true;
      preview(result.file.bytes);
    }
  }
  $('results').hidden = firstLink === null;
  if (!previewed && firstLink !== null) $('preview-section').hidden = true;
  if (firstLink) firstLink.focus();
}

async function make(product) {
  if (working || books.length === 0) return;
  working = true;
  updateButtons();
  showStatus('Working...');
  $('progress').hidden = false;
  const today = new Date();
  const read = await Promise.all(books.map(async ({ name, file }) =>
    ({ name, bytes: new Uint8Array(await file.arrayBuffer()) })));
  worker.postMessage({
    product,
    charset: $('charset').value,
    date: { year: today.getFullYear(), month: today.getMonth() + 1, day: today.getDate() },
    books: read,
  }, read.map((book) => book.bytes.buffer));
}

worker.onmessage = ({ data }) => {
  if (data.kind === 'ready') {
    const select = $('charset');
    select.replaceChildren(...data.charsets.map((name) => new Option(name, name)));
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
  } else if (data.kind === 'progress') {
    if (working) showStatus(data.text);
  } else if (data.kind === 'done') {
    working = false;
    $('progress').hidden = true;
    showStatus(data.made.map((result) => result.status).join('\n'));
    showMessages(data.made);
    showResults(data.made, data.product);
    document.body.dataset.made = String(Number(document.body.dataset.made || 0) + 1);
    updateButtons();
  }
};
worker.onerror = (event) => {
  working = false;
  $('progress').hidden = true;
  showStatus('The converter could not start: ' + (event.message || 'unknown error'));
};

$('pick-books').addEventListener('click', () => $('books').click());
$('pick-folder').addEventListener('click', () => $('folder').click());
$('books').addEventListener('change', (event) => fromFiles([...event.target.files], false));
$('folder').addEventListener('change', (event) => fromFiles([...event.target.files], true));
const zone = $('drop');
zone.addEventListener('dragover', (event) => {
  event.preventDefault();
  zone.classList.add('over');
});
zone.addEventListener('dragleave', () => zone.classList.remove('over'));
zone.addEventListener('drop', (event) => {
  event.preventDefault();
  zone.classList.remove('over');
  fromDrop(event.dataTransfer);
});
// A drop beside the zone must not open the book in place of this page.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());
