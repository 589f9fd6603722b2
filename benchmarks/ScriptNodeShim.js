// Runs a pattern in Node.js as the reference for the pattern language benchmark.
// Usage: node ScriptNodeShim.js PATTERN.js LEDS FRAMES
// Prints the mean processor milliseconds per frame (beforeRender(200) and every LED) after a
// warm-up.
'use strict';
const fs = require('fs');

const [file, ledsText, framesText] = process.argv.slice(2);
const leds = Number(ledsText), frames = Number(framesText);

// ---- the built-ins ----
const g = globalThis;
let R = 0, G = 0, B = 0, nowMs = 0;
const wrap = (v) => v - Math.floor(v);
Object.assign(g, {
  abs: Math.abs, acos: Math.acos, asin: Math.asin, atan: Math.atan, atan2: Math.atan2, ceil: Math.ceil,
  cos: Math.cos, exp: Math.exp, floor: Math.floor, log: Math.log, log2: Math.log2, max: Math.max,
  min: Math.min, pow: Math.pow, round: Math.round, sin: Math.sin, sqrt: Math.sqrt, tan: Math.tan,
  trunc: Math.trunc,
  clamp: (v, lo, hi) => Math.min(Math.max(v, lo), hi),
  frac: (v) => v - Math.trunc(v),
  hypot: (x, y) => Math.sqrt(x * x + y * y),
  hypot3: (x, y, z) => Math.sqrt(x * x + y * y + z * z),
  mod: (x, y) => x - y * Math.floor(x / y),
  random: (m) => Math.random() * m,
  time: (interval) => wrap(nowMs / (65536 * interval)),
  wave: (v) => (1 + Math.sin(wrap(v) * 2 * Math.PI)) / 2,
  triangle: (v) => { v = wrap(v) * 2; return v < 1 ? v : 2 - v; },
  square: (v, duty) => (wrap(v) < duty ? 1 : 0),
  mix: (lo, hi, w) => lo + (hi - lo) * w,
  smoothstep: (lo, hi, v) => { let t = Math.min(Math.max((v - lo) / (hi - lo), 0), 1); return t * t * (3 - 2 * t); },
  E: Math.E, PI: Math.PI, PI2: 2 * Math.PI, PI3_4: 3 * Math.PI / 4, PISQ: Math.PI * Math.PI, LN2: Math.LN2,
  LN10: Math.LN10, LOG2E: Math.LOG2E, LOG10E: Math.LOG10E, SQRT1_2: Math.SQRT1_2, SQRT2: Math.SQRT2,
  pixelCount: leds,
  array: (n) => new Array(Math.floor(n)).fill(0),
  arrayLength: (a) => a.length,
  arraySum: (a) => a.reduce((s, v) => s + v, 0),
  arrayForEach: (a, f) => a.forEach(f),
  arrayMutate: (a, f) => { for (let i = 0; i < a.length; i++) a[i] = f(a[i], i, a); },
  arrayMapTo: (s, d, f) => { for (let i = 0; i < s.length; i++) { const v = f(s[i], i, s); if (i < d.length) d[i] = v; } },
  arrayReduce: (a, f, init) => a.reduce(f, init),
  arraySort: (a) => a.sort((x, y) => x - y),
  arraySortBy: (a, f) => a.sort(f),
  hsv: (h, s, v) => {
    h = wrap(h); s = Math.min(Math.max(s, 0), 1); v = Math.min(Math.max(v, 0), 1);
    const h6 = h * 6, i = Math.floor(h6), f = h6 - i;
    const p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i % 6) {
      case 0: R = v; G = t; B = p; break; case 1: R = q; G = v; B = p; break;
      case 2: R = p; G = v; B = t; break; case 3: R = p; G = q; B = v; break;
      case 4: R = t; G = p; B = v; break; default: R = v; G = p; B = q;
    }
  },
  rgb: (r, gr, b) => { R = r; G = gr; B = b; },
});
g.hsv24 = g.hsv;
Array.prototype.mutate = function (f) { g.arrayMutate(this, f); };
Array.prototype.mapTo = function (d, f) { g.arrayMapTo(this, d, f); };
Array.prototype.sum = function () { return g.arraySum(this); };

