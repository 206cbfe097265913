// node readback_test.mjs DWG_FROM_XML WORKDIR
// Read-back test of Vantrel's output by an independent reader (LibreDWG).
// Builds interchange documents that cover every element, every style code
// of each element, every text alignment and Chinese text; writes them
// through Vantrel's reader and writer (dwg_from_xml) and checks what
// LibreDWG reads back against what each document said.
// Exit codes: 0 pass, 1 fail, 77 skipped (reader not installed, outside CI).
import fs from 'fs';
import path from 'path';
import { execFileSync, spawnSync } from 'child_process';
import { fileURLToPath } from 'url';

const here = path.dirname(fileURLToPath(import.meta.url));
const [tool, workdir] = process.argv.slice(2);
const pkg = path.join(here, '..', 'tools', 'node_modules', '@mlightcad', 'libredwg-web', 'package.json');
if (!fs.existsSync(pkg)) {
  const msg = 'LibreDWG reader missing: run `npm install --prefix tests/tools` (scripts/setup.sh does)';
  if (process.env.CI === 'true') {
    console.error('FAIL: ' + msg);
    process.exit(1);
  }
  console.error('SKIP: ' + msg);
  process.exit(77);
}
fs.mkdirSync(workdir, { recursive: true });

const PI = Math.PI;
const g = (v) => Number(v.toPrecision(6)).toString();  // like printf %g
const prop = (type, color, scale) => `        <Property type="${type}" color="${color}" scale="${g(scale)}"/>`;

// Each element: the XML and what the reader must report.
const elements = [];
function line(x1, y1, x2, y2, type, color, scale, withProp = true) {
  elements.push({
    xml: `    <line>\n        <Point x="${g(x1)}" y="${g(y1)}"/>\n        <Point x="${g(x2)}" y="${g(y2)}"/>\n` +
      (withProp ? prop(type, color, scale) + '\n' : '') + '    </line>',
    expect: { type: 'POLYLINE2D', vertices: [[x1, y1], [x2, y2]],
      colorIndex: withProp ? color : 256, lineType: withProp && type === 6 ? 'ACAD_ISO02W100' : '',
      lineTypeScale: withProp ? scale : 1 },
  });
}
function polyline(pts, type, scale) {
  elements.push({
    xml: '    <polyline>\n' + pts.map(([x, y]) => `        <Point x="${g(x)}" y="${g(y)}"/>\n`).join('') +
      prop(type, 150, scale) + '\n    </polyline>',
    expect: { type: 'POLYLINE2D', vertices: pts, colorIndex: 150,
      lineType: type === 6 ? 'ACAD_ISO02W100' : '', lineTypeScale: scale },
  });
}
function circle(x, y, r, type, color, scale) {
  elements.push({
    xml: `    <circle>\n        <Center x0="${g(x)}" y0="${g(y)}"/>\n        <Radius>${g(r)}</Radius>\n` +
      prop(type, color, scale) + '\n    </circle>',
    expect: { type: 'CIRCLE', center: [x, y], radius: r, colorIndex: color,
      lineType: type === 6 ? 'ACAD_ISO02W100' : '', lineTypeScale: scale },
  });
}
function arc(x, y, r, d1, d2, type, color, scale) {
  const a1 = d1 * 0.017453292519943295, a2 = d2 * 0.017453292519943295;
  elements.push({
    xml: `    <arc>\n        <Center x0="${g(x)}" y0="${g(y)}"/>\n        <Radius>${g(r)}</Radius>\n` +
      `        <Angle a1="${g(a1)}" a2="${g(a2)}"/>\n` + prop(type, color, scale) + '\n    </arc>',
    expect: { type: 'ARC', center: [x, y], radius: r, startAngle: Number(g(a1)), endAngle: Number(g(a2)),
      colorIndex: color, lineType: type === 1 ? 'QXTWBP' : '', lineTypeScale: scale },
  });
}
function text(x, y, s, h, H, V, deg) {
  const esc = s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  const rot = deg * 0.017453292519943295;
  elements.push({
    xml: `    <text>\n        <Point x="${g(x)}" y="${g(y)}"/>\n        <Txt>${esc}</Txt>\n` +
      `        <Height>${g(h)}</Height>\n        <Align H="${H}" V="${V}" rotate="${g(rot)}"/>\n    </text>`,
    expect: { type: 'TEXT', text: s, textHeight: h, halign: H, valign: V, rotation: Number(g(rot)),
      at: [x, y], colorIndex: 256, lineType: '', styleName: 'QXTWZT' },
  });
}

