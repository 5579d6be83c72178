// Draws the territory base map (560 x 375, RGB) from Natural Earth land data.
//
// The seed layout of the provinces is a stylised Europe, not one projection,
// so the coastlines are warped onto it: every painted piece is paired with the
// place it stands for, and a thin-plate spline fitted to those pairs maps each
// pixel back to a longitude and latitude. Provinces are cut inside the land as
// geodesic Voronoi cells of the seeds, the sea is split into sea areas the same
// way, and the outlines are drawn in the reserved border colour so that a
// four-neighbour fill from each seed covers exactly its province.
//
// Usage: node make_base_map.mjs OUTPUT.png [--debug]
// The result is verified before it is written; any violated property aborts.

import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
import * as topojson from 'topojson-client';
import { PNG } from 'pngjs';

const require = createRequire(import.meta.url);
const here = path.dirname(fileURLToPath(import.meta.url));

const W = 560;
const H = 375;
const N = W * H;
const BORDER = [1, 1, 1];
const LAND = [242, 255, 232];
const LAND_SHADE = [210, 222, 202];

// ---------------------------------------------------------------------------
// Seeds, read from the renderer's own table so the two can never drift apart.

function readSeeds() {
  const file = path.resolve(here, '../../map/province_tables.cpp');
  const src = fs.readFileSync(file, 'utf8').replace(/\/\/.*$/gm, '');
  const seedBlock = src.match(/ProvinceSeeds\s*=\s*\{\{([\s\S]*?)\}\};/)[1];
  const seeds = [...seedBlock.matchAll(/\{\s*(-?\d+)\s*,\s*(-?\d+)\s*\}/g)].map((m) => [+m[1], +m[2]]);
  if (seeds.length !== 78) throw new Error(`expected 78 province seeds, read ${seeds.length}`);
  const extraBlock = src.match(/ExtraSeeds\s*=\s*\{\{([\s\S]*?)\}\};/)[1];
  const extras = [...extraBlock.matchAll(/\{\s*(\d+)\s*,\s*\{\s*(-?\d+)\s*,\s*(-?\d+)\s*\}\s*\}/g)].map((m) => ({
    province: +m[1], x: +m[2], y: +m[3],
  }));
  if (extras.length !== 3) throw new Error(`expected 3 extra seeds, read ${extras.length}`);
  const pieces = seeds.map(([x, y], i) => ({ key: String(28 + i), province: 28 + i, x, y }));
  for (const e of extras) pieces.push({ key: `${e.province}b`, province: e.province, x: e.x, y: e.y });
  return pieces;
}

// ---------------------------------------------------------------------------
// What each piece stands for: [longitude, latitude] of a point well inside it.
// Pieces without a place are drawn as boxes or islands of their own.

const PLACES = {
  28: [11.0, 63.2], // Norway, Trondelag
  29: [10.4, 60.8], // Norway, east
  30: [8.8, 58.9], // Norway, south
  31: [7.2, 61.9], // Norway, Møre and Sogn
  62: [6.3, 60.0], // Norway, Hordaland
  65: [14.6, 57.6], // Sweden, south
  32: [15.6, 53.9], // Pomerania
  86: [16.2, 62.6], // Sweden, north
  87: [23.0, 63.5], // Finland, west
  82: [28.0, 63.5], // Finland, east
  95: [40.5, 63.5], // Arkhangelsk
  39: [32.5, 61.0], // Leningrad and Karelia
  83: [25.6, 58.8], // Estonia
  85: [25.6, 56.9], // Latvia
  84: [23.9, 55.3], // Lithuania
  40: [30.6, 58.3], // Novgorod
  47: [27.6, 55.2], // Byelorussia, Polotsk
  46: [29.5, 55.6], // Byelorussia, Vitebsk
  41: [32.2, 55.0], // Smolensk
  44: [32.5, 52.8], // Bryansk and Gomel
  42: [37.0, 54.6], // Moscow
  43: [28.6, 51.0], // Ukraine, north-west
  45: [32.0, 48.3], // Ukraine, south
  70: [28.2, 47.2], // Bessarabia
  69: [24.2, 46.5], // Transylvania
  73: [25.0, 44.5], // Wallachia
  75: [25.2, 42.6], // Bulgaria
  72: [20.6, 44.0], // Serbia
  71: [15.8, 45.3], // Croatia
  74: [21.8, 39.6], // Greece
  76: [23.8, 38.3], // Attica
  '76b': [24.9, 35.2], // Crete
  93: [29.8, 39.8], // Anatolia, west
  94: [35.5, 39.2], // Anatolia, east
  81: [36.0, 32.5], // Levant
  105: [29.0, 29.5], // Egypt
  80: [15.5, 30.0], // Libya
  79: [9.5, 34.5], // Tunisia
  78: [3.0, 35.0], // Algeria
  77: [-6.0, 33.0], // Morocco
  92: [-4.5, 40.6], // Spain, north and centre
  104: [-3.0, 37.8], // Spain, south
  61: [14.2, 37.5], // Sicily
  '61b': [9.0, 40.0], // Sardinia
  60: [15.8, 40.8], // Italy, south
  59: [12.6, 42.8], // Italy, centre
  58: [11.8, 45.6], // Italy, north-east
  57: [8.6, 45.2], // Italy, north-west
  88: [8.0, 46.8], // Switzerland
  38: [15.0, 47.6], // Austria
  68: [19.2, 47.0], // Hungary
  67: [19.6, 48.7], // Slovakia
  66: [17.0, 49.5], // Moravia
  37: [14.2, 49.9], // Bohemia
  49: [23.5, 51.8], // Poland, east
  48: [22.0, 52.6], // Poland, Warsaw
  35: [25.0, 54.0], // Poland, Wilno
  34: [20.9, 54.0], // East Prussia
  33: [17.8, 53.0], // Danzig corridor and Posen
  63: [9.2, 56.0], // Denmark
  36: [11.2, 53.1], // Germany, north
  64: [7.4, 51.3], // Germany, Rhineland
  53: [8.6, 49.0], // Germany, south-west
  50: [5.0, 52.3], // Netherlands
  51: [6.5, 52.4], // Netherlands, east
  52: [5.5, 50.5], // Belgium
  54: [2.4, 48.9], // France, north
  55: [5.8, 48.4], // France, east
  56: [4.8, 45.8], // France, south-east
  91: [2.4, 45.6], // France, centre
  89: [-1.5, 47.8], // France, west
  90: [-0.4, 44.3], // France, south-west
  99: [-4.2, 56.9], // Scotland
  '99b': [-1.6, 52.5], // England
  100: [-7.8, 53.3], // Ireland
};

