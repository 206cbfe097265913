#!/usr/bin/env python3
"""A third reader for Vantrel's drawings: each DWG is converted to DXF by
LibreDWG's DXF writer (dwg_to_dxf.mjs) and the DXF is read and audited by
ezdxf. The AutoCAD-made reference drawings go through the same path first;
our drawings may show no audit finding that AutoCAD's own files do not
show too (today: none at all). The DXF must also hold what the interchange
document said: one entity per element of the right type, the texts, the
layer and the line types.

usage: dxf_audit_test.py DWG_FROM_XML WORKDIR REFERENCE_DIR XML...
                         [--projects PROJECT_XML FILE.yty...]

Exit codes: 0 pass, 1 fail, 77 skipped (a reader missing, outside CI).
"""
import collections
import json
import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCES = ["autocad-AC1018-line.dwg", "autocad-AC1018-arc.dwg"]
DXF_TYPE = {"line": "POLYLINE", "polyline": "POLYLINE", "circle": "CIRCLE", "arc": "ARC", "text": "TEXT"}


def missing(what):
    if os.environ.get("CI") == "true":
        print("FAIL: %s missing" % what)
        return 1
    print("SKIP: %s missing" % what)
    return 77


def to_dxf(node, dwgs, outdir):
    """LibreDWG's DXF of each file: {dwg: (error code, DXF path or None)}."""
    r = subprocess.run([node, os.path.join(HERE, "dwg_to_dxf.mjs"), outdir] + dwgs,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    result = {d: (None, None) for d in dwgs}
    for line in r.stdout.splitlines():
        try:
            item = json.loads(line)
        except ValueError:
            continue
        dxf = os.path.join(outdir, os.path.splitext(os.path.basename(item["file"]))[0] + ".dxf")
        result[item["file"]] = (item["error"], dxf if item["written"] else None)
    if r.returncode not in (0, 1):
        print(r.stdout)
    return result


def audit(ezdxf, dxf):
    """Audit findings as (kind, code, message) and the document."""
    doc = ezdxf.readfile(dxf)
    auditor = doc.audit()
    found = [("error", e.code, e.message) for e in auditor.errors]
    found += [("fix", e.code, e.message) for e in auditor.fixes]
    return found, doc


def expected(xml_path):
    root = ET.parse(xml_path).getroot()
    kinds = collections.Counter(DXF_TYPE[e.tag] for e in root if e.tag in DXF_TYPE)
    texts = [(e.findtext("Txt") or "") for e in root if e.tag == "text"]
    return kinds, texts


def check_content(doc, xml_path):
    kinds, texts = expected(xml_path)
    msp = doc.modelspace()
    got = collections.Counter(e.dxftype() for e in msp)
    problems = []
    if got != kinds:
        problems.append("entities %s, the document has %s" % (dict(got), dict(kinds)))
    got_texts = [e.dxf.text for e in msp if e.dxftype() == "TEXT"]
    if got_texts != texts:
        problems.append("texts differ: %r ... vs %r ..." % (got_texts[:3], texts[:3]))
    if "KVQXTW" not in doc.layers:
        problems.append("layer KVQXTW missing")
    for lt in ("QXTWBP", "ACAD_ISO02W100"):
        if lt not in doc.linetypes:
            problems.append("line type %s missing" % lt)
    return problems


def main():
    args = sys.argv[1:]
    tool, workdir, reference = args[:3]
    xmls = args[3:]
    projects = []
    if "--projects" in xmls:
        i = xmls.index("--projects")
        projects = xmls[i + 1:]
        xmls = xmls[:i]
    node = shutil.which("node")
    pkg = os.path.join(HERE, "..", "tools", "node_modules", "@mlightcad", "libredwg-web", "package.json")
    if not node or not os.path.exists(pkg):
        return missing("LibreDWG (node and npm @mlightcad/libredwg-web in tests/tools)")
    try:
        import ezdxf
    except ImportError:
        return missing("ezdxf (Debian python3-ezdxf)")
    os.makedirs(workdir, exist_ok=True)

    if projects:
        outdir = os.path.join(workdir, "projects")
        if subprocess.call([projects[0], outdir] + projects[1:]) != 0:
            print("FAIL: writing the projects' drawings failed")
            return 1
        xmls += sorted(os.path.join(outdir, f) for f in os.listdir(outdir) if f.endswith(".xml"))

    failures = 0
    ours = []
    for xml_path in xmls:
        name = os.path.splitext(os.path.basename(xml_path))[0]
        dwg = os.path.join(workdir, name + ".dwg")
        if subprocess.call([tool, xml_path, dwg]) != 0:
            print("FAIL %s: Vantrel refused or failed to write it" % name)
            failures += 1
        else:
            ours.append((name, xml_path, dwg))
    refs = [os.path.join(reference, r) for r in REFERENCES]
    for r in refs:
        if not os.path.exists(r):
            print("note: reference %s not found; no audit finding is allowed" % r)
    refs = [r for r in refs if os.path.exists(r)]
    dxfdir = os.path.join(workdir, "dxf")
    os.makedirs(dxfdir, exist_ok=True)
    converted = to_dxf(node, refs + [d for _, _, d in ours], dxfdir)

    # The path itself, on AutoCAD's files: what LibreDWG and ezdxf make of them.
    allowed = set()
    for ref in refs:
        error, dxf = converted[ref]
        if dxf is None:
            print("note: LibreDWG cannot convert the reference %s (error %s)" % (ref, error))
            continue
        found, _ = audit(ezdxf, dxf)
        print("reference %s: LibreDWG error %s, %d audit findings" % (os.path.basename(ref), error, len(found)))
        for f in found:
            print("  reference finding: %s %s %s" % f)
            allowed.add((f[0], f[1]))

    for name, xml_path, dwg in ours:
        error, dxf = converted[dwg]
        if dxf is None:
            print("FAIL %s: LibreDWG could not convert it (error %s)" % (name, error))
            failures += 1
            continue
        try:
            found, doc = audit(ezdxf, dxf)
        except Exception as e:  # ezdxf cannot read the DXF at all
            print("FAIL %s: ezdxf cannot read LibreDWG's DXF: %s" % (name, e))
            failures += 1
            continue
        own = [f for f in found if (f[0], f[1]) not in allowed]
        shared = [f for f in found if (f[0], f[1]) in allowed]
        for f in shared:
            print("  %s: finding AutoCAD's files share: %s %s %s" % ((name,) + f))
        problems = ["audit %s %s: %s" % f for f in own] + check_content(doc, xml_path)
        if problems:
            failures += 1
            print("FAIL %s:" % name)
            for p in problems:
                print("  " + p)
        else:
            print("ok %s: LibreDWG error %s, %d entities, audit clean" % (name, error, len(doc.modelspace())))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
