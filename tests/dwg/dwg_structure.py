#!/usr/bin/env python3
"""Dump the container structure of an R2004 (AC1018) DWG file.

Prints the decrypted file header, the page map, the section map and, per
section, the kind of pages holding it, so that Vantrel's output can be put
side by side with AutoCAD-made files.  With --json the same facts are
printed as one JSON object; with --compare A B the set of sections and the
kinds of pages of two files are compared and the exit code tells whether
they match.
"""
import json
import struct
import sys
import zlib


def header_xor_stream(n=0x6C):
    """The R2004 file header is XOR-ed with an LCG byte stream, seed 1."""
    seed = 1
    out = bytearray()
    for _ in range(n):
        seed = (seed * 0x343FD + 0x269EC3) & 0xFFFFFFFF
        out.append((seed >> 16) & 0xFF)
    return bytes(out)


def page_checksum(seed, data):
    s1, s2 = seed & 0xFFFF, seed >> 16
    i = 0
    n = len(data)
    while n:
        c = min(0x15B0, n)
        n -= c
        for b in data[i:i + c]:
            s1 += b
            s2 += s1
        i += c
        s1 %= 0xFFF1
        s2 %= 0xFFF1
    return (s2 << 16) | (s1 & 0xFFFF)


def lz_decompress(src, size):
    """2004 LZ77 variant, as the format description §4.7 describes it."""
    out = bytearray()
    p = 0

    def rc():
        nonlocal p
        b = src[p]
        p += 1
        return b

    def literal_length():
        b = rc()
        if 0x01 <= b <= 0x0F:
            return b + 3, 0
        if b == 0:
            total = 0x0F
            b = rc()
            while b == 0:
                total += 0xFF
                b = rc()
            return total + b + 3, 0
        return 0, b

    def long_len():
        total = 0
        b = rc()
        if b == 0:
            total = 0xFF
            b = rc()
            while b == 0:
                total += 0xFF
                b = rc()
        return total + b

    def two_byte():
        a = rc()
        b = rc()
        return (a >> 2) | (b << 6), a & 3

    lit, op = literal_length()
    out += src[p:p + lit]
    p += lit
    if op == 0:
        op = rc()
    while op != 0x11:
        if op >= 0x40:
            nbytes = ((op & 0xF0) >> 4) - 1
            op2 = rc()
            off = (op2 << 2) | ((op & 0x0C) >> 2)
            lit = op & 3
        elif 0x21 <= op <= 0x3F:
            nbytes = op - 0x1E
            off, lit = two_byte()
        elif op == 0x20:
            nbytes = long_len() + 0x21
            off, lit = two_byte()
        elif 0x12 <= op <= 0x1F:
            nbytes = (op & 0x0F) + 2
            off, lit = two_byte()
            off += 0x3FFF
        elif op == 0x10:
            nbytes = long_len() + 9
            off, lit = two_byte()
            off += 0x3FFF
        else:
            raise ValueError("bad opcode 0x%02x at %d" % (op, p - 1))
        start = len(out) - off - 1
        for k in range(nbytes):
            out.append(out[start + k])
        if lit:
            op = 0
        else:
            lit, op = literal_length()
        out += src[p:p + lit]
        p += lit
        if op == 0:
            op = rc()
    if len(out) < size:
        out += bytes(size - len(out))
    return bytes(out[:size])


def read_system_page(data, addr, expect_type):
    ptype, dsize, csize, ctype, csum = struct.unpack_from("<5I", data, addr)
    if ptype != expect_type:
        raise ValueError("page at 0x%x has type 0x%08x" % (addr, ptype))
    body = data[addr + 20:addr + 20 + csize]
    hdr = bytearray(data[addr:addr + 20])
    hdr[16:20] = b"\0\0\0\0"
    check = page_checksum(page_checksum(0, bytes(hdr)), body)
    raw = lz_decompress(body, dsize) if ctype == 2 else body
    return raw, {"type": "0x%08x" % ptype, "decompressed": dsize,
                 "compressed": csize, "compression": ctype,
                 "checksum_ok": check == csum}


