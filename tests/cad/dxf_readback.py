#!/usr/bin/python3
"""Reads DXF files with ezdxf (an independent reader) and prints one JSON
object per file: audit errors and fixes, the root dictionary's entries
(name: type and owner of the object named), the layers, line types and text
styles, and every model-space entity with its layer, line type, colour,
text and geometry (circle and arc centres, radii and angles, line and
polyline points). Exit status 77 when ezdxf is missing."""
import json
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf is not installed (Debian package python3-ezdxf)", file=sys.stderr)
    sys.exit(77)


def root_entries(doc):
    entries = {}
    for name, obj in doc.rootdict.items():
        if hasattr(obj, "dxftype"):
            entries[name] = [obj.dxftype(), obj.dxf.get("owner", "")]
        else:
            entries[name] = None
    return entries


def entity(e):
    d = {"type": e.dxftype(), "handle": e.dxf.handle, "layer": e.dxf.layer,
         "linetype": e.dxf.get("linetype", "BYLAYER"), "color": e.dxf.get("color", 256)}
    if e.dxftype() == "TEXT":
        d["text"] = e.dxf.text
        d["plain"] = e.plain_text()
        d["style"] = e.dxf.style
        d["height"] = e.dxf.height
    if e.dxftype() == "LWPOLYLINE":
        d["count"] = len(e)
    if e.dxftype() in ("CIRCLE", "ARC"):
        d["radius"] = e.dxf.radius
        d["center"] = [e.dxf.center.x, e.dxf.center.y]
    if e.dxftype() == "ARC":
        d["start"] = e.dxf.start_angle
        d["end"] = e.dxf.end_angle
    if e.dxftype() == "LWPOLYLINE":
        d["points"] = [[p[0], p[1]] for p in e.get_points("xy")]
    if e.dxftype() == "LINE":
        d["points"] = [[e.dxf.start.x, e.dxf.start.y], [e.dxf.end.x, e.dxf.end.y]]
    return d


for path in sys.argv[1:]:
    # A strict read first: a structure error raises here.
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    out = {
        "file": path,
        "version": doc.dxfversion,
        "encoding": doc.encoding,
        "errors": [str(x.message) for x in auditor.errors],
        "fixes": [str(x.message) for x in auditor.fixes],
        "root": root_entries(doc),
        "layers": sorted(l.dxf.name for l in doc.layers),
        "linetypes": sorted(l.dxf.name for l in doc.linetypes),
        "styles": sorted(s.dxf.name for s in doc.styles),
        "entities": [entity(e) for e in doc.modelspace()],
    }
    print(json.dumps(out, ensure_ascii=False))