// Pieces drawn in a framed box: [x0, y0, x1, y1] of the frame (inclusive); a
// side lying on the picture edge gets no frame line, the edge closes it.
const BOXES = {
  98: { rect: [49, 249, 65, 265], fill: 'sea' },
  101: { rect: [0, 0, 22, 16], fill: 'land' },
  102: { rect: [46, 0, 70, 16], fill: 'land' },
  96: { rect: [0, 139, 20, 158], fill: 'land' },
  97: { rect: [0, 166, 20, 185], fill: 'land' },
};

const SEA_AREA_COUNT = 26;
// [x0, y0, x1, y1]: the Norwegian coast; the Sea of Azov, which the warp draws
// as a sliver that would cut the Kuban off from every province.
const FILL_INLETS = [[200, 0, 300, 50], [500, 183, 559, 203]];
const BORDER_PENALTY = 30; // path cost, in pixels, of crossing a real border
const SPECK = 25; // unseeded land areas smaller than this are filled in
const LAMBDA = 0.002; // smoothing of the spline

// ---------------------------------------------------------------------------
// Small numeric helpers.

function mulberry32(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

function solve(A, b) {
  const n = b.length;
  const M = A.map((row, i) => [...row, b[i]]);
  for (let c = 0; c < n; c++) {
    let p = c;
    for (let r = c + 1; r < n; r++) if (Math.abs(M[r][c]) > Math.abs(M[p][c])) p = r;
    [M[c], M[p]] = [M[p], M[c]];
    const d = M[c][c];
    if (Math.abs(d) < 1e-12) throw new Error('singular spline system');
    for (let r = 0; r < n; r++) {
      if (r === c) continue;
      const f = M[r][c] / d;
      if (f === 0) continue;
      for (let k = c; k <= n; k++) M[r][k] -= f * M[c][k];
    }
  }
  return M.map((row, i) => row[n] / row[i]);
}

const tpsU = (r2) => (r2 === 0 ? 0 : 0.5 * r2 * Math.log(r2));

// Thin-plate spline from src points to dst values (two outputs), with a small
// smoothing term so that nearly clashing pairs bend the plane gently.
function fitTps(src, dst, lambda) {
  const n = src.length;
  const m = n + 3;
  const A = Array.from({ length: m }, () => new Array(m).fill(0));
  for (let i = 0; i < n; i++) {
    for (let j = 0; j < n; j++) {
      const dx = src[i][0] - src[j][0];
      const dy = src[i][1] - src[j][1];
      A[i][j] = tpsU(dx * dx + dy * dy) + (i === j ? lambda : 0);
    }
    A[i][n] = A[n][i] = 1;
    A[i][n + 1] = A[n + 1][i] = src[i][0];
    A[i][n + 2] = A[n + 2][i] = src[i][1];
  }
  const coef = [0, 1].map((d) => solve(A, [...dst.map((v) => v[d]), 0, 0, 0]));
  const sx = Float64Array.from(src, (p) => p[0]);
  const sy = Float64Array.from(src, (p) => p[1]);
  return (x, y) => {
    const out = [coef[0][n] + coef[0][n + 1] * x + coef[0][n + 2] * y, coef[1][n] + coef[1][n + 1] * x + coef[1][n + 2] * y];
    for (let i = 0; i < n; i++) {
      const dx = x - sx[i];
      const dy = y - sy[i];
      const u = tpsU(dx * dx + dy * dy);
      out[0] += coef[0][i] * u;
      out[1] += coef[1][i] * u;
    }
    return out;
  };
}

// Binary heap of (priority, index) for the geodesic Voronoi passes.
class Heap {
  constructor() { this.p = []; this.v = []; }
  get size() { return this.p.length; }
  push(pri, val) {
    const { p, v } = this;
    let i = p.length;
    p.push(pri); v.push(val);
    while (i > 0) {
      const j = (i - 1) >> 1;
      if (p[j] <= pri) break;
      p[i] = p[j]; v[i] = v[j]; i = j;
    }
    p[i] = pri; v[i] = val;
  }
  pop() {
    const { p, v } = this;
    const top = v[0];
    const lp = p.pop(); const lv = v.pop();
    const n = p.length;
    if (n > 0) {
      let i = 0;
      for (;;) {
        let c = 2 * i + 1;
        if (c >= n) break;
        if (c + 1 < n && p[c + 1] < p[c]) c++;
        if (p[c] >= lp) break;
        p[i] = p[c]; v[i] = v[c]; i = c;
      }
      p[i] = lp; v[i] = lv;
    }
    return top;
  }
}

const STEPS8 = [[1, 0, 1], [-1, 0, 1], [0, 1, 1], [0, -1, 1], [1, 1, Math.SQRT2], [1, -1, Math.SQRT2], [-1, 1, Math.SQRT2], [-1, -1, Math.SQRT2]];
const STEPS4 = [[1, 0], [-1, 0], [0, 1], [0, -1]];

// Grows labels from the given sources over the pixels where passable() holds,
// by path length (eight-neighbour steps), so each region stays connected.
function growRegions(label, sources, passable, extraCost = () => 0) {
  const dist = new Float64Array(N).fill(Infinity);
  const heap = new Heap();
  for (const { idx, id } of sources) {
    dist[idx] = 0; label[idx] = id; heap.push(0, idx);
  }
  while (heap.size) {
    const i = heap.pop();
    const x = i % W; const y = (i / W) | 0;
    const d = dist[i];
    for (const [dx, dy, c] of STEPS8) {
      const nx = x + dx; const ny = y + dy;
      if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
      const j = ny * W + nx;
      if (!passable(j)) continue;
      const nd = d + c + extraCost(i, j);
      if (nd < dist[j]) {
        dist[j] = nd; label[j] = label[i]; heap.push(nd, j);
      }
    }
  }
  return dist;
}

function components(mask) {
  const comp = new Int32Array(N).fill(-1);
  const sizes = [];
  const stack = [];
  for (let s = 0; s < N; s++) {
    if (!mask(s) || comp[s] >= 0) continue;
    const id = sizes.length;
    let size = 0;
    comp[s] = id; stack.push(s);
    while (stack.length) {
      const i = stack.pop(); size++;
      const x = i % W; const y = (i / W) | 0;
      for (const [dx, dy] of STEPS4) {
        const nx = x + dx; const ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
        const j = ny * W + nx;
        if (comp[j] < 0 && mask(j)) { comp[j] = id; stack.push(j); }
      }
    }
    sizes.push(size);
  }
  return { comp, sizes };
}

// ---------------------------------------------------------------------------
// Land raster in longitude/latitude, filled from Natural Earth's polygons.

const GRID = { lon0: -45, lon1: 70, lat0: 15, lat1: 82, res: 0.02 };

// Islands that are placed on their own rather than by the continental warp,
// told apart by the middle of their bounding box.
const GROUPS = [
  { code: 3, name: 'Ireland', lon: [-10.8, -5.4], lat: [51.3, 55.5] },
  { code: 2, name: 'Great Britain', lon: [-8.8, 2.0], lat: [49.8, 61.0] },
  { code: 4, name: 'Iceland', lon: [-25, -13], lat: [62.5, 67.5] },
  { code: 0, name: 'the Faroes', lon: [-8, -6], lat: [61.2, 62.6] },
];

function polygonsOf(feature) {
  const g = feature.geometry;
  if (!g) return [];
  return g.type === 'Polygon' ? [g.coordinates] : g.coordinates;
}

// Rings that cross the antimeridian (Eurasia reaches over it in Chukotka)
// jump from +180 to -180; make their longitudes continuous so that each ring
// crosses every row an even number of times in one sweep.
function unwrap(ring) {
  let shift = 0;
  return ring.map(([x, y], k) => {
    if (k > 0) {
      const prev = ring[k - 1][0];
      if (x - prev > 180) shift -= 360;
      else if (prev - x > 180) shift += 360;
    }
    return [x + shift, y];
  });
}

// Even-odd scanline fill of each code's rings into a longitude/latitude grid;
// returns a lookup (lon, lat) -> code, 0 outside every polygon.
function rasterise(ringsByCode, ArrayType) {
  const gw = Math.round((GRID.lon1 - GRID.lon0) / GRID.res);
  const gh = Math.round((GRID.lat1 - GRID.lat0) / GRID.res);
  const grid = new ArrayType(gw * gh);
  for (const [code, rings] of ringsByCode) {
    if (code === 0) continue;
    const rows = new Map();
    const copies = [];
    for (const rawRing of rings) {
      const ring = unwrap(rawRing);
      copies.push(ring);
      if (ring.some(([x]) => x < -180)) copies.push(ring.map(([x, y]) => [x + 360, y]));
      if (ring.some(([x]) => x > 180)) copies.push(ring.map(([x, y]) => [x - 360, y]));
    }
    for (const ring of copies) {
      for (let k = 0; k + 1 < ring.length; k++) {
        const [ax, ay] = ring[k];
        const [bx, by] = ring[k + 1];
        if (ay === by) continue;
        const lo = Math.min(ay, by); const hi = Math.max(ay, by);
        const r0 = Math.max(Math.ceil((lo - GRID.lat0) / GRID.res - 0.5), 0);
        const r1 = Math.min(Math.floor((hi - GRID.lat0) / GRID.res - 0.5), gh - 1);
        for (let r = r0; r <= r1; r++) {
          const lat = GRID.lat0 + (r + 0.5) * GRID.res;
          if (lat < lo || lat >= hi) continue;
          if (!rows.has(r)) rows.set(r, []);
          rows.get(r).push(ax + ((lat - ay) / (by - ay)) * (bx - ax));
        }
      }
    }
    for (const [r, list] of rows) {
      const xs = list.sort((p, q) => p - q);
      for (let k = 0; k + 1 < xs.length; k += 2) {
        const c0 = Math.max(0, Math.ceil((xs[k] - GRID.lon0) / GRID.res - 0.5));
        const c1 = Math.min(gw - 1, Math.floor((xs[k + 1] - GRID.lon0) / GRID.res - 0.5));
        for (let c = c0; c <= c1; c++) grid[r * gw + c] = code;
      }
    }
  }
  return (lon, lat) => {
    const c = Math.floor((lon - GRID.lon0) / GRID.res);
    const r = Math.floor((lat - GRID.lat0) / GRID.res);
    if (c < 0 || r < 0 || c >= gw || r >= gh) return 0;
    return grid[r * gw + c];
  };
}

function landGrid() {
  const topo = require('world-atlas/land-50m.json');
  const land = topojson.feature(topo, topo.objects.land);
  const byCode = new Map();
  for (const f of land.features) {
    for (const poly of polygonsOf(f)) {
      let x0 = Infinity; let x1 = -Infinity; let y0 = Infinity; let y1 = -Infinity;
      for (const [x, y] of poly[0]) {
        x0 = Math.min(x0, x); x1 = Math.max(x1, x); y0 = Math.min(y0, y); y1 = Math.max(y1, y);
      }
      const cx = (x0 + x1) / 2; const cy = (y0 + y1) / 2;
      const group = GROUPS.find((gr) => cx >= gr.lon[0] && cx <= gr.lon[1] && cy >= gr.lat[0] && cy <= gr.lat[1]);
      const code = group ? group.code : 1;
      if (!byCode.has(code)) byCode.set(code, []);
      byCode.get(code).push(...poly);
    }
  }
  return rasterise(byCode, Uint8Array);
}

// Present-day countries, used only to make province outlines prefer running
// along real borders where a border is near.
const OPEN_BORDERS = new Set(['Morocco', 'W. Sahara', 'Algeria', 'Tunisia', 'Libya', 'Egypt']);

function countryGrid() {
  const topo = require('world-atlas/countries-50m.json');
  const countries = topojson.feature(topo, topo.objects.countries);
  const byCode = new Map();
  countries.features.forEach((f, k) => {
    // North Africa's long desert borders would leave one province with most
    // of the Sahara: there the seeds alone divide the land.
    const code = OPEN_BORDERS.has(f.properties.name) ? 1 : k + 2;
    byCode.set(code, [...(byCode.get(code) ?? []), ...polygonsOf(f).flat()]);
  });
  return rasterise(byCode, Uint16Array);
}

// ---------------------------------------------------------------------------
// The warp: picture pixel -> longitude/latitude.

const LON0 = 15;
const KX = Math.cos((50 * Math.PI) / 180);

// Extra pairs (pixel, place) that hold coasts far from any seed in shape.
const ANCHORS = [
  [[160, 187], [-4.6, 48.4]], // Brittany, western tip
  [[99, 216], [-9.3, 42.9]], // Cape Finisterre
  [[104, 272], [-9.0, 37.0]], // Cape St Vincent
  [[150, 283], [-5.6, 36.0]], // Strait of Gibraltar
  [[118, 318], [-9.6, 30.6]], // Atlantic coast of Morocco
];

const ISLAND_PIECES = new Set(['99', '99b', '100']);

function makeWarp(pieces, lambda) {
  const src = [];
  const dst = [];
  for (const p of pieces) {
    const place = PLACES[p.key];
    if (!place || ISLAND_PIECES.has(p.key)) continue;
    src.push([p.x / 100, p.y / 100]);
    dst.push([(place[0] - LON0) * KX, place[1]]);
  }
  for (const [[x, y], place] of ANCHORS) {
    src.push([x / 100, y / 100]);
    dst.push([(place[0] - LON0) * KX, place[1]]);
  }
  const f = fitTps(src, dst, lambda);
  return (x, y) => {
    const [u, v] = f(x / 100, y / 100);
    return [u / KX + LON0, v];
  };
}

// Similarity (scale, turn, shift) taking geographic points to pixels, as complex
// numbers on a local equirectangular plane; returned inverted, pixel -> lon/lat.
const BRITISH_KX = Math.cos((54.5 * Math.PI) / 180);
const toPlane = ([lon, lat]) => [lon * BRITISH_KX, -lat];
const cmul = (a, b) => [a[0] * b[0] - a[1] * b[1], a[0] * b[1] + a[1] * b[0]];
const cdiv = (a, b) => {
  const d = b[0] * b[0] + b[1] * b[1];
  return [(a[0] * b[0] + a[1] * b[1]) / d, (a[1] * b[0] - a[0] * b[1]) / d];
};
const csub = (a, b) => [a[0] - b[0], a[1] - b[1]];
const cadd = (a, b) => [a[0] + b[0], a[1] + b[1]];

function similarityInverse(a, b) {
  return (x, y) => {
    const g = cdiv(csub([x, y], b), a);
    return [g[0] / BRITISH_KX, -g[1]];
  };
}

// Great Britain is set by its two seeds (Scotland, England); Ireland keeps
// Britain's scale and turn, a little smaller, around its own seed.
function britishWarps(pieces) {
  const seed = (k) => { const p = pieces.find((q) => q.key === k); return [p.x, p.y]; };
  const g1 = toPlane(PLACES['99']); const g2 = toPlane(PLACES['99b']);
  const p1 = seed('99'); const p2 = seed('99b');
  const a = cdiv(csub(p2, p1), csub(g2, g1));
  const b = csub(p1, cmul(a, g1));
  const ia = cmul(a, [IRELAND.scale, 0]);
  const ib = csub(IRELAND.at, cmul(ia, toPlane(PLACES['100'])));
  // Iceland stands for the far north-west power, upright, at its seed.
  const ca = [Math.hypot(a[0], a[1]) * ICELAND.scale, 0];
  const cb = csub(seed('103'), cmul(ca, toPlane(ICELAND.place)));
  return { britain: similarityInverse(a, b), ireland: similarityInverse(ia, ib), iceland: similarityInverse(ca, cb) };
}

const IRELAND = { scale: 0.8, at: [14, 70] };
const ICELAND = { scale: 0.5, place: [-18.7, 64.9] };

// ---------------------------------------------------------------------------

function main() {
  const args = process.argv.slice(2);
  const out = args.find((a) => !a.startsWith('--'));
  const debug = args.includes('--debug');
  if (!out) {
    console.error('usage: node make_base_map.mjs OUTPUT.png [--debug]');
    process.exit(2);
  }
  const pieces = readSeeds();
  const seedAt = new Map(pieces.map((p, i) => [p.y * W + p.x, i]));
  const isLand = landGrid();
  const warp = makeWarp(pieces, LAMBDA);
  const british = britishWarps(pieces);

  // 1. Land mask, 3 x 3 samples a pixel. Ireland wins over Britain, with a
  // strait of sea kept between them.
  const land = new Uint8Array(N);
  const irish = new Uint8Array(N);
  const sample = (fn, code, x, y) => {
    let n = 0;
    for (let sy = 0; sy < 3; sy++) {
      for (let sx = 0; sx < 3; sx++) {
        const [lon, lat] = fn(x + (sx + 0.5) / 3 - 0.5, y + (sy + 0.5) / 3 - 0.5);
        if (isLand(lon, lat) === code) n++;
      }
    }
    return n >= 5;
  };
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const i = y * W + x;
      if (sample(british.ireland, 3, x, y)) { irish[i] = 1; land[i] = 1; continue; }
      land[i] = sample(warp, 1, x, y) || sample(british.britain, 2, x, y) || sample(british.iceland, 4, x, y) ? 1 : 0;
    }
  }
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const i = y * W + x;
      if (!land[i] || irish[i]) continue;
      let nearIreland = false;
      for (let dy = -2; dy <= 2; dy++) {
        for (let dx = -2; dx <= 2; dx++) {
          const nx = x + dx; const ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < W && ny < H && irish[ny * W + nx]) nearIreland = true;
        }
      }
      if (nearIreland) land[i] = 0;
    }
  }
  if (debug) {
    for (const p of pieces) {
      const [lon, lat] = warp(p.x, p.y);
      console.log(`piece ${p.key} at (${p.x},${p.y}) -> ${lon.toFixed(2)}, ${lat.toFixed(2)} land=${land[p.y * W + p.x]}`);
    }
  }

  // Country under each land pixel, through the warp that drew it.
  const countryOf = countryGrid();
  const country = new Uint16Array(N);
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const i = y * W + x;
      const fn = irish[i] ? british.ireland : sample(british.britain, 2, x, y) ? british.britain : warp;
      country[i] = countryOf(...fn(x, y));
    }
  }

  // 2. Boxes and their margins are sea; the seeds left in the sea get islands.
  const boxOf = new Int32Array(N).fill(-1); // piece index of the box interior
  const frame = new Uint8Array(N);
  pieces.forEach((p, pi) => {
    const box = BOXES[p.key];
    if (!box) return;
    const [x0, y0, x1, y1] = box.rect;
    for (let y = Math.max(0, y0 - 3); y <= Math.min(H - 1, y1 + 3); y++) {
      for (let x = Math.max(0, x0 - 3); x <= Math.min(W - 1, x1 + 3); x++) land[y * W + x] = 0;
    }
    for (let y = y0; y <= y1; y++) {
      for (let x = x0; x <= x1; x++) {
        const edge = (x === x0 && x0 > 0) || (x === x1 && x1 < W - 1) || (y === y0 && y0 > 0) || (y === y1 && y1 < H - 1);
        if (edge) frame[y * W + x] = 1;
        else boxOf[y * W + x] = pi;
      }
    }
  });
  const islandRadius = 6.5;
  pieces.forEach((p) => {
    if (BOXES[p.key] || land[p.y * W + p.x]) return;
    if (debug) console.log(`island for ${p.key}`);
    for (let y = Math.floor(p.y - islandRadius); y <= p.y + islandRadius; y++) {
      for (let x = Math.floor(p.x - islandRadius); x <= p.x + islandRadius; x++) {
        if (x < 0 || y < 0 || x >= W || y >= H) continue;
        if ((x - p.x) ** 2 + (y - p.y) ** 2 <= islandRadius ** 2) land[y * W + x] = 1;
      }
    }
  });
  // The bottom row is a frame line of the whole picture.
  for (let x = 0; x < W; x++) frame[(H - 1) * W + x] = 1;

  // Fjords that the warp draws out into long gashes are filled: within the
  // given rectangles, sea that a 5 x 5 square cannot reach becomes land.
  for (const [x0, y0, x1, y1] of FILL_INLETS) {
    const r = 2;
    const fits = (cx, cy) => {
      for (let dy = -r; dy <= r; dy++) {
        for (let dx = -r; dx <= r; dx++) {
          const x = cx + dx; const y = cy + dy;
          if (x < 0 || y < 0 || x >= W || y >= H) continue;
          if (land[y * W + x]) return false;
        }
      }
      return true;
    };
    const reached = new Uint8Array(N);
    for (let cy = y0 - r; cy <= y1 + r; cy++) {
      for (let cx = x0 - r; cx <= x1 + r; cx++) {
        if (cx < 0 || cy < 0 || cx >= W || cy >= H || !fits(cx, cy)) continue;
        for (let dy = -r; dy <= r; dy++) {
          for (let dx = -r; dx <= r; dx++) {
            const x = cx + dx; const y = cy + dy;
            if (x >= 0 && y >= 0 && x < W && y < H) reached[y * W + x] = 1;
          }
        }
      }
    }
    for (let y = y0; y <= y1; y++) for (let x = x0; x <= x1; x++) if (!reached[y * W + x]) land[y * W + x] = 1;
  }

  // 3. Clean the mask: drop specks of land, fill small lakes and inlets.
  {
    const isSea = (i) => !land[i] && boxOf[i] < 0 && !frame[i];
    const { comp, sizes } = components(isSea);
    for (let i = 0; i < N; i++) if (comp[i] >= 0 && sizes[comp[i]] < 250) land[i] = 1;
    const lc = components((i) => land[i] === 1);
    const seeded = new Set(pieces.map((p) => lc.comp[p.y * W + p.x]).filter((c) => c >= 0));
    for (let i = 0; i < N; i++) {
      const c = lc.comp[i];
      if (c >= 0 && !seeded.has(c) && lc.sizes[c] < 90) land[i] = 0;
    }
  }

  // Seeded islands too small to paint grow by whole rings into the sea around.
  for (let round = 0; round < 6; round++) {
    const lc = components((i) => land[i] === 1);
    let grew = false;
    for (const p of pieces) {
      const c = lc.comp[p.y * W + p.x];
      if (c < 0 || lc.sizes[c] >= 110) continue;
      const add = [];
      for (let i = 0; i < N; i++) {
        if (land[i] || boxOf[i] >= 0 || frame[i]) continue;
        const x = i % W; const y = (i / W) | 0;
        let touches = false; let foreign = false;
        for (let dy = -2; dy <= 2; dy++) {
          for (let dx = -2; dx <= 2; dx++) {
            const nx = x + dx; const ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
            const o = lc.comp[ny * W + nx];
            if (o === c && Math.abs(dx) + Math.abs(dy) === 1) touches = true;
            else if (o >= 0 && o !== c) foreign = true;
          }
        }
        if (touches && !foreign) add.push(i);
      }
      for (const i of add) land[i] = 1;
      grew = grew || add.length > 0;
    }
    if (!grew) break;
  }

  // 4. Provinces: geodesic Voronoi cells of the seeds inside their land.
  const label = new Int32Array(N).fill(-1);
  const landPieces = [];
  pieces.forEach((p, pi) => {
    if (!BOXES[p.key]) landPieces.push({ idx: p.y * W + p.x, id: pi });
  });
  growRegions(label, landPieces, (j) => land[j] === 1,
    (i, j) => (country[i] !== country[j] && country[i] && country[j] ? BORDER_PENALTY : 0));
  let nextId = pieces.length;
  {
    // Land that no seed reaches (islands without a province) stays unpainted land.
    const { comp, sizes } = components((i) => land[i] === 1 && label[i] < 0);
    const ids = sizes.map(() => nextId++);
    for (let i = 0; i < N; i++) if (comp[i] >= 0) label[i] = ids[comp[i]];
  }
  for (let i = 0; i < N; i++) if (boxOf[i] >= 0) label[i] = boxOf[i];

  // 5. Sea areas: geodesic Voronoi cells of well-spread sea sites.
  const seaBase = nextId;
  const sea = (i) => !land[i] && boxOf[i] < 0 && !frame[i];
  {
    const rnd = mulberry32(7);
    let sites = [];
    const seaPixels = [];
    for (let i = 0; i < N; i++) if (sea(i)) seaPixels.push(i);
    // Farthest-point sampling, then a few Lloyd steps.
    const dmin = new Float64Array(seaPixels.length).fill(Infinity);
    let pick = seaPixels[Math.floor(rnd() * seaPixels.length)];
    for (let k = 0; k < SEA_AREA_COUNT; k++) {
      sites.push(pick);
      const px = pick % W; const py = (pick / W) | 0;
      let best = -1; let bestD = -1;
      for (let s = 0; s < seaPixels.length; s++) {
        const i = seaPixels[s];
        const dx = (i % W) - px; const dy = ((i / W) | 0) - py;
        const d = dx * dx + dy * dy;
        if (d < dmin[s]) dmin[s] = d;
        if (dmin[s] > bestD) { bestD = dmin[s]; best = i; }
      }
      pick = best;
    }
    for (let iter = 0; iter < 6; iter++) {
      const sl = new Int32Array(N).fill(-1);
      growRegions(sl, sites.map((idx, k) => ({ idx, id: k })), sea);
      const sx = new Float64Array(sites.length); const sy = new Float64Array(sites.length); const sn = new Float64Array(sites.length);
      for (const i of seaPixels) {
        const k = sl[i]; if (k < 0) continue;
        sx[k] += i % W; sy[k] += (i / W) | 0; sn[k]++;
      }
      sites = sites.map((old, k) => {
        if (!sn[k]) return old;
        const cx = sx[k] / sn[k]; const cy = sy[k] / sn[k];
        let best = old; let bd = Infinity;
        for (const i of seaPixels) {
          if (sl[i] !== k) continue;
          const d = ((i % W) - cx) ** 2 + (((i / W) | 0) - cy) ** 2;
          if (d < bd) { bd = d; best = i; }
        }
        return best;
      });
    }
    growRegions(label, sites.map((idx, k) => ({ idx, id: seaBase + k })), sea);
    nextId = seaBase + sites.length;
    const { comp, sizes } = components((i) => sea(i) && label[i] < 0);
    for (let i = 0; i < N; i++) if (comp[i] >= 0) label[i] = nextId + comp[i];
    nextId += sizes.length;
  }
  const isSeaLabel = (l) => l >= seaBase;

  // 6. Outlines.
  const border = new Uint8Array(N);
  const coast = new Uint8Array(N);
  for (let i = 0; i < N; i++) if (frame[i]) border[i] = 1;
  const isSeed = (i) => seedAt.has(i);
  const markOne = (i, j) => {
    if (border[i] || border[j]) return;
    if (isSeed(i)) border[j] = 1; else border[i] = 1;
  };
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const i = y * W + x;
      if (frame[i]) continue;
      for (const [dx, dy] of [[1, 0], [0, 1]]) {
        const nx = x + dx; const ny = y + dy;
        if (nx >= W || ny >= H) continue;
        const j = ny * W + nx;
        if (frame[j] || label[i] === label[j]) continue;
        const si = isSeaLabel(label[i]); const sj = isSeaLabel(label[j]);
        if (si !== sj) {
          // Coastline, drawn on the sea side so that narrow land keeps its
          // pixels; a second ring is added below.
          const k = si ? i : j;
          border[k] = 1; coast[k] = 1;
        } else {
          markOne(i, j);
        }
      }
    }
  }
  // Thicken the coastline by a second ring of sea pixels.
  {
    const add = [];
    for (let y = 0; y < H; y++) {
      for (let x = 0; x < W; x++) {
        const i = y * W + x;
        if (border[i] || !isSeaLabel(label[i])) continue;
        let ring = false;
        for (let dy = -1; dy <= 1; dy++) {
          for (let dx = -1; dx <= 1; dx++) {
            const nx = x + dx; const ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
            const j = ny * W + nx;
            if (coast[j] && dx * dy === 0) ring = true;
          }
        }
        if (ring) add.push(i);
      }
    }
    for (const i of add) { border[i] = 1; coast[i] = 1; }
  }

  // Specks of land cut off by the outlines (a pixel or two between lines)
  // become part of the outline; pockets of sea in narrow straits stay sea.
  {
    const seedArea = new Set();
    const { comp, sizes } = components((i) => !border[i]);
    for (const p of pieces) seedArea.add(comp[p.y * W + p.x]);
    for (let i = 0; i < N; i++) {
      const c = comp[i];
      if (c >= 0 && !seedArea.has(c) && sizes[c] < SPECK && !isSeaLabel(label[i])) border[i] = 1;
    }
  }

  // 7. Verify, then paint.
  const rgb = paint(border, coast, label, isSeaLabel, pieces);
  const result = verify(pieces, rgb, label, isSeaLabel, debug);
  if (debug) console.log(result.report);
  const png = new PNG({ width: W, height: H, colorType: 2, inputColorType: 2, inputHasAlpha: false });
  png.data = Buffer.from(rgb);
  fs.writeFileSync(out, PNG.sync.write(png, { colorType: 2, inputColorType: 2, inputHasAlpha: false }));
  console.log(`wrote ${out}: ${result.summary}`);
}

