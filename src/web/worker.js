// The worker: runs the core over the books the page hands it, so that the
// page stays responsive, and answers with each file made and what the run
// said. createVeltrana, the core's loader, stands before this script.
'use strict';

let lastProgress = 0;
const core = createVeltrana({
  // The run's progress line, at most twenty times a second.
  onProgress(text) {
    if (warming) return;
    const now = Date.now();
    if (now - lastProgress < 50) return;
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
    veltrana.ccall('veltrana_make', 'number', makeArguments,
      [id, 'warm.txt', 'windows-1252', '/warm', 2000, 1, 1]);
    const output = veltrana.UTF8ToString(veltrana._veltrana_output());
    if (output !== '') veltrana.FS.unlink(output);
  }
  warming = false;
  veltrana.FS.unlink('/warm/warm.txt');
}

const makeArguments = ['string', 'string', 'string', 'string', 'number', 'number', 'number'];

// The in-memory file system grows a file by only an eighth once it is over
// 1 MB, copying it whole each time: the page of a big book was copied some
// twenty times, most of the run's time. It doubles instead, as below 1 MB.
function growFilesByDoubling(MEMFS) {
  MEMFS.expandFileStorage = (node, needed) => {
    const capacity = node.contents ? node.contents.length : 0;
    if (capacity >= needed) return;
    const contents = new Uint8Array(Math.max(needed, capacity * 2, 256));
    if (node.usedBytes > 0) contents.set(node.contents.subarray(0, node.usedBytes), 0);
    node.contents = contents;
  };
}

core.then((veltrana) => {
  growFilesByDoubling(veltrana.FS.filesystems.MEMFS);
  const text = (name) => veltrana.UTF8ToString(veltrana['_veltrana_' + name]());
  const products = lines(text('products')).map((line) => line.split('\t'));
  postMessage({ kind: 'ready', products, charsets: lines(text('charsets')) });
  warmUp(veltrana, products);
});

// The files chosen, by the names the page gives them (a name holds the
// folders of a chosen Eudora folder), are seen under /in without being
// read: the core reads only the books, when it needs them.
function mountChosen(FS, files) {
  FS.mkdirTree('/in');
  FS.mount(FS.filesystems.WORKERFS, { blobs: files.map(({ name, file }) => ({ name, data: file })) },
    '/in');
  FS.chdir('/in');
}

function unmountChosen(FS) {
  FS.chdir('/');
  FS.unmount('/in');
}

function run(veltrana, product, books, data) {
  const text = (name) => veltrana.UTF8ToString(veltrana['_veltrana_' + name]());
  const started = performance.now();
  const exit = veltrana.ccall('veltrana_make', 'number', makeArguments,
    [product, books.join('\n'), data.charset, '/out', data.date.year, data.date.month,
      data.date.day]);
  const result = {
    book: books.join(', '), exit, status: text('status'), messages: text('messages'),
    milliseconds: performance.now() - started, file: null, charset: text('charset'),
  };
  const output = text('output');
  if (output !== '') {
    result.file = { name: output, bytes: veltrana.FS.readFile(output) };
    veltrana.FS.unlink(output);
  }
  return result;
}

// The page of each book, made beside a link to it in /books: the page run
// writes beside the book, and the chosen files cannot be written.
function makePages(veltrana, data) {
  const { FS } = veltrana;
  const made = [];
  for (const book of data.books) {
    FS.chdir('/');
    const parts = book.split('/');
    FS.mkdirTree(['/books', ...parts.slice(0, -1)].join('/'));
    FS.symlink('/in/' + book, '/books/' + book);
    FS.chdir('/books');
    const result = run(veltrana, 'page', [book], data);
    FS.unlink('/books/' + book);
    FS.chdir('/in');
    made.push(result);
  }
  return made;
}

// What a call into the core that threw says of itself.
const reason = (thrown) => String(thrown && thrown.message ? thrown.message : thrown);

onmessage = async ({ data }) => {
  const veltrana = await core;
  const { FS } = veltrana;
  FS.mkdirTree('/out');
  mountChosen(FS, data.files);
  try {
    if (data.kind === 'find') {
      // The books a folder stands for, as the export takes them.
      let found = '';
      let error = null;
      try {
        found = veltrana.UTF8ToString(veltrana.ccall('veltrana_books', 'number', ['string'], [data.folder]));
      } catch (thrown) {
        error = reason(thrown);
      }
      postMessage({ kind: 'found', books: lines(found), error });
      return;
    }
    // The page of each book; an export of them all, a folder as the folder.
    const books = data.folder ? [data.folder] : data.books;
    let made;
    try {
      made = data.product === 'page' ? makePages(veltrana, data)
        : [run(veltrana, data.product, books, data)];
    } catch (thrown) {
      // The core itself stopped: the run failed, and this worker is spent.
      postMessage({
        kind: 'done', product: data.product, stopped: true,
        made: [{
          book: books.join(', '), exit: 1, status: '', file: null, charset: '',
          messages: 'The converter stopped: ' + reason(thrown),
        }],
      });
      return;
    }
    postMessage({ kind: 'done', product: data.product, made },
      made.filter((result) => result.file).map((result) => result.file.bytes.buffer));
  } finally {
    unmountChosen(FS);
  }
};
