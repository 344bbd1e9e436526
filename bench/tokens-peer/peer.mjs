#!/usr/bin/env node
// Reads FILE (or standard input), removes terminal escapes and Markdown mark-up, splits at
// white space and writes one JSON object per word per line.
import { readFileSync, writeSync } from "node:fs";
import stripAnsi from "strip-ansi";
import removeMarkdown from "remove-markdown";

const input = readFileSync(process.argv[2] ?? 0, "utf8");
const words = removeMarkdown(stripAnsi(input)).split(/\s+/);
let out = [];
let size = 0;
let index = 0;
for (const word of words) {
  if (word === "") continue;
  const line = JSON.stringify({ text: word, index: index++ }) + "\n";
  out.push(line);
  size += line.length;
  if (size >= 1 << 20) {
    writeSync(1, out.join(""));
    out = [];
    size = 0;
  }
}
writeSync(1, out.join(""));
