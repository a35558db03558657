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
h2 { margin: 1.2rem 0 0; padding-bottom: .15rem; font-size: 1.35rem;
  border-bottom: 2px solid var(--line); }
article { margin-top: .7rem; padding: .6rem .8rem; background: var(--card);
  border: 1px solid var(--line); border-radius: 6px; }
.run { content-visibility: auto; contain-intrinsic-size: auto 430rem; }
.capped { margin: .8rem 0 0; color: var(--muted); }
#results article { content-visibility: auto; contain-intrinsic-size: auto 12rem; }
.searching > section { content-visibility: hidden; }
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
  #results { display: none !important; }
  h2 { margin: .8rem 0 .2rem; font-size: 12pt; break-after: avoid; }
  article { break-inside: avoid; margin: 0; padding: .25rem 0 .3rem; border: 0;
    border-bottom: 1px solid var(--line); border-radius: 0; }
  .run, .searching > section { content-visibility: visible; }
  h3 { margin-bottom: .1rem; font-size: 10pt; }
  h3 .kind { border: 1px solid var(--line); }
  a { text-decoration: none; }
  a[href^="http:"]::after, a[href^="https:"]::after { content: " <" attr(href) ">"; }
  dl { grid-template-columns: 6rem minmax(0, 1fr); }
}
)css";

// Each entry's text (its heading and its values, not the labels) is read
// in short slices while the browser is idle after loading. A key that
// comes sooner answers from what is read and what a short read adds, the
// count saying it is still searching; the rest is read in short tasks
// after it. Each word typed must be in an entry for it to count; a search
// that only adds to the last one looks at what that one found. While the
// box holds a query the letter sections and the index are hidden and a
// results region holds copies of the first entries found, so a key touches
// a bounded number of elements however large the book is.
const std::string_view kHtmlPageScript = R"js(
(() => {
  'use strict';
  const shownAtMost = 100;
  const panel = document.getElementById('search');
  const box = document.getElementById('find');
  const count = document.getElementById('count');
  const main = document.getElementById('entries');
  const nav = document.querySelector('nav');
  const entries = main.querySelectorAll('article');
  const total = entries.length;
  const results = document.createElement('div');
  results.id = 'results';
  results.hidden = true;
  const capped = document.createElement('p');
  capped.className = 'capped';
  capped.textContent = 'Only the first ' + shownAtMost + ' are shown; type more to narrow the search.';
  const found = document.createElement('div');
  results.append(capped, found);
  main.prepend(results);
  const texts = new Array(total);
  let read = 0;
  // The query's words, the entries found among the first `looked` of those
  // read (in book order), and how many of them have copies in view.
  let words = [];
  let matches = [];
  let looked = 0;
  let copied = 0;
  let reading = false;
  // Digits in groups of three, as the page writes them: the browser's own
  // number formatting takes a good part of a frame the first time.
  const grouped = (n) => String(n).replace(/\B(?=(\d{3})+$)/g, ',');
  const counted = (n) => grouped(n) + (n === 1 ? ' entry' : ' entries');
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
  const readWhile = (more) => {
    do {
      if (read >= total) return;
      texts[read] = textOf(entries[read]);
      read += 1;
    } while (more());
  };
  const within = (ms) => {
    const end = performance.now() + ms;
    return () => performance.now() < end;
  };
  const has = (i) => words.every((word) => texts[i].includes(word));
  const lookFurther = () => {
    for (; looked < read; looked += 1) if (has(looked)) matches.push(looked);
  };
  const showAll = (all) => {
    if (results.hidden === all) return;
    results.hidden = all;
    nav.hidden = !all;
    // Skipped, not removed: the sections keep their layout, so bringing
    // them back costs little.
    main.classList.toggle('searching', !all);
  };
  // The first entries found, as copies, and the count; while texts are
  // still being read, what has been found so far. Later reading only adds
  // entries after those found, so copies already shown stay.
  const show = (fresh) => {
    if (fresh) copied = 0;
    const copies = matches.slice(copied, shownAtMost).map((i) => {
      const copy = entries[i].cloneNode(true);
      copy.removeAttribute('id');
      return copy;
    });
    if (fresh) found.replaceChildren(...copies); else found.append(...copies);
    copied += copies.length;
    capped.hidden = matches.length <= shownAtMost;
    showAll(false);
    count.textContent = read < total
      ? 'Searching: ' + grouped(matches.length) + ' found so far'
      : counted(matches.length).replace(/ entr(y|ies)$/, '') + ' of ' + counted(total);
  };
  // Reads on, and with a query, looks at what was read; the count is
  // final when the last entry is read.
  const readOn = (more) => {
    const before = read;
    readWhile(more);
    if (words.length === 0) return;
    lookFurther();
    if (read === total && before < total) show(false);
  };
  // With a query waiting for texts, they are read in short tasks, keys in
  // between; without one, while the browser is idle.
  const readForQuery = () => {
    reading = false;
    readOn(within(8));
    if (read < total && words.length > 0) {
      reading = true;
      setTimeout(readForQuery, 0);
    }
  };
  // Short slices: a key waits for the one under way.
  const idle = window.requestIdleCallback
    ? (work) => window.requestIdleCallback((deadline) => {
      const more = within(8);
      work(() => more() && deadline.timeRemaining() > 1);
    })
    : (work) => setTimeout(() => work(within(8)), 0);
  const readSome = (more) => {
    readOn(more);
    if (read < total) idle(readSome);
  };
  const search = () => {
    const next = box.value.toLowerCase().split(/\s+/).filter((word) => word !== '');
    if (next.length === 0) {
      // The copies stay, hidden, till the next query: a member link in one
      // that cleared the search is still followed.
      showAll(true);
      count.textContent = counted(total);
      words = next;
      return;
    }
    const narrowing = words.length > 0 && words.every((old) => next.some((word) => word.includes(old)));
    words = next;
    if (narrowing) {
      matches = matches.filter(has);
    } else {
      matches = [];
      looked = 0;
    }
    // A key answers from the texts read so far and what a short read adds;
    // the rest is read after it.
    readWhile(within(6));
    lookFurther();
    show(true);
    if (read < total && !reading) {
      reading = true;
      setTimeout(readForQuery, 0);
    }
  };
  box.addEventListener('input', search);
  // A list's member, followed from a copy, is shown where it stands in the
  // book: the search is cleared before the browser goes to it.
  found.addEventListener('click', (event) => {
    if (event.target.closest('a[href^="#"]') === null) return;
    box.value = '';
    search();
  });
  panel.hidden = false;
  // A letter jumped to stands below the index that stays in view, however
  // many rows the index takes.
  const pad = () => {
    const sticky = getComputedStyle(nav).position === 'sticky';
    document.documentElement.style.scrollPaddingTop = sticky ? nav.offsetHeight + 8 + 'px' : '0';
  };
  new ResizeObserver(pad).observe(nav);
  if (box.value !== '') search();
  if (read < total) idle(readSome);
})();
)js";

}  // namespace veltrana
