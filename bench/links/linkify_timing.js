// Times linkify-it's match() on a UTF-8 text file in-process and prints the median in ms and the
// number of links, as "median_ms=... links=...", in processor time (as the other side counts).
'use strict';
const fs = require('fs');
const path = require('path');
const [file, roundsText, modules] = process.argv.slice(2);
const linkifyModule = require(path.join(modules, 'linkify-it'));
const LinkifyIt = linkifyModule.LinkifyIt || linkifyModule.default || linkifyModule;
const linkify = new LinkifyIt();
const text = fs.readFileSync(file, 'utf8');
const rounds = Math.max(1, parseInt(roundsText, 10));
const times = [];
let links = 0;
for (let i = 0; i < rounds; i++) {
  const start = process.cpuUsage();
  const found = linkify.match(text);
  const used = process.cpuUsage(start);
  times.push((used.user + used.system) / 1e3);
  links = found ? found.length : 0;
}
times.sort((a, b) => a - b);
console.log(`median_ms=${times[Math.floor(times.length / 2)].toFixed(3)} links=${links}`);
