// Words for people: every sentence the page shows is written in English in
// a call t("...") or tn("one", "many", n) and looked up in the catalogue of
// the chosen language, the one the library carries (po/de.po, handed over
// by the library as JSON). Sentences name their variable parts in braces;
// numbers are written as the language writes them. The browser's language
// chooses, the switch overrides and is remembered.
'use strict';

const Words = (() => {
  const LANGUAGES = ['de', 'en'];
  const STORE = 'railview-language';
  let language = 'en';
  let catalogues = { en: new Map() };
  let numbers = new Intl.NumberFormat('en');

  function remembered() {
    try {
      return localStorage.getItem(STORE);
    } catch {
      return null;  // storage refused (some browsers on file://)
    }
  }
  function chosenByBrowser() {
    for (const wanted of navigator.languages ?? [navigator.language]) {
      const base = String(wanted).toLowerCase().split('-')[0];
      if (LANGUAGES.includes(base)) return base;
    }
    return 'en';
  }
  function set(code, remember) {
    language = LANGUAGES.includes(code) ? code : 'en';
    numbers = new Intl.NumberFormat(language);
    document.documentElement.lang = language;
    if (remember) {
      try {
        localStorage.setItem(STORE, language);
      } catch {
        // Not remembered; the page still speaks the language chosen.
      }
    }
  }
  // [{id, plural, forms}] of a language, as the library gives them.
  function load(code, entries) {
    catalogues[code] = new Map(entries.map((e) => [e.id, e]));
  }
  function fill(text, fields) {
    return text.replace(/\{(\w+)\}/g, (whole, name) => {
      if (!(name in fields)) return whole;
      const value = fields[name];
      return typeof value === 'number' ? numbers.format(value) : String(value);
    });
  }
  function translate(id, fields = {}) {
    const entry = catalogues[language]?.get(id);
    return fill(entry && !entry.plural ? entry.forms[0] : id, fields);
  }
  function translateN(one, many, n, fields = {}) {
    const entry = catalogues[language]?.get(one);
    const form = n === 1 ? 0 : 1;
    const text = entry && entry.plural === many && entry.forms.length === 2 ? entry.forms[form] : [one, many][form];
    return fill(text, { ...fields, n });
  }

  set(remembered() ?? chosenByBrowser(), false);
  return {
    get language() { return language; },
    languages: LANGUAGES,
    set,
    load,
    t: translate,
    tn: translateN,
    number: (n) => numbers.format(n),
  };
})();
const t = Words.t;
const tn = Words.tn;
