import { SourceMap } from "node:module";
import { readFileSync } from "node:fs";
const map = new SourceMap(JSON.parse(readFileSync("out/app.min.js.map", "utf8")));
const js = readFileSync("out/app.min.js", "utf8").split("\n")[0];
for (const needle of ["function o", "n.push", "toFixed", "toUpperCase", "name:\"coffee\"", "console", "m({"]) {
  const col = js.indexOf(needle);
  const e = map.findEntry(0, col);
  console.log(JSON.stringify([needle, col, e.originalSource, e.originalLine, e.originalColumn, e.name ?? ""]));
}
