// node peers.js FILE PACKAGE: parses FILE with an npm peer reader of the same
// format and prints the best MB/s of five runs.
const fs = require("fs");
const [file, name] = process.argv.slice(2);
const text = fs.readFileSync(file, "utf8");
const parsers = {
  "vdf": () => require("vdf").parse,
  "simple-vdf": () => require("simple-vdf").parse,
  "@node-steam/vdf": () => require("@node-steam/vdf").parse,
};
const parse = parsers[name]();
let best = Infinity;
let libraries = 0;
for (let i = 0; i < 5; ++i) {
  const start = process.hrtime.bigint();
  const tree = parse(text);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  libraries = Object.keys(tree.libraryfolders).length;
  best = Math.min(best, seconds);
}
console.log(JSON.stringify({ mb_per_s: Buffer.byteLength(text) / 1e6 / best, libraries }));
