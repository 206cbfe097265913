#!/usr/bin/env python3
"""Object-by-object conformance of Vantrel's DWG files with AutoCAD's.

Decodes the AutoCAD-made reference drawings and Vantrel's output with
dwg_objects.py and checks, for every file: every object CRC, the object
map's CRCs and the header CRC; every handle reference resolves to an object;
every owned object is listed by its owner, with the handle code AutoCAD uses
for that owner and kind of object; LAYOUT plot-setting strings in their
slots and the Model layout's last active viewport; R2004 colours with index
0 and the colour in the RGB word; dictionaries sorted by name; header and
object handles pointing at objects of the right kinds. The references are
checked first, as a check of the checks, and the handle codes they teach
must equal data/autocad_owner_codes.json; where the drawings are not at
hand, our files are checked against that table.

usage: conformance_test.py DWG_FROM_XML PROJECT_XML REFERENCE_DIR WORKDIR
                           FILE.xml|FILE.yty ...
       conformance_test.py --write-codes REFERENCE_DIR
"""
import math
import json
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dwg_objects  # noqa: E402

REFERENCES = ["autocad-AC1018-line.dwg", "autocad-AC1018-arc.dwg", "autocad-AC1018.dwg"]

# Owner/child pairs that no reference drawing holds: the code the format
# description gives (a polyline hard-owns its vertices and sequence end).
FORMAT_CODES = {("POLYLINE_2D", "VERTEX_2D"): {(3,)}, ("POLYLINE_2D", "SEQEND"): {(3,)}}

# Header handle → (object type, name or None).
HEADER_KINDS = {
    "CLAYER": ("LAYER", None), "TEXTSTYLE": ("STYLE", None), "CELTYPE": ("LTYPE", None),
    "DIMSTYLE": ("DIMSTYLE", None), "CMLSTYLE": ("MLINESTYLE", None),
    "DIMTXSTY": ("STYLE", None),
    "BLOCK_CONTROL": ("BLOCK_CONTROL", None), "LAYER_CONTROL": ("LAYER_CONTROL", None),
    "STYLE_CONTROL": ("STYLE_CONTROL", None), "LTYPE_CONTROL": ("LTYPE_CONTROL", None),
    "VIEW_CONTROL": ("VIEW_CONTROL", None), "UCS_CONTROL": ("UCS_CONTROL", None),
    "VPORT_CONTROL": ("VPORT_CONTROL", None), "APPID_CONTROL": ("APPID_CONTROL", None),
    "DIMSTYLE_CONTROL": ("DIMSTYLE_CONTROL", None),
    "DICT_GROUP": ("DICTIONARY", None), "DICT_MLINESTYLE": ("DICTIONARY", None),
    "DICT_NAMED_OBJECTS": ("DICTIONARY", None), "DICT_LAYOUT": ("DICTIONARY", None),
    "DICT_PLOTSETTINGS": ("DICTIONARY", None), "DICT_PLOTSTYLE": ("ACDBDICTIONARYWDFLT", None),
    "DICT_MATERIAL": ("DICTIONARY", None), "DICT_COLOR": ("DICTIONARY", None),
    "BLOCK_PAPER_SPACE": ("BLOCK_HEADER", "*Paper_Space"),
    "BLOCK_MODEL_SPACE": ("BLOCK_HEADER", "*Model_Space"),
    "LTYPE_BYLAYER": ("LTYPE", "ByLayer"), "LTYPE_BYBLOCK": ("LTYPE", "ByBlock"),
    "LTYPE_CONTINUOUS": ("LTYPE", "Continuous"),
}
# Named-object dictionary entry → header handle that must agree with it.
NAMED_ENTRIES = {"ACAD_GROUP": "DICT_GROUP", "ACAD_MLINESTYLE": "DICT_MLINESTYLE",
                 "ACAD_LAYOUT": "DICT_LAYOUT", "ACAD_PLOTSETTINGS": "DICT_PLOTSETTINGS",
                 "ACAD_PLOTSTYLENAME": "DICT_PLOTSTYLE", "ACAD_MATERIAL": "DICT_MATERIAL",
                 "ACAD_COLOR": "DICT_COLOR"}
# Objects whose handle streams list what they own.
LISTING_OWNERS = {"BLOCK_HEADER", "POLYLINE_2D", "POLYLINE_3D", "INSERT", "DICTIONARY",
                  "ACDBDICTIONARYWDFLT"} | {n for t, n in dwg_objects.TYPE_NAMES.items()
                                            if t in dwg_objects.CONTROL_TYPES}
