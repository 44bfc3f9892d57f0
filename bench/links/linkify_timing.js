// Times linkify-it's match() on a UTF-8 text file in-process and prints the median in ms and the
// number of links, as "median_ms=... links=...".
'use strict';
const fs = require('fs');
const path = require('path');
const [file, roundsText, modules] = process.argv.slice(2);
const LinkifyIt = require(path.join(modules, 'linkify-it'));
const linkify = new LinkifyIt();
const text = fs.readFileSync(file, 'utf8');
const rounds = Math.max(1, parseInt(roundsText, 10));
const times = [];
let links = 0;
for (let i = 0; i < rounds; i++) {
  const start = process.hrtime.bigint();
  const found = linkify.match(text);
  const end = process.hrtime.bigint();
  times.push(Number(end - start) / 1e6);
  links = found ? found.length : 0;
}
times.sort((a, b) => a - b);
console.log(`median_ms=${times[Math.floor(times.length / 2)].toFixed(3)} links=${links}`);
