// The page's words, English or Japanese: the language last chosen with the
// switch, or else the first of the two among the browser's preferred
// languages. Each language's words are one file, web/words/LANGUAGE.json,
// fetched when first needed (the single file carries both).
export const LANGUAGES = ["en", "ja"];
const CHOSEN = "wave1d-language";

export function preferredLanguage(chosen, browserLanguages) {
  if (LANGUAGES.includes(chosen)) return chosen;
  const preferred = browserLanguages.map((tag) => tag.toLowerCase().split("-")[0]);
  return preferred.find((language) => LANGUAGES.includes(language)) ?? "en";
}

// Shows the words of a language in every element that names one
// (data-words, data-words-aria-label) and hands them to `shown(words)`;
// `addressOf` gives a file's address in this release.
export function startWords(release, addressOf, shown) {
  let asked = null;  // the language last asked for
  async function use(language) {
    asked = language;
    const inlined = document.getElementById(`words-${language}`);
    const words = inlined ? JSON.parse(inlined.textContent)
                          : await (await fetch(addressOf(`words/${language}.json`))).json();
    if (language !== asked) return;  // switched again while these words were on their way
    document.documentElement.lang = language;
    for (const element of document.querySelectorAll("[data-words]")) element.innerHTML = words[element.dataset.words];
    for (const element of document.querySelectorAll("[data-words-aria-label]"))
      element.setAttribute("aria-label", words[element.dataset.wordsAriaLabel]);
    for (const button of document.querySelectorAll("[data-language]"))
      button.setAttribute("aria-pressed", String(button.dataset.language === language));
    // The growth page in the same language; in the single file, its section.
    document.getElementById("growth-link").href = inlined ? `#${words.growthPage}` : addressOf(words.growthPage);
    document.querySelector("meta[name=description]").content = words.description;
    const version = document.getElementById("version");
    version.textContent = words.version.replace("{version}", release.version).replace("{revision}", release.revision);
    version.hidden = !release.version;
    shown(words);
  }
  for (const button of document.querySelectorAll("[data-language]"))
    button.addEventListener("click", () => {
      try { localStorage.setItem(CHOSEN, button.dataset.language); } catch {}
      use(button.dataset.language);
    });
  let chosen = null;
  try { chosen = localStorage.getItem(CHOSEN); } catch {}
  return use(preferredLanguage(chosen, navigator.languages ?? [navigator.language]));
}
