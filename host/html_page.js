// The HTML export's reader. The page carries every document twice over: its
// title, depth and position in the outline lists (script.outline, one per
// chunk of documents), its content as HTML inside noscript.documents (raw
// text while scripting runs, so the browser parses none of it up front).
// This script shows the table of contents and the documents as nested,
// collapsible sections, and turns a chunk's HTML into elements only when one
// of its documents is first shown. The first view opens documents in outline
// order until FIRST_VIEW are shown; a list longer than BATCH shows the rest on
// request. A link to #dPOSITION (table of contents, address bar, another
// page) shows that document, opening its ancestors.
(() => {
  'use strict';
  const FIRST_VIEW = 300;
  const BATCH = 200;

  const depth = [], position = [], title = [], chunkOf = [];
  document.querySelectorAll('script.outline').forEach((list, chunk) => {
    for (const [d, p, t] of JSON.parse(list.textContent)) {
      depth.push(d);
      position.push(p);
      title.push(t);
      chunkOf.push(chunk);
    }
  });
  const count = depth.length;
  // end[i]: the index after document i and its descendants; parent[i]: -1 at the top.
  const end = new Array(count), parent = new Array(count), open = [];
  for (let i = 0; i < count; i++) {
    while (open.length && depth[open[open.length - 1]] >= depth[i]) end[open.pop()] = i;
    parent[i] = open.length ? open[open.length - 1] : -1;
    open.push(i);
  }
  while (open.length) end[open.pop()] = count;
  const indexOf = new Map(position.map((p, i) => [p, i]));

  const children = (i) => {
    const list = [];
    for (let j = i < 0 ? 0 : i + 1; j < (i < 0 ? count : end[i]); j = end[j]) list.push(j);
    return list;
  };

  // A chunk's documents as elements, parsed on first use.
  const chunks = document.querySelectorAll('noscript.documents');
  const parsed = new Map();
  const content = (i) => {
    let fragment = parsed.get(chunkOf[i]);
    if (!fragment) {
      const template = document.createElement('template');
      template.innerHTML = chunks[chunkOf[i]].textContent;
      fragment = template.content;
      parsed.set(chunkOf[i], fragment);
    }
    const section = fragment.getElementById('d' + position[i]);
    return section && section.querySelector(':scope > .content');
  };

  const element = (tag, attributes, text) => {
    const e = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes || {})) e.setAttribute(name, value);
    if (text !== undefined) e.textContent = text;
    return e;
  };

  // A list shown BATCH items at a time: `make(i)` builds one item, which
  // `list.appendChild` places; a button shows the next batch.
  const fillList = (list, items, make) => {
    let shown = 0;
    const more = element('button', {type: 'button', class: 'more'});
    const next = (upTo) => {
      more.remove();
      const stop = Math.min(items.length, Math.max(upTo, shown + BATCH));
      for (; shown < stop; shown++) list.appendChild(make(items[shown]));
      if (shown < items.length) {
        more.textContent = 'Show ' + (items.length - shown).toLocaleString('en') + ' more';
        list.appendChild(more);
      }
    };
    more.addEventListener('click', () => next(0));
    next(0);
    list.showThrough = (item) => next(items.indexOf(item) + 1);
  };

  // Documents still to open, and table-of-contents entries, in the first view.
  let budget = FIRST_VIEW;
  let tocBudget = FIRST_VIEW;

  // The documents: a <details> per document, filled when first opened.
  const filled = new Set();
  const fillSection = (i, details) => {
    if (filled.has(i)) return;
    filled.add(i);
    const body = content(i);
    if (body) details.appendChild(body);
    const kids = children(i);
    if (kids.length) {
      const list = element('div', {class: 'children'});
      details.appendChild(list);
      fillList(list, kids, section);
    }
  };
  const section = (i) => {
    const details = element('details', {id: 'd' + position[i]});
    const summary = element('summary');
    summary.appendChild(element('h' + Math.min(depth[i] + 2, 6), {}, title[i]));
    details.appendChild(summary);
    details.addEventListener('toggle', () => details.open && fillSection(i, details));
    if (budget > 0) {
      budget--;
      fillSection(i, details);
      details.open = true;
    }
    return details;
  };

  // The table of contents: nested lists of links; an entry with children
  // opens and closes them.
  const entry = (i) => {
    const item = element('li');
    const link = element('a', {href: '#d' + position[i]}, title[i]);
    const kids = children(i);
    if (!kids.length) {
      item.appendChild(link);
      return item;
    }
    const details = element('details');
    const summary = element('summary');
    summary.appendChild(link);
    details.appendChild(summary);
    const list = element('ul');
    const fill = () => {
      if (list.parentNode) return;
      details.appendChild(list);
      fillList(list, kids, entry);
    };
    details.addEventListener('toggle', () => details.open && fill());
    if (tocBudget > 0) {
      tocBudget--;
      fill();
      details.open = true;
    }
    item.appendChild(details);
    return item;
  };

  const main = document.getElementById('documents');
  const nav = document.getElementById('contents');
  if (count) {
    const list = element('ul');
    nav.appendChild(list);
    fillList(list, children(-1), entry);
    nav.hidden = false;
  }
  fillList(main, children(-1), section);

  // Shows document `i`: its ancestors' sections opened and filled, each list
  // on the way shown through the next step.
  const reveal = (i) => {
    const path = [];
    for (let j = i; j >= 0; j = parent[j]) path.unshift(j);
    let list = main;
    for (const j of path) {
      let details = document.getElementById('d' + position[j]);
      if (!details) {
        list.showThrough(j);
        details = document.getElementById('d' + position[j]);
      }
      fillSection(j, details);
      details.open = true;
      list = details.querySelector(':scope > .children');
    }
  };
  const target = (hash) => {
    try {
      return indexOf.get(decodeURIComponent(hash).replace(/^#d/, ''));
    } catch (malformed) {
      return undefined;
    }
  };
  // Runs before the browser follows the link, so that the target exists.
  document.addEventListener('click', (event) => {
    const link = event.target.closest && event.target.closest('a[href^="#d"]');
    const i = link ? target(link.getAttribute('href')) : undefined;
    if (i !== undefined) reveal(i);
  });
  const showHash = () => {
    const i = target(location.hash);
    if (i === undefined) return;
    reveal(i);
    document.getElementById('d' + position[i]).scrollIntoView();
  };
  addEventListener('hashchange', showHash);
  showHash();
})();
