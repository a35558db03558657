// The page: the books chosen or dropped, one button per product, and what
// the run says. The work itself runs in a worker started from this file's
// own text, so the page needs nothing from anywhere else.
'use strict';

const $ = (id) => document.getElementById(id);
const worker = new Worker(URL.createObjectURL(
  new Blob([$('worker-source').textContent], { type: 'text/javascript' })));

const types = { '.htm': 'text/html', '.vcf': 'text/vcard', '.csv': 'text/csv' };
// What was chosen: every file, by its name (inside a folder, its path
// there), the folder if one was, and the books found among the files.
let chosen = { files: [], folder: null, books: [] };
let working = false;
let finding = null;  // the folder whose books the worker is looking for
let downloads = [];  // object URLs of the last results, released on the next run

function choose(files, folder, books) {
  chosen = { files, folder, books };
  $('chosen').textContent = books.length === 0
    ? 'No address book found there.'
    : (books.length === 1 ? 'Address book: ' : 'Address books: ') + books.join(', ');
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
  await walk(folders[0], found);
  fromFolder(found);
}

function updateButtons() {
  for (const button of document.querySelectorAll('#products button')) {
    button.disabled = working || chosen.books.length === 0;
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

function make(product) {
  if (working || chosen.books.length === 0) return;
  working = true;
  updateButtons();
  showStatus('Working...');
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
  } else if (data.kind === 'found') {
    if (finding) choose(finding.files, finding.folder, data.books);
    finding = null;
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
zone.addEventListener('drop', (event) => {
  event.preventDefault();
  zone.classList.remove('over');
  fromDrop(event.dataTransfer);
});
// A drop beside the zone must not open the book in place of this page.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());