// Four-neighbour fill from every seed, as the renderer does it.
// Works on the painted pixels, so what is checked is what is written.
function verify(pieces, rgb, label, isSeaLabel, keepGoing) {
  const border = new Uint8Array(N);
  let black = 0;
  for (let i = 0; i < N; i++) {
    const [r, g, b] = [rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]];
    border[i] = r === BORDER[0] && g === BORDER[1] && b === BORDER[2] ? 1 : 0;
    if (r === 0 && g === 0 && b === 0) black++;
  }
  const { comp: area, sizes } = components((i) => !border[i]);
  const problems = [];
  if (black) problems.push(`${black} pure black pixels`);
  const owner = new Map();
  const pieceSizes = {};
  for (const p of pieces) {
    const i = p.y * W + p.x;
    if (border[i]) { problems.push(`seed ${p.key} lies on an outline`); continue; }
    const a = area[i];
    if (owner.has(a)) problems.push(`seeds ${owner.get(a)} and ${p.key} share an area`);
    owner.set(a, p.key);
    pieceSizes[p.key] = sizes[a];
    if (sizes[a] < 75 || sizes[a] > 7000) problems.push(`area of ${p.key} has ${sizes[a]} pixels`);
  }
  for (let x = 0; x < W; x++) if (!border[(H - 1) * W + x]) problems.push(`bottom row open at x=${x}`);
  // Unseeded areas: sea areas and the odd unpainted island.
  let seaAreas = 0; let otherAreas = 0;
  const kinds = new Map();
  const firstPixel = new Map();
  for (let i = 0; i < N; i++) {
    const a = area[i];
    if (a < 0 || owner.has(a) || kinds.has(a)) continue;
    kinds.set(a, isSeaLabel(label[i]));
    firstPixel.set(a, i);
  }
  const small = [];
  for (const [a, isSea] of kinds) {
    if (isSea) seaAreas++; else otherAreas++;
    if (!isSea || sizes[a] < 20) small.push(`${isSea ? "sea" : "land"}:${sizes[a]}@${firstPixel.get(a) % W},${(firstPixel.get(a) / W) | 0}`);
  }
  // Province 98 must be a framed square.
  {
    const p = pieces.find((q) => q.key === '98');
    const a = area[p.y * W + p.x];
    let x0 = W; let y0 = H; let x1 = -1; let y1 = -1;
    for (let i = 0; i < N; i++) {
      if (area[i] !== a) continue;
      const x = i % W; const y = (i / W) | 0;
      x0 = Math.min(x0, x); x1 = Math.max(x1, x); y0 = Math.min(y0, y); y1 = Math.max(y1, y);
    }
    if (x1 - x0 !== y1 - y0 || (x1 - x0 + 1) * (y1 - y0 + 1) !== sizes[a]) problems.push('province 98 is not a square');
  }
  if (problems.length) {
    console.error(problems.join('\n'));
    if (!keepGoing) throw new Error(`base map fails ${problems.length} check(s)`);
  }
  const summary = `${sizes.length} areas, ${pieces.length} painted, ${seaAreas} sea, ${otherAreas} unpainted land`;
  const sorted = Object.entries(pieceSizes).sort((a, b) => a[1] - b[1]);
  const report = `sizes: ${sorted.map(([k, v]) => `${k}=${v}`).join(' ')}\nsmall/unpainted unseeded areas: ${small.join(' ')}`;
  return { summary, report, area };
}