let palette = null;
g.setPalette = (a) => { palette = a; };
g.paint = (v, bri = 1) => {
  const p = palette, n = p.length / 4; v = wrap(v);
  let i = 0; while (i < n && p[i * 4] < v) i++;
  if (i === 0 || i === n) { const k = (i === 0 ? 0 : n - 1) * 4; R = p[k + 1]; G = p[k + 2]; B = p[k + 3]; }
  else { const lo = (i - 1) * 4, hi = i * 4, t = (v - p[lo]) / (p[hi] - p[lo]);
    R = p[lo + 1] + (p[hi + 1] - p[lo + 1]) * t; G = p[lo + 2] + (p[hi + 2] - p[lo + 2]) * t; B = p[lo + 3] + (p[hi + 3] - p[lo + 3]) * t; }
  R *= bri; G *= bri; B *= bri;
};

// Transforms: a 4x4 matrix, each call applied after the ones before it.
let M = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1];
const after = (t) => { const m = M, r = new Array(16);
  for (let i = 0; i < 4; i++) for (let j = 0; j < 4; j++) { let s = 0; for (let k = 0; k < 4; k++) s += t[i * 4 + k] * m[k * 4 + j]; r[i * 4 + j] = s; }
  M = r; };
const rot = (a, i, j, sign) => { const c = Math.cos(a), s = Math.sin(a) * sign, t = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1];
  t[i * 4 + i] = c; t[i * 4 + j] = -s; t[j * 4 + i] = s; t[j * 4 + j] = c; after(t); };
g.resetTransform = () => { M = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]; };
g.translate = (x, y) => after([1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, 0, 0, 0, 0, 1]);
g.translate3D = (x, y, z) => after([1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1]);
g.scale = (x, y) => after([x, 0, 0, 0, 0, y, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]);
g.scale3D = (x, y, z) => after([x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1]);
g.rotate = g.rotateZ = (a) => rot(a, 0, 1, 1);
g.rotateX = (a) => rot(a, 1, 2, 1);
g.rotateY = (a) => rot(a, 0, 2, -1);

// Array indices are whole numbers on the device: `a[i]` becomes `a[(i)|0]`.
function truncateIndices(src) {
  let out = '', stack = [], last = '';
  for (let i = 0; i < src.length; i++) {
    const c = src[i];
    if (c === '/' && src[i + 1] === '/') { const e = src.indexOf('\n', i); const j = e < 0 ? src.length : e; out += src.slice(i, j); i = j - 1; continue; }
    if (c === '/' && src[i + 1] === '*') { const e = src.indexOf('*/', i + 2); const j = e < 0 ? src.length : e + 2; out += src.slice(i, j); i = j - 1; continue; }
    if (c === '[') { const index = /[\w$\])]/.test(last); stack.push(index); out += index ? '[(' : '['; }
    else if (c === ']') { out += stack.pop() ? ')|0]' : ']'; }
    else out += c;
    if (!/\s/.test(c)) last = c;
  }
  return out;
}

// Improved Perlin noise with the same shuffle as the runtime.
const perm = new Uint8Array(256);
{ for (let i = 0; i < 256; i++) perm[i] = i; let s = 0x9E3779B9;
  for (let i = 255; i > 0; i--) { s = (Math.imul(s, 1664525) + 1013904223) >>> 0; const j = (s >>> 8) % (i + 1); const t = perm[i]; perm[i] = perm[j]; perm[j] = t; } }
let wrapX = 256, wrapY = 256, wrapZ = 256;
g.setPerlinWrap = (x, y, z) => { wrapX = x; wrapY = y; wrapZ = z; };
const fade = (t) => t * t * t * (t * (t * 6 - 15) + 10);
const lerp = (t, a, b) => a + t * (b - a);
const grad = (h, x, y, z) => { h &= 15; const u = h < 8 ? x : y, v = h < 4 ? y : (h === 12 || h === 14 ? x : z);
  return ((h & 1) ? -u : u) + ((h & 2) ? -v : v); };
