"""What a Windows program carries in its resources: the version strings and the manifest.

    info = pe.version_strings(data)   # {"FileVersion": "1.0.0", "ProductName": ..., ...}
    text = pe.manifest(data)          # the embedded manifest, as text
"""

import struct

RT_VERSION = 16
RT_MANIFEST = 24


def _sections(data):
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size
    sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(count)]
    return resource_rva, resource_size, sections


def _offset(rva, sections):
    for size, address, raw_size, raw in sections:
        if address <= rva < address + max(size, raw_size):
            return raw + rva - address
    raise ValueError("address %#x outside every section" % rva)


def resources(data, kind):
    """The data of every resource of one type (every name, every language)."""
    rva, _, sections = _sections(data)
    base = _offset(rva, sections)
    found = []

    def walk(offset, depth, wanted):
        named, numbered = struct.unpack_from("<12xHH", data, base + offset)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if wanted is not None and ident != wanted:
                continue
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, depth + 1, None)
            else:
                data_rva, size = struct.unpack_from("<II", data, base + target)
                start = _offset(data_rva, sections)
                found.append(data[start:start + size])

    walk(0, 0, kind)
    return found


def _version_node(block, offset):
    """One node of VS_VERSIONINFO: (key, value bytes, children offsets, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    key_end = offset + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[offset + 6:key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    value_bytes = value_length * (2 if kind == 1 else 1)
    value = block[value_start:value_start + value_bytes]
    child = (value_start + value_bytes + 3) & ~3
    return key, value, child, end


def _children(block, offset, end):
    while offset < end:
        key, value, child, node_end = _version_node(block, offset)
        if node_end <= offset:
            return
        yield key, value, child, node_end
        offset = (node_end + 3) & ~3


def version_strings(data):
    """The StringFileInfo of the first version resource, as a dict."""
    blocks = resources(data, RT_VERSION)
    if not blocks:
        return {}
    block = blocks[0]
    key, _, child, end = _version_node(block, 0)
    if key != "VS_VERSION_INFO":
        raise ValueError("not a version resource")
    strings = {}
    for key, _, info, info_end in _children(block, child, end):
        if key != "StringFileInfo":
            continue
        for _, _, table, table_end in _children(block, info, info_end):
            for name, value, _, _ in _children(block, table, table_end):
                strings[name] = value.decode("utf-16-le").rstrip("\0")
    return strings


def manifest(data):
    found = resources(data, RT_MANIFEST)
    return found[0].decode("utf-8") if found else ""
