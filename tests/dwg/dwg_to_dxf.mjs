// node dwg_to_dxf.mjs OUTDIR FILE.dwg [MORE.dwg ...]
// Converts DWG files to DXF (OUTDIR/FILE.dxf) with LibreDWG's own DXF
// writer (npm @mlightcad/libredwg-web, WebAssembly, compiled once for all
// files). Prints one JSON line per file: its name, LibreDWG's error code
// and whether a DXF was written. Exit codes: 0 every file converted (no
// critical error), 1 some not, 77 the package is not installed.
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
const [outdir, ...inputs] = process.argv.slice(2);
const { default: createModule } = await import(
  pathToFileURL(path.join(pkgDir, 'wasm', 'libredwg-web.js')).href);
const lib = await createModule();
let failed = 0;
for (const input of inputs) {
  lib.FS.writeFile('in.dwg', new Uint8Array(fs.readFileSync(input)));
  // The reader's error bits: 128 and above are critical; lower ones are
  // warnings (AutoCAD's own files give 64, "section not found").
  const error = lib.dwg_write_dxf('in.dwg', 'out.dxf');
  const written = error < 128 && lib.FS.analyzePath('out.dxf', false).exists;
  if (written) {
    fs.writeFileSync(path.join(outdir, path.basename(input, '.dwg') + '.dxf'), lib.FS.readFile('out.dxf'));
    lib.FS.unlink('out.dxf');
  } else {
    ++failed;
  }
  lib.FS.unlink('in.dwg');
  console.log(JSON.stringify({ file: input, error, written }));
}
process.exit(failed ? 1 : 0);