// Land colour with a shaded rim, textured sea with a brownish rim at the coast.
function paint(border, coast, label, isSeaLabel, pieces) {
  const rgb = new Uint8Array(N * 3);
  const rnd = mulberry32(1939);
  // Value noise in a few octaves.
  const octaves = [[48, 0.5], [20, 0.3], [7, 0.15], [2, 0.05]].map(([cell, amp]) => {
    const gw = Math.ceil(W / cell) + 2; const gh = Math.ceil(H / cell) + 2;
    const g = Float64Array.from({ length: gw * gh }, () => rnd());
    return { cell, amp, gw, g };
  });
  const noise = (x, y) => {
    let v = 0;
    for (const { cell, amp, gw, g } of octaves) {
      const fx = x / cell; const fy = y / cell;
      const ix = Math.floor(fx); const iy = Math.floor(fy);
      let tx = fx - ix; let ty = fy - iy;
      tx = tx * tx * (3 - 2 * tx); ty = ty * ty * (3 - 2 * ty);
      const a = g[iy * gw + ix]; const b = g[iy * gw + ix + 1];
      const c = g[(iy + 1) * gw + ix]; const d = g[(iy + 1) * gw + ix + 1];
      v += amp * (a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty);
    }
    return v;
  };
  const boxPieces = new Set(pieces.map((p, i) => (BOXES[p.key] ? i : -1)).filter((i) => i >= 0));
  const seaLike = (l) => isSeaLabel(l) || (boxPieces.has(l) && BOXES[pieces[l].key].fill === 'sea');
  // Distance (in steps) of sea pixels from the coastline, for the brown rim.
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const i = y * W + x;
      let c;
      if (border[i]) c = BORDER;
      else if (seaLike(label[i])) {
        const n = noise(x, y) + (rnd() - 0.5) * 0.12;
        c = [70 + 60 * n, 118 + 55 * n, 178 + 45 * n];
        let near = false;
        for (const [dx, dy] of STEPS4) {
          const nx = x + dx; const ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < W && ny < H && coast[ny * W + nx]) near = true;
        }
        if (near && isSeaLabel(label[i])) c = [150 + 20 * n, 135 + 20 * n, 100 + 20 * n];
      } else {
        let rim = false;
        for (const [dx, dy] of STEPS4) {
          const nx = x + dx; const ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < W && ny < H && border[ny * W + nx]) rim = true;
        }
        c = rim ? LAND_SHADE : LAND;
      }
      // Only outlines may be BorderColour; nothing may be pure black.
      for (let k = 0; k < 3; k++) rgb[i * 3 + k] = c === BORDER ? BORDER[k] : Math.max(8, Math.min(255, Math.round(c[k])));
    }
  }
  return rgb;
}

main();
