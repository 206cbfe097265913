// node readback.mjs FILE.dwg [MORE.dwg ...]
// Reads DWG files with LibreDWG's reader (npm @mlightcad/libredwg-web,
// WebAssembly) and prints one JSON object per file: the raw reader's error
// code, header values, layers, text styles, line types with their
// segments, and model-space entities with their geometry.
//
// The package is looked up in tests/tools/node_modules (npm install
// --prefix tests/tools) or in NODE_PATH.
import fs from 'fs';
import path from 'path';
import { createRequire } from 'module';
import { fileURLToPath, pathToFileURL } from 'url';

const here = path.dirname(fileURLToPath(import.meta.url));
const candidates = [
  path.join(here, '..', 'tools', 'node_modules', '@mlightcad', 'libredwg-web'),
  ...(process.env.NODE_PATH || '').split(path.delimiter).filter(Boolean)
    .map((p) => path.join(p, '@mlightcad', 'libredwg-web')),
];
const pkgDir = candidates.find((p) => fs.existsSync(path.join(p, 'package.json')));
if (!pkgDir) {
  console.error('readback: @mlightcad/libredwg-web is not installed (npm install --prefix tests/tools)');
  process.exit(77);
}
const wasmDir = path.join(pkgDir, 'wasm') + path.sep;
const { default: createModule } = await import(pathToFileURL(path.join(wasmDir, 'libredwg-web.js')).href);
const { LibreDwg, Dwg_File_Type } = await import(pathToFileURL(path.join(pkgDir, 'dist', 'libredwg-web.js')).href);

const raw = await createModule();
const lib = await LibreDwg.create(wasmDir);

const json = (v) => JSON.stringify(v, (k, x) => (typeof x === 'bigint' ? x.toString() : x));

function headerValue(d, name) {
  try {
    const r = lib.dwg_dynapi_header_value(d, name);
    return r && r.success ? r.data : null;
  } catch (e) {
    return null;
  }
}

for (const file of process.argv.slice(2)) {
  const buf = fs.readFileSync(file);
  // Raw reader: the error bit set (codes >= 128 are critical).
  raw.FS.writeFile('in.dwg', new Uint8Array(buf));
  const r = raw.dwg_read_file('in.dwg');
  raw.FS.unlink('in.dwg');
  const out = { file, error: r.error };
  if (r.error >= 128) {
    console.log(json(out));
    continue;
  }
  const d = lib.dwg_read_data(buf.buffer.slice(buf.byteOffset, buf.byteOffset + buf.length),
                              Dwg_File_Type.DWG);
  const db = lib.convert(d);
  out.version = buf.subarray(0, 6).toString('latin1');
  const cp = lib.dwg_get_codepage(d);
  const { DwgCodePage } = await import(pathToFileURL(path.join(pkgDir, 'lib', 'database', 'codepage.js')).href);
  out.codepage = { index: cp, name: (DwgCodePage[cp] || '').replace(/^CP_/, '') };
  out.header = {
    INSUNITS: db.header.INSUNITS,
    ANGBASE: db.header.ANGBASE,
    ANGDIR: db.header.ANGDIR,
    WORLDVIEW: db.header.WORLDVIEW,
    TILEMODE: db.header.TILEMODE,
    INSBASE: db.header.INSBASE,
    UCSORG: db.header.UCSORG,
    UCSXDIR: db.header.UCSXDIR,
    UCSYDIR: db.header.UCSYDIR,
    DWGCODEPAGE: db.header.DWGCODEPAGE,
  };
  out.layers = (db.tables.LAYER?.entries || []).map((l) => ({
    handle: l.handle, name: l.name, colorIndex: l.colorIndex, lineType: l.lineType,
  }));
  out.styles = (db.tables.STYLE?.entries || []).map((s) => ({
    handle: s.handle, name: s.name, flags: s.standardFlag, height: s.fixedTextHeight,
    widthFactor: s.widthFactor, lastHeight: s.lastHeight, font: s.font, bigFont: s.bigFont,
  }));
  out.ltypes = (db.tables.LTYPE?.entries || []).map((t) => ({
    handle: t.handle, name: t.name, description: t.description,
    patternLength: t.totalPatternLength,
    segments: (t.pattern || []).map((p) => ({
      length: p.elementLength, flags: p.elementTypeFlag, shape: p.shapeNumber,
      style: p.styleObjectId ?? p.styleHandle ?? null, scale: p.scale,
      offset: [p.offsetX, p.offsetY], rotation: p.rotation,
    })),
  }));
  out.entities = (db.entities || []).map((e) => {
    const o = {
      type: e.type, handle: e.handle, layer: e.layer, colorIndex: e.colorIndex,
      lineType: e.lineType, lineTypeScale: e.lineTypeScale, owner: e.ownerBlockRecordSoftId,
    };
    for (const k of ['center', 'radius', 'startAngle', 'endAngle', 'text', 'textHeight',
      'startPoint', 'endPoint', 'rotation', 'halign', 'valign', 'styleName', 'vertices', 'flag',
      'endPoint'])
      if (e[k] !== undefined) o[k] = e[k];
    return o;
  });
  lib.dwg_free(d);
  console.log(json(out));
}
