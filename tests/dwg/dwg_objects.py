#!/usr/bin/env python3
"""Object-level reader of R2004 (AC1018) DWG files, for tests.

Written from the Open Design Alliance's public description of the format:
sections are taken from the R2004 container (dwg_structure.py), the object
map (AcDb:Handles) gives every object's place in AcDb:AcDbObjects, and each
object is decoded far enough to know its type, handle, owner, reactors,
every handle reference of its handle stream and the fields the conformance
checks look at (names, colours, dictionary entries, layout strings).
AcDb:Header is decoded variable by variable for its handle values.

usage: dwg_objects.py FILE.dwg   prints one line per object
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dwg_structure  # noqa: E402


def crc16(seed, data):
    """The 16-bit CRC the format calls CRC8 (CRC-16/ARC polynomial)."""
    crc = seed
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def section_data(path):
    """Every section of the file, decompressed, by name."""
    data = open(path, "rb").read()
    res = dwg_structure.dump(path)
    out = {}
    for s in res["sections"]:
        buf = bytearray(s["size"])
        maxsz = int(s["max"], 16)
        for p in s["page_list"]:
            addr = p["addr"]
            mask = 0x4164536B ^ addr
            h = [x ^ mask for x in struct.unpack_from("<8I", data, addr)]
            body = data[addr + 32:addr + 32 + h[2]]
            raw = dwg_structure.lz_decompress(body, maxsz) if s["compressed"] == 2 else body
            n = min(len(raw), s["size"] - p["start"])
            buf[p["start"]:p["start"] + n] = raw[:n]
        out[s["name"]] = bytes(buf)
    return out, data


class Bits:
    """Bit reader for the format's bit codes (§2)."""

    def __init__(self, data, pos=0, end=None):
        self.data = data
        self.pos = pos
        self.end = len(data) * 8 if end is None else end

    def bit(self):
        if self.pos >= self.end:
            raise ValueError("read past the end")
        b = (self.data[self.pos >> 3] >> (7 - (self.pos & 7))) & 1
        self.pos += 1
        return b

    def bits(self, n):
        v = 0
        for _ in range(n):
            v = (v << 1) | self.bit()
        return v

    def B(self):
        return self.bit()

    def BB(self):
        return self.bits(2)

    def RC(self):
        return self.bits(8)

    def raw(self, n):
        return bytes(self.RC() for _ in range(n))

    def RS(self):
        return struct.unpack("<H", self.raw(2))[0]

    def RL(self):
        return struct.unpack("<I", self.raw(4))[0]

    def RD(self):
        return struct.unpack("<d", self.raw(8))[0]

    def BS(self):
        c = self.BB()
        return [lambda: struct.unpack("<h", self.raw(2))[0] & 0xFFFF, self.RC, lambda: 0,
                lambda: 256][c]()

    def BSs(self):
        v = self.BS()
        return v - 0x10000 if v >= 0x8000 else v

    def BL(self):
        c = self.BB()
        return [self.RL, self.RC, lambda: 0, None][c]()

    def BD(self):
        c = self.BB()
        return [self.RD, lambda: 1.0, lambda: 0.0, None][c]()

    def DD(self, default):
        c = self.BB()
        if c == 0:
            return default
        if c == 3:
            return self.RD()
        b = bytearray(struct.pack("<d", default))
        if c == 1:
            b[0:4] = self.raw(4)
        else:
            b[4:6] = self.raw(2)
            b[0:4] = self.raw(4)
        return struct.unpack("<d", bytes(b))[0]

    def BD2(self):
        return (self.BD(), self.BD())

    def BD3(self):
        return (self.BD(), self.BD(), self.BD())

    def RD2(self):
        return (self.RD(), self.RD())

    def BT(self):
        return 0.0 if self.B() else self.BD()

    def BE(self):
        return (0.0, 0.0, 1.0) if self.B() else self.BD3()

    def MC(self):
        v, shift = 0, 0
        while True:
            b = self.RC()
            if b & 0x80:
                v |= (b & 0x7F) << shift
                shift += 7
            else:
                neg = b & 0x40
                v |= (b & 0x3F) << shift
                return -v if neg else v

    def MS(self):
        v, shift = 0, 0
        while True:
            w = self.RS()
            v |= (w & 0x7FFF) << shift
            shift += 15
            if not w & 0x8000:
                return v

    def H(self):
        code = self.bits(4)
        n = self.bits(4)
        v = 0
        for _ in range(n):
            v = (v << 8) | self.RC()
        return code, v

    def TV(self):
        n = self.BS()
        return self.raw(n).rstrip(b"\0").decode("gbk", "replace")

    def CMC(self):
        """R2004+ colour: BS index, BL RGB word, RC name flags."""
        index = self.BS()
        rgb = self.BL()
        flags = self.RC()
        names = []
        if flags & 1:
            names.append(self.TV())
        if flags & 2:
            names.append(self.TV())
        return {"index": index, "rgb": rgb, "flags": flags, "names": names}

    def ENC(self):
        v = self.BS()
        flags = v >> 8
        c = {"index": v & 0x1FF, "flags": flags & 0xE0}
        if flags & 0x80:
            c["rgb"] = self.BL()
        if flags & 0x20:
            c["alpha"] = self.BL()
        return c