// Net frame like Karven's: circle, cross, ticks, labels.
circle(0, 0, 50, 0, 7, 1);
line(-2, 0, 2, 0, 0, 1, 1);
line(0, -2, 0, 2, 0, 1, 1);
line(50, 0, 52.5, 0, 0, 1, 1, false);             // no Property: continuous, by layer, scale 1
for (const type of [0, 1, 2, 3, 4, 5, 6, 7]) {
  line(-50 + type, -60, 50 - type, -60, type, 3, 1.5);
  circle(type * 3, 5, 10 + type, type, 256, 0.04 * 50);
  arc(0, 0, 40 + type, 300, 30, type, 256, 2);
  polyline([[0, 0], [10, type], [20, -type], [30.5, 0.125]], type, 0.5);
}
arc(1.5, -2.25, 33.3333, 0, 180, 1, 5, 2);
let i = 0;
for (let H = 0; H <= 5; ++H)
  for (let V = 0; V <= 3; ++V)
    text(10 + H, 20 - V, `H${H}V${V}`, 2.5, H, V, (i++ * 30) % 360);
text(-60, 55, '节理1 120∠45 (不稳定)', 2.5, 0, 0, 0);
text(-60, 58, '层理 断层 楔形体 倾倒 “引号” <&>', 3.75, 1, 2, 300);
text(0, 0, 'N', 2.5, 4, 0, 0);

// Several documents: all elements in one, plus each element kind alone.
const docs = { all: elements };
for (const k of ['POLYLINE2D', 'CIRCLE', 'ARC', 'TEXT'])
  docs[k.toLowerCase()] = elements.filter((e) => e.expect.type === k);
// A drawing the size of a full eight-plane project (about 300 entities).
const big = [];
for (let n = 0; n < 6; ++n) big.push(...elements);
docs.large = big;

let failures = 0;
function fail(doc, msg) {
  ++failures;
  console.error(`FAIL [${doc}] ${msg}`);
}
const near = (a, b, eps = 1e-9) => Math.abs(a - b) <= eps * Math.max(1, Math.abs(b));