def dump(path):
    data = open(path, "rb").read()
    res = {"file": path, "size": len(data), "version": data[0:6].decode()}
    fh = bytes(a ^ b for a, b in zip(data[0x80:0xEC], header_xor_stream()))
    crc_field = struct.unpack_from("<I", fh, 0x68)[0]
    zeroed = fh[:0x68] + b"\0\0\0\0"
    res["plain_header"] = {
        "maint": data[0x0B], "byte_0c": data[0x0C],
        "preview_addr": struct.unpack_from("<I", data, 0x0D)[0],
        "app_version": data[0x11], "app_maint": data[0x12],
        "codepage": struct.unpack_from("<H", data, 0x13)[0],
        "security": struct.unpack_from("<I", data, 0x18)[0],
        "summary_addr": struct.unpack_from("<I", data, 0x20)[0],
        "vba_addr": struct.unpack_from("<I", data, 0x24)[0],
        "at_0x28": struct.unpack_from("<I", data, 0x28)[0],
        "tail_0xEC": data[0xEC:0x100].hex(),
    }
    names = ["root_gap", "left_gap", "right_gap", "unknown_1", "last_page_id"]
    v = struct.unpack_from("<5I", fh, 0x18)
    enc = dict(zip(names, v))
    enc.update({
        "id": fh[0:12].decode("latin1").rstrip("\0"),
        "at_0x0c": struct.unpack_from("<3I", fh, 0x0C),
        "last_page_end": struct.unpack_from("<Q", fh, 0x2C)[0],
        "second_header_addr": struct.unpack_from("<Q", fh, 0x34)[0],
        "gap_amount": struct.unpack_from("<I", fh, 0x3C)[0],
        "page_amount": struct.unpack_from("<I", fh, 0x40)[0],
        "at_0x44": struct.unpack_from("<3I", fh, 0x44),
        "page_map_id": struct.unpack_from("<I", fh, 0x50)[0],
        "page_map_addr": struct.unpack_from("<Q", fh, 0x54)[0],
        "section_map_id": struct.unpack_from("<I", fh, 0x5C)[0],
        "page_array_size": struct.unpack_from("<I", fh, 0x60)[0],
        "gap_array_size": struct.unpack_from("<I", fh, 0x64)[0],
        "crc_ok": zlib.crc32(zeroed) == crc_field,
    })
    res["file_header"] = enc

    pm_addr = enc["page_map_addr"] + 0x100
    pm, pminfo = read_system_page(data, pm_addr, 0x41630E3B)
    res["page_map_page"] = pminfo
    pages = {}
    addr = 0x100
    order = []
    q = 0
    while q + 8 <= len(pm):
        num, size = struct.unpack_from("<iI", pm, q)
        q += 8
        if num < 0:
            q += 16
        else:
            pages[num] = (addr, size)
        order.append((num, addr, size))
        addr += size
    res["pages"] = [{"id": n, "addr": a, "size": s} for n, a, s in order]

    sm_addr = pages[enc["section_map_id"]][0]
    sm, sminfo = read_system_page(data, sm_addr, 0x4163003B)
    res["section_map_page"] = sminfo
    ndesc, x2, xmax, x0, x4 = struct.unpack_from("<5I", sm, 0)
    res["section_map_head"] = [ndesc, x2, hex(xmax), x0, x4]
    q = 20
    sections = []
    for _ in range(ndesc):
        size, npages, maxsz, unk, comp, sid, encr = struct.unpack_from("<QIIIIII", sm, q)
        name = sm[q + 32:q + 96].split(b"\0")[0].decode("latin1")
        q += 96
        plist = []
        for _ in range(npages):
            pnum, dsize, start = struct.unpack_from("<IIQ", sm, q)
            q += 16
            paddr = pages[pnum][0]
            mask = 0x4164536B ^ paddr
            h = [x ^ mask for x in struct.unpack_from("<8I", data, paddr)]
            body = data[paddr + 32:paddr + 32 + h[2]]
            # 0x00 type, 0x04 section, 0x08 data size, 0x0C page size,
            # 0x10 RLL start, 0x18 header checksum, 0x1C data checksum
            dcheck = page_checksum(0, body)
            hz = list(h)
            hz[6] = 0
            hcheck = page_checksum(dcheck, struct.pack("<8I", *hz))
            info = {"page": pnum, "addr": paddr, "page_size": pages[pnum][1],
                    "stored": dsize, "start": start,
                    "hdr": ["0x%08x" % h[0]] + h[1:5],
                    "data_checksum_ok": h[7] == dcheck,
                    "header_checksum_ok": h[6] == hcheck}
            if comp == 2:
                raw = lz_decompress(body, maxsz)
                info["first_bytes"] = raw[:16].hex()
            plist.append(info)
        sections.append({"name": name, "size": size, "pages": npages,
                         "max": hex(maxsz), "unknown": unk, "compressed": comp,
                         "id": sid, "encrypted": encr, "page_list": plist})
    res["sections"] = sections
    return res


def shape(res):
    """What two files should share: section names in map order, their
    numbers, compression and encryption, whether they have pages and of
    which kind, and that every checksum holds."""
    return {
        "version": res["version"],
        "sections": [(s["name"], s["id"], s["compressed"], s["encrypted"],
                      all(p["hdr"][0] == "0x4163043b" for p in s["page_list"]),
                      bool(s["page_list"]))
                     for s in res["sections"]],
        "checksums": all(p["data_checksum_ok"] and p["header_checksum_ok"]
                         for s in res["sections"] for p in s["page_list"])
                     and res["page_map_page"]["checksum_ok"]
                     and res["section_map_page"]["checksum_ok"],
        "page_map": res["page_map_page"]["type"],
        "section_map": res["section_map_page"]["type"],
        "header_id": res["file_header"]["id"],
        "crc_ok": res["file_header"]["crc_ok"],
    }


def main(argv):
    if len(argv) >= 4 and argv[1] == "--compare":
        a, b = shape(dump(argv[2])), shape(dump(argv[3]))
        ok = True
        for key in a:
            if a[key] != b[key]:
                ok = False
                print("DIFFERS %s:\n  %s\n  %s" % (key, a[key], b[key]))
        print("structure matches" if ok else "structure differs")
        return 0 if ok else 1
    if len(argv) >= 3 and argv[1] == "--json":
        print(json.dumps(dump(argv[2]), indent=1, default=str))
        return 0
    res = dump(argv[1])
    print(json.dumps({k: v for k, v in res.items() if k != "sections"}, default=str))
    for s in res["sections"]:
        pl = s.pop("page_list")
        print(" section", json.dumps(s))
        for p in pl:
            print("   ", json.dumps(p))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