def absolute(ref, own):
    code, v = ref
    if code in (2, 3, 4, 5, 0):
        return v
    return {6: own + 1, 8: own - 1, 0xA: own + v, 0xC: own - v}[code]


ENTITY_TYPES = set(range(1, 0x2A)) | {0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x4A, 0x4D, 0x4E}
TYPE_NAMES = {
    1: "TEXT", 2: "ATTRIB", 3: "ATTDEF", 4: "BLOCK", 5: "ENDBLK", 6: "SEQEND", 7: "INSERT",
    10: "VERTEX_2D", 11: "VERTEX_3D", 15: "POLYLINE_2D", 16: "POLYLINE_3D", 17: "ARC", 18: "CIRCLE", 19: "LINE", 27: "POINT",
    34: "VIEWPORT", 42: "DICTIONARY", 44: "MTEXT", 48: "BLOCK_CONTROL", 49: "BLOCK_HEADER",
    50: "LAYER_CONTROL", 51: "LAYER", 52: "STYLE_CONTROL", 53: "STYLE", 56: "LTYPE_CONTROL",
    57: "LTYPE", 60: "VIEW_CONTROL", 61: "VIEW", 62: "UCS_CONTROL", 63: "UCS",
    64: "VPORT_CONTROL", 65: "VPORT", 66: "APPID_CONTROL", 67: "APPID",
    68: "DIMSTYLE_CONTROL", 69: "DIMSTYLE", 72: "GROUP", 73: "MLINESTYLE", 77: "LWPOLYLINE",
    78: "HATCH", 79: "XRECORD", 80: "ACDBPLACEHOLDER", 82: "LAYOUT",
}
CONTROL_TYPES = {48, 50, 52, 56, 60, 62, 64, 66, 68}
TABLE_ENTRY_TYPES = {49, 51, 53, 57, 61, 63, 65, 67, 69}


def read_classes(data):
    """AcDb:Classes: class number → (DXF name, item class id)."""
    b = Bits(data, 16 * 8)
    size = b.RL()
    end = (20 + size) * 8
    b.BS()
    b.RC()
    b.RC()
    b.B()
    classes = {}
    while b.pos + 8 * 8 < end:
        try:
            num = b.BS()
            b.BS()
            b.TV()
            b.TV()
            dxf = b.TV()
            b.B()
            item = b.BS()
            b.BL()
            b.BS()
            b.BS()
            b.BL()
            b.BL()
        except ValueError:
            break
        classes[num] = (dxf, item)
    return classes


def read_object_map(data):
    """AcDb:Handles: handle → offset, and whether every page's CRC holds."""
    offsets = {}
    crc_ok = True
    p = 0
    while p + 2 <= len(data):
        size = (data[p] << 8) | data[p + 1]
        page = data[p:p + size]
        crc = (data[p + size] << 8) | data[p + size + 1]
        if crc16(0xC0C1, page) != crc:
            crc_ok = False
        if size == 2:
            break
        b = Bits(page, 16)
        h, off = 0, 0
        while b.pos < size * 8:
            h += mc_unsigned(b)
            off += b.MC()
            offsets[h] = off
        p += size + 2
    return offsets, crc_ok


