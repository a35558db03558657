// Reads exported files with the parsers of real address books and prints
// what they read as JSON, for round_trip.py to compare with what the book
// should give:
// ical.js (Thunderbird's vCard reader) and papaparse (CSV).
//
//   node parse_with_npm.mjs vcard:FILE csv:FILE ...
//
// NODE_PATH names the node_modules folder that holds them.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const modules = path.resolve(process.env.NODE_PATH || '.');
const require = createRequire(path.join(modules, 'noop.js'));
const ICAL = (await import(pathToFileURL(path.join(modules, 'ical.js', 'dist', 'ical.js')).href)).default;
const Papa = require('papaparse');

function readCards(text) {
  // ical.js parses one component or an array of them.
  let parsed = ICAL.parse(text);
  if (typeof parsed[0] === 'string') parsed = [parsed];
  return parsed.map((jcal) => new ICAL.Component(jcal).getAllProperties().map((property) => {
    const type = property.getParameter('type');
    return {
      name: property.name,
      types: type === undefined ? [] : [].concat(type).map((t) => t.toLowerCase()),
      values: property.getValues(),
    };
  }));
}

const out = {};
for (const argument of process.argv.slice(2)) {
  const colon = argument.indexOf(':');
  const kind = argument.slice(0, colon);
  const file = argument.slice(colon + 1);
  const text = readFileSync(file, 'utf8');
  if (kind === 'vcard') {
    out[file] = readCards(text);
  } else {
    const result = Papa.parse(text.replace(/^\uFEFF/, ''), { header: false, skipEmptyLines: true });
    out[file] = { rows: result.data, errors: result.errors };
  }
}
process.stdout.write(JSON.stringify(out));
