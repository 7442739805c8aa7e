// The page's words: every one in every language, with the same blanks to
// fill ({factor}, {from}, …), and the readout's numbers in Japanese.
import { test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import { createRequire } from "node:module";

import * as WaveReadout from "../../web/readout.js";

const require = createRequire(import.meta.url);
const folder = new URL("../../web/words/", import.meta.url);
const languages = Object.fromEntries(fs.readdirSync(folder).map((file) => [file.replace(".json", ""),
                                                                            require(new URL(file, folder).pathname)]));
const blanks = (text) => (text.match(/\{\w+\}/g) ?? []).sort();

test("every language has every word, with the same blanks", () => {
  const { en, ...others } = languages;
  assert.ok(Object.keys(others).includes("ja"));
  for (const [language, words] of Object.entries(others)) {
    assert.deepEqual(Object.keys(words).sort(), Object.keys(en).sort(), language);
    for (const key of Object.keys(en)) assert.deepEqual(blanks(words[key]), blanks(en[key]), `${language}: ${key}`);
  }
});

test("in Japanese, a power of ten is spoken as one and large counts are grouped", () => {
  const { ja } = languages;
  assert.deepEqual(WaveReadout.number(3.1050e48, ja), { shown: "3.1050 × 10⁴⁸", spoken: "3.1050かける10の48乗" });
  const readout = new WaveReadout.Readout();
  readout.record(23062, 3.105e48, 0);
  assert.equal(WaveReadout.lines(readout, ja).steps, "1,176,162");
});

// The page's description is in its HTML for those that read no script, and in the words for the switch.
test("the page's own description is the English words' one", () => {
  const page = fs.readFileSync(new URL("../../web/index.html", import.meta.url), "utf8");
  assert.equal(/<meta name="description" content="([^"]*)">/.exec(page)?.[1], languages.en.description);
});