PAPER_NAME = re.compile(r"^\S+$")
GUID = re.compile(r"^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$")


def role(owner, child, hdr):
    """Owner/child pair for the handle-code table; the entities a block
    owns count as one kind, and the table entries the header names
    (model and paper space, ByLayer and ByBlock) as their own."""
    c = child.name_of_type
    if owner.name_of_type == "BLOCK_HEADER" and child.entity and c not in ("BLOCK", "ENDBLK"):
        c = "ENTITY"
    special = {hdr[v][1] for v in ("BLOCK_MODEL_SPACE", "BLOCK_PAPER_SPACE", "LTYPE_BYLAYER",
                                   "LTYPE_BYBLOCK")}
    if owner.type in dwg_objects.CONTROL_TYPES and child.handle in special:
        c += " " + child.fields.get("name", "")
    return owner.name_of_type, c


def check(d, name, codes, learn):
    """Checks one decoded drawing; returns the list of faults. With learn,
    records the owner/child handle codes into codes; else compares."""
    faults = []
    objs, hdr = d["objects"], d["header"]

    def fault(msg):
        if len(faults) < 40:
            faults.append("%s: %s" % (name, msg))

    def obj(h):
        return objs.get(h)

    def kind(h, want, what):
        o = obj(h)
        if o is None:
            fault("%s → %X does not exist" % (what, h))
        elif o.name_of_type != want[0] or (want[1] and o.fields.get("name") != want[1]):
            fault("%s → %X is %s %s, want %s" % (what, h, o.name_of_type, o.fields.get("name"), want))

    if not d["map_crc_ok"]:
        fault("object map CRC")
    if not hdr["crc_ok"]:
        fault("header CRC")
    if not 0 <= hdr["size_bits"] - hdr["end_bit"] < 8:
        fault("header decodes to bit %d of %d" % (hdr["end_bit"], hdr["size_bits"]))
    handseed = hdr["HANDSEED"][1]
    for h, o in objs.items():
        if not o.crc_ok:
            fault("%X %s: object CRC" % (h, o.name_of_type))
        if o.handle != h:
            fault("%X: object says handle %X" % (h, o.handle))
        if h >= handseed:
            fault("%X: not below HANDSEED %X" % (h, handseed))
        if "error" in o.fields:
            fault("%X %s: %s" % (h, o.name_of_type, o.fields["error"]))
        for code, target in o.refs:
            if target and target not in objs:
                fault("%X %s: reference %d.%X to nothing" % (h, o.name_of_type, code, target))

    # Header handles.
    for var, want in HEADER_KINDS.items():
        code, h = hdr[var]
        if h == 0 and var == "DIMTXSTY":
            continue
        kind(h, want, "header " + var)
    named = obj(hdr["DICT_NAMED_OBJECTS"][1])
    if named is not None:
        for entry, var in NAMED_ENTRIES.items():
            if entry in named.fields.get("names", []):
                i = named.fields["names"].index(entry)
                if named.fields["items"][i][1] != hdr[var][1]:
                    fault("named dictionary %s differs from header %s" % (entry, var))
            else:
                fault("named dictionary has no %s" % entry)

    # Ownership: who owns each object, and how the owner lists it.
    ms, ps = hdr["BLOCK_MODEL_SPACE"][1], hdr["BLOCK_PAPER_SPACE"][1]
    seen = {}
    for h, o in objs.items():
        if o.entity and o.entmode in (1, 2):
            owner = ps if o.entmode == 1 else ms
        else:
            owner = o.owner
        if not owner:
            if o.type not in dwg_objects.CONTROL_TYPES and h != hdr["DICT_NAMED_OBJECTS"][1]:
                fault("%X %s has no owner" % (h, o.name_of_type))
            continue
        oo = obj(owner)
        if oo is None:
            fault("%X %s: owner %X missing" % (h, o.name_of_type, owner))
            continue
        if oo.name_of_type not in LISTING_OWNERS and oo.fields.get("xdictionary") != h:
            continue
        listed = [c for c, t in oo.refs[1:] if t == h] if not (oo.entity and oo.entmode) \
            else [c for c, t in oo.refs if t == h]
        if not listed:
            fault("%X %s is not listed by its owner %X %s" % (h, o.name_of_type, owner,
                                                              oo.name_of_type))
            continue
        seen.setdefault(role(oo, o, hdr), set()).add(tuple(listed))
    for key, got in seen.items():
        if learn:
            codes.setdefault(key, set()).update(got)
        else:
            want = codes.get(key, FORMAT_CODES.get(key))
            if want is None:
                fault("no reference for %s owning %s" % key)
            elif not got <= want:
                fault("%s lists %s with codes %s, AutoCAD with %s" % (key + (got, want)))

    # Kinds of object references.
    for h, o in objs.items():
        f = o.fields
        what = "%X %s" % (h, o.name_of_type)
        if o.entity:
            kind(f["layer"], ("LAYER", None), what + " layer")
            if "ltype" in f:
                kind(f["ltype"], ("LTYPE", None), what + " line type")
        if o.name_of_type == "TEXT":
            kind(f["style"], ("STYLE", None), what + " style")
        if o.name_of_type == "LAYER":
            kind(f["ltype"], ("LTYPE", None), what + " line type")
            kind(f["plotstyle"], ("ACDBPLACEHOLDER", None), what + " plot style")
        if o.name_of_type == "BLOCK_HEADER":
            kind(f["block"], ("BLOCK", None), what + " BLOCK")
            kind(f["endblk"], ("ENDBLK", None), what + " ENDBLK")
            if f["layout"]:
                kind(f["layout"], ("LAYOUT", None), what + " layout")
                lay = obj(f["layout"])
                if lay is not None and lay.fields.get("block") != h:
                    fault(what + ": its layout names block %X" % lay.fields.get("block"))
            if len(f["entities"]) != f["owned_count"]:
                fault(what + ": owned count %d, %d listed" % (f["owned_count"], len(f["entities"])))
        if o.name_of_type == "POLYLINE_2D":
            if len(f["vertices"]) != f["owned_count"]:
                fault(what + ": owned count %d, %d vertices" % (f["owned_count"], len(f["vertices"])))
            for c, v in f["vertices"]:
                kind(v, ("VERTEX_2D", None), what + " vertex")
            kind(f["seqend"][1], ("SEQEND", None), what + " sequence end")
        if o.name_of_type == "LAYOUT":
            kind(f["block"], ("BLOCK_HEADER", None), what + " block")
            s = f["strings"]
            if s[0] != "":
                fault(what + ": page-setup name %r" % s[0])
            if "_(" in s[1] or not s[1]:
                fault(what + ": printer name %r" % s[1])
            if s[2] == "none_device" or (s[2] and not PAPER_NAME.match(s[2])):
                fault(what + ": paper size %r" % s[2])
            if f["layout_name"] == "Model":
                kind(f["last_viewport"], ("VPORT", "*Active"), what + " last active viewport")
        if "names" in f:
            if f["names"] != sorted(f["names"], key=str.lower):
                fault(what + ": entries not sorted: %s" % f["names"])
            if len(set(f["names"])) != len(f["names"]):
                fault(what + ": duplicate entries")
        for c in f.get("cmc", []):
            if c["index"] != 0 or c["rgb"] >> 24 not in (0xC0, 0xC1, 0xC2, 0xC3, 0xC8):
                fault(what + ": colour %s" % c)
    for c in [hdr["CECOLOR"]] + hdr["DIMCLR"]:
        if c["index"] != 0 or c["rgb"] >> 24 not in (0xC0, 0xC1, 0xC2, 0xC3, 0xC8):
            fault("header colour %s" % c)

    # Header values a CAD program uses on open.
    lo, hi = hdr["EXTMIN"], hdr["EXTMAX"]
    if not all(math.isfinite(v) and abs(v) < 1e19 for v in lo + hi) or \
            lo[0] > hi[0] or lo[1] > hi[1]:
        fault("extents %s %s" % (lo, hi))
    for g in ("FINGERPRINTGUID", "VERSIONGUID"):
        if not GUID.match(hdr[g]) or hdr[g].strip("{}0-") == "":
            fault("%s %r" % (g, hdr[g]))
    return faults