const cell = (c, w) => ((c % w) + w) % w;
function perlin(x, y, z, s) {
  const fx = Math.floor(x), fy = Math.floor(y), fz = Math.floor(z), dx = x - fx, dy = y - fy, dz = z - fz;
  const x0 = cell(fx, wrapX), x1 = cell(fx + 1, wrapX), y0 = cell(fy, wrapY), y1 = cell(fy + 1, wrapY);
  const z0 = cell(fz, wrapZ), z1 = cell(fz + 1, wrapZ); s &= 255;
  const h = (a, b, c) => perm[(perm[(perm[(a + s) & 255] + b) & 255] + c) & 255];
  const u = fade(dx), v = fade(dy), w = fade(dz);
  return lerp(w, lerp(v, lerp(u, grad(h(x0, y0, z0), dx, dy, dz), grad(h(x1, y0, z0), dx - 1, dy, dz)),
    lerp(u, grad(h(x0, y1, z0), dx, dy - 1, dz), grad(h(x1, y1, z0), dx - 1, dy - 1, dz))),
  lerp(v, lerp(u, grad(h(x0, y0, z1), dx, dy, dz - 1), grad(h(x1, y0, z1), dx - 1, dy, dz - 1)),
    lerp(u, grad(h(x0, y1, z1), dx, dy - 1, dz - 1), grad(h(x1, y1, z1), dx - 1, dy - 1, dz - 1))));
}
g.perlin = perlin;
g.perlinFbm = (x, y, z, lac, gain, oct) => { let f = 1, a = 1, s = 0;
  for (let i = 0; i < oct; i++) { s += perlin(x * f, y * f, z * f, i) * a; f *= lac; a *= gain; } return s; };
g.perlinTurbulence = (x, y, z, lac, gain, oct) => { let f = 1, a = 1, s = 0;
  for (let i = 0; i < oct; i++) { s += Math.abs(perlin(x * f, y * f, z * f, i)) * a; f *= lac; a *= gain; } return s; };
g.perlinRidge = (x, y, z, lac, gain, off, oct) => { let f = 1, p = 1, a = 0.5, s = 0;
  for (let i = 0; i < oct; i++) { let r = off - Math.abs(perlin(x * f, y * f, z * f, i)); r *= r; s += r * a * p; p = r; f *= lac; a *= gain; } return s; };

// ---- the pattern: `export` dropped, declarations without a value start at 0 as on the device ----
let source = truncateIndices(fs.readFileSync(file, 'utf8').replace(/\bexport\s+/g, ''));
source = source.replace(/\bvar\s+([A-Za-z_$][\w$]*(?:\s*,\s*[A-Za-z_$][\w$]*)*)\s*(?=;|\n)/g,
  (m, names) => 'var ' + names.split(',').map((n) => n.trim() + ' = 0').join(', '));
const entries = new Function(source +
  '\nreturn {beforeRender: typeof beforeRender === "function" ? beforeRender : null,' +
  ' render2D: typeof render2D === "function" ? render2D : null,' +
  ' render3D: typeof render3D === "function" ? render3D : null, render: typeof render === "function" ? render : null};')();

// The same grid the C++ benchmark uses, in world units.
const width = Math.ceil(Math.sqrt(leds));
const span = Math.max(width - 1, Math.floor((leds - 1) / width)) || 1;
const k = (1 - 1 / 65536) / span;
const xs = new Float64Array(leds), ys = new Float64Array(leds);
for (let i = 0; i < leds; i++) { xs[i] = (i % width) * k; ys[i] = Math.floor(i / width) * k; }
const out = new Float64Array(leds * 3);

function frame() {
  nowMs += 200;
  if (entries.beforeRender) entries.beforeRender(200);
  const m = M;
  for (let i = 0; i < leds; i++) {
    R = G = B = 0;
    const x = m[0] * xs[i] + m[1] * ys[i] + m[3], y = m[4] * xs[i] + m[5] * ys[i] + m[7];
    if (entries.render2D) entries.render2D(i, x, y);
    else if (entries.render3D) entries.render3D(i, x, y, m[8] * xs[i] + m[9] * ys[i] + m[11]);
    else entries.render(i);
    out[i * 3] = R; out[i * 3 + 1] = G; out[i * 3 + 2] = B;
  }
}

for (let f = 0; f < 20; f++) frame();
// Processor time rather than wall time: the machine may be shared.
const start = process.cpuUsage();
for (let f = 0; f < frames; f++) frame();
const used = process.cpuUsage(start);
const ms = (used.user + used.system) / 1000;
console.log((ms / frames).toFixed(6));
