// The worker: runs the core over the books the page hands it, so that the
// page stays responsive, and answers with each file made and what the run
// said. createVeltrana, the core's loader, stands before this script.
'use strict';

let lastProgress = 0;
const core = createVeltrana({
  // The run's progress line, at most ten times a second.
  onProgress(text) {
    if (warming) return;
    const now = Date.now();
    if (now - lastProgress < 100) return;
    lastProgress = now;
    postMessage({ kind: 'progress', text });
  },
  print() {},
  printErr() {},
});

function lines(text) {
  return text.split('\n').filter((line) => line !== '');
}

// WebAssembly starts in quickly made code and has its hot functions made
// again, fast, while it runs; a loop already running keeps the slow code.
// So each product is made once of a small book of its own at the start,
// and the user's first book runs at full speed.
let warming = false;
function warmUp(veltrana, products) {
  const entries = [];
  for (let i = 0; i < 2000; i += 1) {
    entries.push(`alias n${i} N ${i} <n${i}@example.org>\r\n` +
      `note n${i} <name:N ${i}><address:${i} Elm St\x03Town><phone:555-${i}>Note ${i}\r\n`);
    if (i % 10 === 0) entries.push(`alias list${i} n${i}, n${i + 1}@example.org\r\n`);
  }
  veltrana.FS.mkdirTree('/warm');
  veltrana.FS.chdir('/warm');
  veltrana.FS.writeFile('/warm/warm.txt', entries.join(''));
  warming = true;
  for (const [id] of products) {
    veltrana.ccall('veltrana_make', 'number',
      ['string', 'string', 'string', 'number', 'number', 'number'],
      [id, 'warm.txt', 'windows-1252', 2000, 1, 1]);
    const output = veltrana.UTF8ToString(veltrana._veltrana_output());
    if (output !== '') veltrana.FS.unlink(output);
  }
  warming = false;
  veltrana.FS.unlink('/warm/warm.txt');
}

core.then((veltrana) => {
  const text = (name) => veltrana.UTF8ToString(veltrana['_veltrana_' + name]());
  const products = lines(text('products')).map((line) => line.split('\t'));
  postMessage({ kind: 'ready', products, charsets: lines(text('charsets')) });
  warmUp(veltrana, products);
});

// The books live under /books by the names the page gives them (a name may
// hold the folders of a chosen Eudora folder), only while they are used.
function put(FS, book) {
  const parts = book.name.split('/');
  FS.mkdirTree(['/books', ...parts.slice(0, -1)].join('/'));
  FS.writeFile('/books/' + book.name, book.bytes);
}

onmessage = async ({ data }) => {
  const veltrana = await core;
  const { FS } = veltrana;
  const text = (name) => veltrana.UTF8ToString(veltrana['_veltrana_' + name]());
  const { product, charset, date, books } = data;
  FS.mkdirTree('/books');
  FS.chdir('/books');
  const made = [];
  const transfer = [];
  for (const book of books) {
    put(FS, book);
    const started = performance.now();
    const exit = veltrana.ccall('veltrana_make', 'number',
      ['string', 'string', 'string', 'number', 'number', 'number'],
      [product, book.name, charset, date.year, date.month, date.day]);
    const result = {
      book: book.name, exit, status: text('status'), messages: text('messages'),
      milliseconds: performance.now() - started, file: null,
    };
    const output = text('output');
    if (output !== '') {
      const bytes = FS.readFile(output);
      FS.unlink(output);
      result.file = { name: output, bytes };
      transfer.push(bytes.buffer);
    }
    FS.unlink(book.name);
    made.push(result);
  }
  postMessage({ kind: 'done', product, made }, transfer);
};
