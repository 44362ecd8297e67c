// Generates histories.csv and expected.csv for the rekendo-schedule reference test.
// Expected values come from ts-fsrs 5.4.2 (FSRS-6, default parameters).
// Run from a folder where `npm install ts-fsrs@5.4.2` was done:
//   node /path/to/tests/fsrs_reference/make_reference.mjs
import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';

// Resolve ts-fsrs from the current directory, not from this file's location.
const require = createRequire(join(process.cwd(), 'index.js'));
const { fsrs, generatorParameters, dateDiffInDays, FSRSVersion } = require('ts-fsrs');
if (!FSRSVersion.startsWith('v5.4.2 ')) throw new Error(`need ts-fsrs 5.4.2, got ${FSRSVersion}`);

const f = fsrs(generatorParameters({ enable_fuzz: false, enable_short_term: true, request_retention: 0.9 }));
if (f.parameters.w.length !== 21 || f.parameters.maximum_interval !== 36500) throw new Error('unexpected parameters');

// Fixed-seed PRNG (mulberry32).
function mulberry32(a) {
  return () => {
    a = (a + 0x6d2b79f5) | 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const rand = mulberry32(20260101);
const randInt = (lo, hi) => lo + Math.floor(rand() * (hi - lo + 1)); // inclusive
const pickGrade = () => { const u = rand(); return u < 0.15 ? 1 : u < 0.40 ? 2 : u < 0.85 ? 3 : 4; };

const DAY = 86400, START = Date.UTC(2026, 0, 1) / 1000;
const iso = (sec) => new Date(sec * 1000).toISOString().replace('.000Z', 'Z');

// Build random histories: 40% same-day gaps (minutes to hours, staying within the UTC day),
// otherwise 1..60 days later at a random time of day. Times strictly increase per item.
const events = [];
for (let n = 1; n <= 300; n++) {
  const item = 'h' + String(n).padStart(3, '0');
  let t = START + randInt(0, 9) * DAY + randInt(6 * 3600, 20 * 3600) + randInt(0, 59);
  const count = randInt(5, 25);
  for (let k = 0; k < count; k++) {
    if (k > 0) {
      const left = DAY - 1 - (t % DAY); // seconds until 23:59:59 of the same day
      if (rand() < 0.4 && left >= 60) t += randInt(60, Math.min(left, 6 * 3600));
      else t = (Math.floor(t / DAY) + randInt(1, 60)) * DAY + randInt(0, DAY - 1);
    }
    events.push({ item, n, k, t, grade: pickGrade() });
  }
}
// Interleave items chronologically (ties broken by item, then by review index).
events.sort((a, b) => a.t - b.t || a.n - b.n || a.k - b.k);

// Replay each item with ts-fsrs's memory-state functions.
const state = new Map(); // item -> { mem, t }
const hist = [], exp = [];
let sameDay = 0, sameDayHard = 0;
for (const e of events) {
  const prev = state.get(e.item);
  const elapsed = prev ? dateDiffInDays(new Date(prev.t * 1000), new Date(e.t * 1000)) : 0;
  if (prev && elapsed === 0) { sameDay++; if (e.grade === 2) sameDayHard++; }
  const mem = f.next_state(prev ? prev.mem : null, elapsed, e.grade);
  const interval = f.next_interval(mem.stability, elapsed);
  state.set(e.item, { mem, t: e.t });
  const line = `${e.item},${iso(e.t)},${e.grade}`;
  hist.push(line);
  exp.push(`${line},${mem.stability.toFixed(6)},${mem.difficulty.toFixed(6)},${interval}`);
}

const dir = new URL('.', import.meta.url).pathname;
writeFileSync(join(dir, 'histories.csv'), hist.join('\n') + '\n');
writeFileSync(join(dir, 'expected.csv'), exp.join('\n') + '\n');
console.log(`${FSRSVersion}: ${events.length} reviews, ${sameDay} same-day, ${sameDayHard} same-day Hard`);
