// node dwg_to_dxf.mjs IN.dwg OUT.dxf
// Converts a DWG file to DXF with LibreDWG's own DXF writer (npm
// @mlightcad/libredwg-web, WebAssembly). Prints LibreDWG's error code.
// Exit codes: 0 converted (no critical error), 1 not converted,
// 77 the package is not installed.
import fs from 'fs';
import path from 'path';
import { fileURLToPath, pathToFileURL } from 'url';

const here = path.dirname(fileURLToPath(import.meta.url));
const candidates = [
  path.join(here, '..', 'tools', 'node_modules', '@mlightcad', 'libredwg-web'),
  ...(process.env.NODE_PATH || '').split(path.delimiter).filter(Boolean)
    .map((p) => path.join(p, '@mlightcad', 'libredwg-web')),
];
const pkgDir = candidates.find((p) => fs.existsSync(path.join(p, 'package.json')));
if (!pkgDir) {
  console.error('dwg_to_dxf: @mlightcad/libredwg-web is not installed (npm install --prefix tests/tools)');
  process.exit(77);
}
const [input, output] = process.argv.slice(2);
const { default: createModule } = await import(
  pathToFileURL(path.join(pkgDir, 'wasm', 'libredwg-web.js')).href);
const lib = await createModule();
lib.FS.writeFile('in.dwg', new Uint8Array(fs.readFileSync(input)));
// The reader's error bits: 128 and above are critical; lower ones are
// warnings (AutoCAD's own files give 64, "section not found").
const error = lib.dwg_write_dxf('in.dwg', 'out.dxf');
console.log(JSON.stringify({ file: input, error }));
if (error >= 128 || !lib.FS.analyzePath('out.dxf', false).exists) process.exit(1);
fs.writeFileSync(output, lib.FS.readFile('out.dxf'));