def mc_unsigned(b):
    v, shift = 0, 0
    while True:
        c = b.RC()
        v |= (c & 0x7F) << shift
        shift += 7
        if not c & 0x80:
            return v


class Obj:
    pass


def dim_vars(b, header=False):
    """The dimension variables shared by DIMSTYLE and the header (R2000+),
    up to DIMATFIT; returns the three colours."""
    if not header:
        b.TV()
        b.TV()
    for _ in range(9):
        b.BD()
    for _ in range(6):
        b.B()
    for _ in range(3):
        b.BS()
    for _ in range(9):
        b.BD()
    b.B()
    b.BS()
    for _ in range(4):
        b.B()
    colours = [b.CMC(), b.CMC(), b.CMC()]
    for _ in range(9):
        b.BS()
    b.BS()
    b.BS()
    b.B()
    b.B()
    for _ in range(4):
        b.BS()
    b.B()
    b.BS()
    return colours


def decode_object(data, off, own_handle, classes):
    o = Obj()
    b = Bits(data, off * 8)
    size = b.MS()
    start = b.pos
    o.crc_ok = crc16(0xC0C1, data[off:start // 8 + size]) == \
        struct.unpack_from("<H", data, start // 8 + size)[0]
    b.end = start + size * 8
    o.type = b.BS()
    bitsize = b.RL()
    o.handle = b.H()[1]
    o.map_handle = own_handle
    if o.type in TYPE_NAMES:
        o.name_of_type = TYPE_NAMES[o.type]
        entity = o.type in ENTITY_TYPES
    elif o.type in classes:
        o.name_of_type = classes[o.type][0]
        entity = classes[o.type][1] == 0x1F2
    else:
        o.name_of_type = "TYPE%d" % o.type
        entity = o.type in ENTITY_TYPES
    o.entity = entity
    while True:
        n = b.BS()
        if n == 0:
            break
        b.H()
        b.raw(n)
    hs = Bits(data, start + bitsize, start + size * 8)
    o.refs = []
    while hs.end - hs.pos >= 8:
        try:
            r = hs.H()
        except ValueError:
            break
        o.refs.append((r[0], absolute(r, o.handle)))
    o.fields = {}
    i = 0  # position in refs
    if entity:
        if b.B():
            b.raw(b.RL())
        o.entmode = b.BB()
        nreact = b.BL()
        xdic_missing = b.B()
        o.fields["color"] = b.ENC()
        b.BD()
        ltflags = b.BB()
        psflags = b.BB()
        b.BS()
        b.RC()
        o.owner = None
        if o.entmode == 0:
            o.owner = o.refs[0][1]
            i = 1
        o.reactors = [r[1] for r in o.refs[i:i + nreact]]
        i += nreact
        if not xdic_missing:
            o.fields["xdictionary"] = o.refs[i][1]
            i += 1
        o.fields["layer"] = o.refs[i][1]
        i += 1
        if ltflags == 3:
            o.fields["ltype"] = o.refs[i][1]
            i += 1
        if psflags == 3:
            i += 1
    else:
        nreact = b.BL()
        xdic_missing = b.B()
        o.owner = o.refs[0][1]
        o.reactors = [r[1] for r in o.refs[1:1 + nreact]]
        i = 1 + nreact + (0 if xdic_missing else 1)
        if not xdic_missing:
            o.fields["xdictionary"] = o.refs[i - 1][1]
    o.own_refs = o.refs[i:]
    try:
        decode_fields(o, b)
    except (ValueError, IndexError, TypeError) as e:
        o.fields["error"] = str(e)
    return o


def decode_fields(o, b):
    t, f = o.type, o.fields
    if t in TABLE_ENTRY_TYPES:
        f["name"] = b.TV()
        b.B()
        b.BS()
        b.B()
    if t == 1:  # TEXT
        f["style"] = o.own_refs[0][1]
        flags = b.RC()
        if not flags & 1:
            b.RD()
        p = b.RD2()
        f["points"] = [p]
        if not flags & 2:
            f["points"].append((b.DD(p[0]), b.DD(p[1])))
        b.BE()
        b.BT()
        if not flags & 4:
            b.RD()
        if not flags & 8:
            b.RD()
        f["height"] = b.RD()
    elif t in (17, 18):  # ARC, CIRCLE
        f["center"] = b.BD3()
        f["radius"] = b.BD()
        b.BT()
        b.BE()
        if t == 17:
            f["angles"] = (b.BD(), b.BD())
    elif t == 10:  # VERTEX_2D
        b.RC()
        f["point"] = b.BD3()
    elif t == 51:  # LAYER
        b.BS()
        f["cmc"] = [b.CMC()]
        f["plotstyle"], f["ltype"] = o.own_refs[1][1], o.own_refs[2][1]
    elif t == 69:  # DIMSTYLE
        f["cmc"] = dim_vars(b)
    elif t == 73:  # MLINESTYLE
        f["name"] = b.TV()
        b.TV()
        b.BS()
        cm = [b.CMC()]
        b.BD()
        b.BD()
        for _ in range(b.RC()):
            b.BD()
            cm.append(b.CMC())
            b.BS()
        f["cmc"] = cm
    elif t == 49:  # BLOCK_HEADER
        for _ in range(5):
            b.B()
        n = f["owned_count"] = b.BL()
        # handle stream: xref block, BLOCK, owned entities, ENDBLK,
        # inserts, layout
        f["block"] = o.own_refs[1][1]
        f["entities"] = o.own_refs[2:2 + n]
        f["endblk"] = o.own_refs[2 + n][1]
        f["layout"] = o.own_refs[-1][1]
    elif t in (42,) or o.name_of_type == "ACDBDICTIONARYWDFLT":
        n = b.BL()
        b.BS()
        b.RC()
        f["names"] = [b.TV() for _ in range(n)]
        f["items"] = o.own_refs[:n]
    elif o.name_of_type == "LAYOUT":
        s = [b.TV(), b.TV()]
        f["plot_flags"] = b.BS()
        f["margins"] = [b.BD() for _ in range(4)]
        f["paper"] = b.BD2()
        s.append(b.TV())
        f["strings"] = s
        b.BD2()
        b.BS()
        b.BS()
        b.BS()
        b.BD2()
        b.BD2()
        b.BD()
        b.BD()
        f["stylesheet"] = b.TV()
        b.BS()
        b.BD()
        b.BD2()
        b.BS()
        b.BS()
        b.BS()
        f["layout_name"] = b.TV()
        b.BS()
        b.BS()
        b.BD3()
        b.RD2()
        f["limmax"] = b.RD2()
        b.BD3()
        b.BD3()
        b.BD3()
        b.BD()
        b.BS()
        b.BD3()
        b.BD3()
        nvp = b.BL()
        # handle stream: plot view, block record, last active viewport,
        # base UCS, named UCS, then the viewports
        refs = o.own_refs
        f["block"] = refs[1][1]
        f["last_viewport"] = refs[2][1]
        f["viewports"] = refs[5:5 + nvp]
    elif o.name_of_type in ("POLYLINE_2D",):
        for _ in range(2):
            b.BS()
        b.BD()
        b.BD()
        b.BT()
        b.BD()
        b.BE()
        f["owned_count"] = b.BL()
        f["vertices"] = o.own_refs[:-1]
        f["seqend"] = o.own_refs[-1]


# Header variables in R2004 order (§9): one letter code per item, "H"
# entries named. Codes: B BS BL BD TV H 3 (3BD) 2 (2RD) T (time: BL BL)
# C (CMC) RC.
def header_layout():
    L = [("BD", None)] * 4 + [("TV", None)] * 4 + [("BL", None)] * 2
    L += [("B", None)] * 21
    L += [("BS", None)] * 8 + [("BL", None)] * 3 + [("BS", None)] * 5
    L += [("BS", None)] * 14
    L += [("BD", None)] * 9 + [("BD", None)] * 5 + [("BD", None)] * 7
    L += [("TV", None), ("T", None), ("T", None)] + [("BL", None)] * 3 + [("T", None)] * 2
    L += [("C", "CECOLOR"), ("H", "HANDSEED"), ("H", "CLAYER"), ("H", "TEXTSTYLE"),
          ("H", "CELTYPE"), ("H", "DIMSTYLE"), ("H", "CMLSTYLE"), ("BD", None)]
    L += [("3", "PINSBASE"), ("3", "PEXTMIN"), ("3", "PEXTMAX"), ("2", None), ("2", None),
          ("BD", None), ("3", None), ("3", None), ("3", None), ("H", "PUCSNAME"),
          ("H", "PUCSORTHOREF"), ("BS", None), ("H", "PUCSBASE")] + [("3", None)] * 6
    L += [("3", "INSBASE"), ("3", "EXTMIN"), ("3", "EXTMAX"), ("2", "LIMMIN"), ("2", "LIMMAX"),
          ("BD", None), ("3", None), ("3", None), ("3", None), ("H", "UCSNAME"),
          ("H", "UCSORTHOREF"), ("BS", None), ("H", "UCSBASE")] + [("3", None)] * 6
    L += [("TV", None), ("TV", None), ("DIM", None), ("H", "DIMTXSTY"), ("H", "DIMLDRBLK"),
          ("H", "DIMBLK"), ("H", "DIMBLK1"), ("H", "DIMBLK2"), ("BS", None), ("BS", None)]
    for n in ("BLOCK", "LAYER", "STYLE", "LTYPE", "VIEW", "UCS", "VPORT", "APPID", "DIMSTYLE"):
        L.append(("H", n + "_CONTROL"))
    L += [("H", "DICT_GROUP"), ("H", "DICT_MLINESTYLE"), ("H", "DICT_NAMED_OBJECTS"),
          ("BS", None), ("BS", None), ("TV", None), ("TV", None), ("H", "DICT_LAYOUT"),
          ("H", "DICT_PLOTSETTINGS"), ("H", "DICT_PLOTSTYLE"), ("H", "DICT_MATERIAL"),
          ("H", "DICT_COLOR"), ("BL", "FLAGS"), ("BS", "INSUNITS"), ("BS", None),
          ("TV", "FINGERPRINTGUID"), ("TV", "VERSIONGUID")]
    L += [("RC", None)] * 6 + [("BS", None)] * 2 + [("RC", None)] * 2 + [("TV", None)]
    L += [("H", "BLOCK_PAPER_SPACE"), ("H", "BLOCK_MODEL_SPACE"), ("H", "LTYPE_BYLAYER"),
          ("H", "LTYPE_BYBLOCK"), ("H", "LTYPE_CONTINUOUS")] + [("BS", None)] * 4
    return L


def read_header(data):
    b = Bits(data, 16 * 8)
    size = b.RL()
    crc = struct.unpack_from("<H", data, 20 + size)[0]
    values = {"crc_ok": crc16(0xC0C1, data[16:20 + size]) == crc}
    for code, name in header_layout():
        if code == "T":
            v = (b.BL(), b.BL())
        elif code == "3":
            v = b.BD3()
        elif code == "2":
            v = b.RD2()
        elif code == "C":
            v = b.CMC()
        elif code == "DIM":
            v = dim_vars(b, header=True)
            values["DIMCLR"] = v
        else:
            v = getattr(b, code)()
        if name:
            values[name] = v
    values["end_bit"] = b.pos
    values["size_bits"] = (20 + size) * 8
    return values


def read_drawing(path):
    secs, raw = section_data(path)
    classes = read_classes(secs["AcDb:Classes"])
    offsets, map_crc_ok = read_object_map(secs["AcDb:Handles"])
    objs = {}
    data = secs["AcDb:AcDbObjects"]
    for h, off in offsets.items():
        objs[h] = decode_object(data, off, h, classes)
    header = read_header(secs["AcDb:Header"])
    return {"objects": objs, "map_crc_ok": map_crc_ok, "header": header, "classes": classes,
            "sections": secs, "file": raw}


def main(argv):
    d = read_drawing(argv[1])
    print("object map CRC", d["map_crc_ok"], "header CRC", d["header"]["crc_ok"],
          "header end", d["header"]["end_bit"], "of", d["header"]["size_bits"])
    for k, v in d["header"].items():
        if k not in ("crc_ok",):
            print("  header", k, v)
    for h, o in sorted(d["objects"].items()):
        print("%X %s crc=%s owner=%s react=%s refs=%s %s" % (
            h, o.name_of_type, o.crc_ok, o.owner and "%X" % o.owner,
            ["%X" % r for r in o.reactors],
            ["%d.%X" % r for r in o.own_refs], o.fields))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