def extents_hold(d, name):
    """Our files: EXTMIN/EXTMAX frame every entity's points."""
    hdr = d["header"]
    lo, hi = hdr["EXTMIN"], hdr["EXTMAX"]
    faults = []
    if hdr["INSUNITS"] != 4:
        faults.append("%s: INSUNITS %d" % (name, hdr["INSUNITS"]))
    # Boxes every entity must lie in, and the margin texts may add.
    boxes, margin = [], 0.0
    for o in d["objects"].values():
        f = o.fields
        if "angles" in f:
            (x, y, _), r = f["center"], f["radius"]
            a0, a1 = f["angles"]
            sweep = (a1 - a0) % (2 * math.pi) or 2 * math.pi
            pts = [a0 + sweep * k / 720 for k in range(721)]
            xs = [x + r * math.cos(a) for a in pts]
            ys = [y + r * math.sin(a) for a in pts]
            boxes.append((min(xs), min(ys), max(xs), max(ys)))
        elif "radius" in f:
            (x, y, _), r = f["center"], f["radius"]
            boxes.append((x - r, y - r, x + r, y + r))
        elif "point" in f:
            boxes.append(f["point"][:2] * 2)
        elif "height" in f:
            margin = max(margin, f["height"])
            boxes += [p * 2 for p in f["points"]]
    if not boxes:
        return faults
    eps = 1e-6
    slack = 1e-3  # the sampled arcs stay inside their true boxes
    for b in boxes:
        if b[0] < lo[0] - eps or b[1] < lo[1] - eps or b[2] > hi[0] + eps or b[3] > hi[1] + eps:
            faults.append("%s: %s outside the extents %s %s" % (name, b, lo, hi))
            break
    tight = (min(b[0] for b in boxes) - margin, min(b[1] for b in boxes) - margin,
             max(b[2] for b in boxes) + margin, max(b[3] for b in boxes) + margin)
    if lo[0] < tight[0] - slack or lo[1] < tight[1] - slack or hi[0] > tight[2] + slack or \
            hi[1] > tight[3] + slack:
        faults.append("%s: extents %s %s wider than the drawing %s" % (name, lo, hi, tight))
    return faults


