// Elements for the page's scripts: a tag with its text and attributes, and
// a button with what a click on it does.
'use strict';

function el(tag, text, attributes = {}) {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  return e;
}

function button(text, onClick, attributes = {}) {
  const b = el('button', text, { type: 'button', ...attributes });
  b.addEventListener('click', onClick);
  return b;
}
