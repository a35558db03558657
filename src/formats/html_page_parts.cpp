#include "formats/html_page_parts.h"

namespace veltrana {

// Colours are chosen for a contrast of at least 4.5:1 on their background
// in both schemes (WCAG AA), the muted ones included.
const std::string_view kHtmlPageStyle = R"css(
:root { color-scheme: light dark; --bg: #ffffff; --fg: #1a1a1a; --muted: #4f4f4f;
  --line: #c8c8c8; --card: #f5f5f5; --link: #0b57b0; --mark: #fff3b0; }
@media (prefers-color-scheme: dark) {
  :root { --bg: #121212; --fg: #ececec; --muted: #b4b4b4; --line: #484848; --card: #1f1f1f;
    --link: #8cb8ff; --mark: #4a4000; }
}
* { box-sizing: border-box; }
html { scroll-padding-top: 5rem; }
[hidden] { display: none !important; }
body { margin: 0 auto; max-width: 78rem; padding: 0 1rem 2rem; background: var(--bg);
  color: var(--fg); font: 1rem/1.45 system-ui, -apple-system, "Segoe UI", sans-serif;
  overflow-wrap: anywhere; }
a { color: var(--link); }
a:focus-visible, input:focus-visible { outline: 3px solid var(--link); outline-offset: 2px; }
header { padding: 1rem 0 .6rem; }
h1 { margin: .2rem 0; font-size: 1.8rem; line-height: 1.2; }
.about { margin: 0; color: var(--muted); }
.search { display: flex; flex-wrap: wrap; align-items: center; gap: .4rem 1rem; margin-top: .8rem; }
.search label { font-weight: 600; }
.search input { flex: 1 1 12rem; max-width: 30rem; min-width: 0; padding: .4rem .6rem;
  font: inherit; color: var(--fg); background: var(--bg); border: 1px solid var(--muted);
  border-radius: 4px; }
.search p { margin: 0; color: var(--muted); }
nav { position: sticky; top: 0; z-index: 1; padding: .3rem 0; background: var(--bg);
  border-bottom: 1px solid var(--line); }
nav ul { display: flex; flex-wrap: wrap; gap: .15rem; margin: 0; padding: 0; list-style: none; }
nav a { display: inline-block; min-width: 2.2rem; padding: .25rem .4rem; text-align: center;
  text-decoration: none; font-weight: 600; border-radius: 4px; }
nav a:hover { background: var(--card); }
main section { display: grid; grid-template-columns: repeat(auto-fill, minmax(min(19rem, 100%), 1fr));
  align-items: start; gap: .7rem; }
h2 { grid-column: 1 / -1; margin: 1.2rem 0 0; padding-bottom: .15rem; font-size: 1.35rem;
  border-bottom: 2px solid var(--line); }
article { padding: .6rem .8rem; background: var(--card); border: 1px solid var(--line);
  border-radius: 6px; }
article:target { outline: 3px solid var(--link); }
h3 { margin: 0 0 .35rem; font-size: 1.05rem; }
h3 .name { font-weight: normal; }
h3 .kind { margin-left: .4rem; padding: 0 .35rem; font-size: .8rem; font-weight: 600;
  color: var(--fg); background: var(--mark); border-radius: 3px; }
dl { display: grid; grid-template-columns: minmax(5.5rem, max-content) minmax(0, 1fr);
  gap: .1rem .7rem; margin: 0; }
dt { grid-column: 1; color: var(--muted); font-size: .9rem; }
dd { grid-column: 2; margin: 0; }
dd ul { margin: 0; padding: 0; list-style: none; }
.card { margin: .45rem 0 0; font-size: .9rem; }
footer { margin-top: 2rem; padding-top: .5rem; color: var(--muted); font-size: .9rem;
  border-top: 1px solid var(--line); }
@media (max-width: 30rem) {
  html { scroll-padding-top: 0; }
  body { padding: 0 .6rem 1.5rem; }
  nav { position: static; }
  h1 { font-size: 1.45rem; }
  dl { grid-template-columns: minmax(0, 1fr); }
  dt, dd { grid-column: 1; }
  dd { margin-bottom: .2rem; }
}
@media print {
  :root { --bg: #ffffff; --fg: #000000; --muted: #333333; --line: #999999; --card: #ffffff;
    --link: #000000; --mark: #ffffff; }
  @page { margin: 1.5cm; }
  body { max-width: none; padding: 0; font-size: 9.5pt; line-height: 1.3; }
  nav, .search, .card { display: none !important; }
  header { padding-top: 0; }
  main section { display: block; }
  h2 { margin: .8rem 0 .2rem; font-size: 12pt; break-after: avoid; }
  article { break-inside: avoid; padding: .25rem 0 .3rem; border: 0;
    border-bottom: 1px solid var(--line); border-radius: 0; }
  h3 { margin-bottom: .1rem; font-size: 10pt; }
  h3 .kind { border: 1px solid var(--line); }
  a { text-decoration: none; }
  a[href^="http:"]::after, a[href^="https:"]::after { content: " <" attr(href) ">"; }
  dl { grid-template-columns: 6rem minmax(0, 1fr); }
}
)css";

// Each entry's text (its heading and its values, not the labels) is read
// once, at the first search. Each word typed must be in an entry for it to
// stay; a search that only adds to the last one looks at what that one
// showed. Only the entries and sections whose state changes are touched.
const std::string_view kHtmlPageScript = R"js(
(() => {
  'use strict';
  const panel = document.getElementById('search');
  const box = document.getElementById('find');
  const count = document.getElementById('count');
  const sections = Array.from(document.querySelectorAll('main section'));
  const letters = sections.map((section) =>
    document.querySelector('nav a[href="#' + section.id + '"]'));
  const entries = [];
  const sectionOf = [];
  sections.forEach((section, s) => {
    for (const entry of section.getElementsByTagName('article')) {
      entries.push(entry);
      sectionOf.push(s);
    }
  });
  const total = entries.length;
  const shown = new Uint8Array(total).fill(1);
  let texts = null;
  let last = [];
  const counted = (n) => n.toLocaleString('en-US') + (n === 1 ? ' entry' : ' entries');
  const textOf = (entry) => {
    let text = '';
    for (const part of entry.children) {
      if (part.tagName === 'H3') {
        text += part.textContent + '\n';
      } else if (part.tagName === 'DL') {
        for (const item of part.children) if (item.tagName === 'DD') text += item.textContent + '\n';
      }
    }
    return text.toLowerCase();
  };
  const search = () => {
    const words = box.value.toLowerCase().split(/\s+/).filter((word) => word !== '');
    if (texts === null) texts = entries.map(textOf);
    const narrowing = last.length > 0 && last.every((old) => words.some((word) => word.includes(old)));
    const inSection = new Uint32Array(sections.length);
    let found = 0;
    for (let i = 0; i < total; i += 1) {
      let match = !narrowing || shown[i] === 1;
      for (let w = 0; match && w < words.length; w += 1) match = texts[i].includes(words[w]);
      if (match !== (shown[i] === 1)) {
        shown[i] = match ? 1 : 0;
        entries[i].hidden = !match;
      }
      if (match) {
        found += 1;
        inSection[sectionOf[i]] += 1;
      }
    }
    sections.forEach((section, s) => {
      const empty = inSection[s] === 0;
      if (section.hidden !== empty) {
        section.hidden = empty;
        if (letters[s]) letters[s].parentElement.hidden = empty;
      }
    });
    count.textContent = words.length === 0 ? counted(total)
      : counted(found).replace(/ entr(y|ies)$/, '') + ' of ' + counted(total);
    last = words;
  };
  box.addEventListener('input', search);
  panel.hidden = false;
  // A letter jumped to stands below the index that stays in view, however
  // many rows the index takes.
  const nav = document.querySelector('nav');
  const pad = () => {
    const sticky = getComputedStyle(nav).position === 'sticky';
    document.documentElement.style.scrollPaddingTop = sticky ? nav.offsetHeight + 8 + 'px' : '0';
  };
  new ResizeObserver(pad).observe(nav);
  if (box.value !== '') search();
})();
)js";

}  // namespace veltrana