# The owner/child handle codes learnt from the three references, kept so
# that our output is checked where the drawings are not at hand.
CODES_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                          "autocad_owner_codes.json")


def load_codes(path):
    with open(path, encoding="utf-8") as f:
        return {(o, c): {tuple(x) for x in v} for o, c, v in json.load(f)}


def write_codes(reference, path):
    codes = {}
    for r in REFERENCES:
        check(dwg_objects.read_drawing(os.path.join(reference, r)), r, codes, True)
    rows = [[o, c, sorted(list(x) for x in v)] for (o, c), v in sorted(codes.items())]
    with open(path, "w", encoding="utf-8") as f:
        f.write("[\n" + ",\n".join(json.dumps(r) for r in rows) + "\n]\n")


def main(argv):
    if len(argv) == 3 and argv[1] == "--write-codes":
        write_codes(argv[2], CODES_FILE)
        return 0
    tool, project_tool, reference, work = argv[1:5]
    inputs = argv[5:]
    refs = [os.path.join(reference, r) for r in REFERENCES]
    os.makedirs(work, exist_ok=True)
    codes = {}
    faults = []
    if all(os.path.exists(r) for r in refs):
        for r in refs:
            faults += check(dwg_objects.read_drawing(r), os.path.basename(r), codes, True)
        if faults:
            print("\n".join(faults))
            print("the checks fail on AutoCAD's own files")
            return 1
        print("references pass; owner codes:")
        for k, v in sorted(codes.items()):
            print("  %s lists %s with %s" % (k + (sorted(v),)))
        if codes != load_codes(CODES_FILE):
            print("the owner codes learnt from the references differ from " + CODES_FILE +
                  "; rewrite it with --write-codes")
            return 1
    elif os.path.exists(CODES_FILE):
        # Without the drawings (a checkout on its own), what they taught.
        print("reference drawings not found in %s: owner codes from %s" % (reference, CODES_FILE))
        codes = load_codes(CODES_FILE)
    else:
        print("SKIP: reference drawings not found in " + reference)
        return 77

    xmls = [x for x in inputs if x.endswith(".xml")]
    projects = [p for p in inputs if p.endswith(".yty")]
    if projects:
        if subprocess.call([project_tool, work] + projects) != 0:
            print("project_xml failed")
            return 1
        for p in projects:
            base = os.path.splitext(os.path.basename(p))[0]
            xmls += [os.path.join(work, base + "-gc.xml"), os.path.join(work, base + "-pole.xml")]
    for x in xmls:
        out = os.path.join(work, os.path.splitext(os.path.basename(x))[0] + ".dwg")
        if subprocess.call([tool, x, out]) != 0:
            faults.append("%s: not written" % x)
            continue
        d = dwg_objects.read_drawing(out)
        got = check(d, os.path.basename(out), codes, False) + extents_hold(d, os.path.basename(out))
        print("%s: %d objects, %s" % (os.path.basename(out), len(d["objects"]),
                                      "conforms" if not got else "%d faults" % len(got)))
        faults += got
    if faults:
        print("\n".join(faults))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