for (const [name, els] of Object.entries(docs)) {
  const xmlPath = path.join(workdir, `${name}.xml`);
  const dwgPath = path.join(workdir, `${name}.dwg`);
  fs.writeFileSync(xmlPath, '<?xml version="1.0" encoding="UTF-8"?>\n<entities version="1.0">\n' +
    els.map((e) => e.xml).join('\n') + '\n</entities>\n');
  fs.rmSync(dwgPath, { force: true });
  const w = spawnSync(tool, [xmlPath, dwgPath], { encoding: 'utf8' });
  if (w.status !== 0) { fail(name, `writer exit ${w.status}: ${w.stderr}`); continue; }
  const out = execFileSync(process.execPath, [path.join(here, 'readback.mjs'), dwgPath], { encoding: 'utf8' });
  const r = JSON.parse(out.split('\n').find((l) => l.startsWith('{')));
  if (!(r.error < 128)) { fail(name, `reader error ${r.error}`); continue; }
  if (r.version !== 'AC1018') fail(name, `version ${r.version}`);
  if (r.header.INSUNITS !== 4) fail(name, `INSUNITS ${r.header.INSUNITS}`);
  if (r.codepage.name !== 'ANSI_936') fail(name, `codepage ${JSON.stringify(r.codepage)}`);
  if (r.header.ANGBASE !== 0 || r.header.ANGDIR !== 0 || r.header.WORLDVIEW !== 1 || r.header.TILEMODE !== 1)
    fail(name, `header ${JSON.stringify(r.header)}`);
  const layer = r.layers.find((l) => l.name === 'KVQXTW');
  if (!layer || layer.colorIndex !== 7) fail(name, `layer KVQXTW ${JSON.stringify(layer)}`);
  const st = Object.fromEntries(r.styles.map((s) => [s.name, s]));
  if (st.Standard?.font !== 'Arial.ttf' || st.Standard?.bigFont !== '') fail(name, 'Standard style fonts');
  const zt = st.QXTWZT;
  if (!zt || zt.font !== 'SimSun.ttf' || zt.bigFont !== '' || zt.height !== 0 || zt.lastHeight !== 0 ||
      zt.widthFactor !== 1) fail(name, `QXTWZT ${JSON.stringify(zt)}`);
  const px = r.styles.find((s) => s.font === 'ltypeshp.shx');
  if (!px || (px.flags & 1) !== 1 || px.height !== 0 || px.widthFactor !== 1) fail(name, `shape style ${JSON.stringify(px)}`);
  const lt = Object.fromEntries(r.ltypes.map((t) => [t.name, t]));
  const bp = lt.QXTWBP;
  const bpOk = bp && bp.description === 'qxtw line __|__|__|__|__|__|__|__|__|__|__|__' &&
    bp.segments.length === 3 && bp.segments[0].length === 1 && bp.segments[2].length === 1 &&
    bp.segments[1].length === 0 && (bp.segments[1].flags & 4) && bp.segments[1].shape === 130 &&
    bp.segments[1].scale === 0.5 && bp.segments[1].offset[0] === 0 && bp.segments[1].offset[1] === 0.5 &&
    bp.segments[1].rotation === 0;
  if (!bpOk) fail(name, `QXTWBP ${JSON.stringify(bp)}`);
  const iso = lt.ACAD_ISO02W100;
  if (!iso || iso.description !== 'ISO dash __ __ __ __ __ __ __ __ __ __ __ __ __' ||
      iso.segments.length !== 2 || iso.segments[0].length !== 12 || iso.segments[1].length !== -3)
    fail(name, `ACAD_ISO02W100 ${JSON.stringify(iso)}`);

  if (r.entities.length !== els.length) {
    fail(name, `${r.entities.length} entities read, ${els.length} written`);
    continue;
  }
  els.forEach((el, k) => {
    const e = r.entities[k], x = el.expect;
    const where = `entity ${k} ${x.type}`;
    if (e.type !== x.type) return fail(name, `${where}: type ${e.type}`);
    if (e.layer !== 'KVQXTW') fail(name, `${where}: layer ${e.layer}`);
    if (e.colorIndex !== x.colorIndex) fail(name, `${where}: colour ${e.colorIndex} != ${x.colorIndex}`);
    if ((e.lineType || '') !== x.lineType) fail(name, `${where}: line type '${e.lineType}' != '${x.lineType}'`);
    if (x.lineTypeScale !== undefined && !near(e.lineTypeScale, Number(g(x.lineTypeScale))))
      fail(name, `${where}: scale ${e.lineTypeScale}`);
    switch (x.type) {
      case 'POLYLINE2D':
        if (e.vertices.length !== x.vertices.length ||
            e.vertices.some((v, j) => !near(v.x, Number(g(x.vertices[j][0]))) || !near(v.y, Number(g(x.vertices[j][1])))))
          fail(name, `${where}: vertices ${JSON.stringify(e.vertices)}`);
        break;
      case 'CIRCLE':
      case 'ARC':
        if (!near(e.center.x, Number(g(x.center[0]))) || !near(e.center.y, Number(g(x.center[1]))) ||
            !near(e.radius, Number(g(x.radius)))) fail(name, `${where}: geometry`);
        if (x.type === 'ARC' && (!near(e.startAngle, x.startAngle) || !near(e.endAngle, x.endAngle)))
          fail(name, `${where}: angles ${e.startAngle} ${e.endAngle}`);
        break;
      case 'TEXT':
        if (e.text !== x.text) fail(name, `${where}: text '${e.text}' != '${x.text}'`);
        if (!near(e.textHeight, x.textHeight) || !near(e.rotation, x.rotation)) fail(name, `${where}: height/rotation`);
        if ((e.halign ?? 0) !== x.halign || (e.valign ?? 0) !== x.valign)
          fail(name, `${where}: alignment ${e.halign}/${e.valign} != ${x.halign}/${x.valign}`);
        if (!near(e.startPoint.x, x.at[0]) || !near(e.startPoint.y, x.at[1])) fail(name, `${where}: insertion`);
        if ((x.halign || x.valign) && (!near(e.endPoint.x, x.at[0]) || !near(e.endPoint.y, x.at[1])))
          fail(name, `${where}: alignment point`);
        if (e.styleName !== 'QXTWZT') fail(name, `${where}: style ${e.styleName}`);
        break;
    }
  });
  console.log(`[${name}] ${els.length} entities, reader error ${r.error}`);
}
if (failures) {
  console.error(`${failures} failure(s)`);
  process.exit(1);
}
console.log('read-back OK');
