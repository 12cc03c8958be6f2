#!/usr/bin/env python3
"""Reads the version information and the manifest back from Windows programs (PE32 or PE32+).

    read_version_info.py PROGRAM...                 prints every field of each program
    read_version_info.py --expect FILE PROGRAM...   compares them with FILE, whose UTF-8 lines
                                                    are: file name TAB field TAB value

With --expect, a program must have exactly the fields FILE gives it; the exit code is 1 on any
difference.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_VERSION = 16
RT_MANIFEST = 24
SUPPORTED_OS_NAMES = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10/11",
}


def read_resources(image):
    """{(type, name, language): bytes} of the image's resource directory (numeric IDs only)."""
    (pe_offset,) = struct.unpack_from("<I", image, 0x3C)
    if image[:2] != b"MZ" or image[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    section_count, optional_size = struct.unpack_from("<H12xH", image, pe_offset + 6)
    optional = pe_offset + 24
    (magic,) = struct.unpack_from("<H", image, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resource_rva, resource_size = struct.unpack_from("<II", image, directories + 2 * 8)
    if resource_size == 0:
        raise ValueError("no resources")
    sections = []
    for index in range(section_count):
        size, rva, raw_size, raw_offset = struct.unpack_from(
            "<IIII", image, optional + optional_size + 40 * index + 8
        )
        sections.append((rva, max(size, raw_size), raw_offset))

    def offset_of(rva):
        for start, size, raw_offset in sections:
            if start <= rva < start + size:
                return raw_offset + rva - start
        raise ValueError(f"RVA {rva:#x} outside every section")

    base = offset_of(resource_rva)
    resources = {}

    def walk(directory, path):
        named, numbered = struct.unpack_from("<HH", image, base + directory + 12)
        for entry in range(named + numbered):
            name, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * entry)
            key = path + (name,)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, key)
            else:
                data_rva, data_size = struct.unpack_from("<II", image, base + target)
                start = offset_of(data_rva)
                resources[key] = image[start:start + data_size]

    walk(0, ())
    return resources


def parse_block(data, offset):
    """One node of VS_VERSIONINFO at offset: (key, value bytes, children, end offset)."""
    length, value_length, value_is_text = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = offset + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if value_is_text else value_length
    value = data[position:position + value_size]
    position = (position + value_size + 3) & ~3
    children = []
    while position < end:
        child = parse_block(data, position)
        children.append(child)
        position = (child[3] + 3) & ~3
    return key, value, children, end


def dotted_version(most_significant, least_significant):
    parts = (most_significant >> 16, most_significant & 0xFFFF, least_significant >> 16,
             least_significant & 0xFFFF)
    return ".".join(str(part) for part in parts)


def version_fields(data):
    fields = {}
    key, fixed, children, _ = parse_block(data, 0)
    if key != "VS_VERSION_INFO":
        raise ValueError(f"version resource starts with {key!r}")
    (signature, structure_version, file_ms, file_ls, product_ms, product_ls, flags_mask, flags,
     file_os, file_type, file_subtype, date_ms, date_ls) = struct.unpack_from("<13I", fixed)
    if signature != 0xFEEF04BD:
        raise ValueError("no VS_FIXEDFILEINFO")
    fields["VS_FIXEDFILEINFO version"] = f"0x{structure_version:X}"
    fields["FILEVERSION"] = dotted_version(file_ms, file_ls)
    fields["PRODUCTVERSION"] = dotted_version(product_ms, product_ls)
    fields["FILEFLAGSMASK"] = f"0x{flags_mask:X}"
    fields["FILEFLAGS"] = f"0x{flags:X}"
    fields["FILEOS"] = f"0x{file_os:X}"
    fields["FILETYPE"] = f"0x{file_type:X}"
    fields["FILESUBTYPE"] = f"0x{file_subtype:X}"
    fields["file date"] = f"0x{date_ms:X} 0x{date_ls:X}"
    for child_key, _, grandchildren, _ in children:
        if child_key == "StringFileInfo":
            fields["StringFileInfo block"] = " ".join(table[0] for table in grandchildren)
            for table in grandchildren:
                for name, value, _, _ in table[2]:
                    fields[name] = value.decode("utf-16-le").split("\0", 1)[0]
        elif child_key == "VarFileInfo":
            for name, value, _, _ in grandchildren:
                words = struct.unpack(f"<{len(value) // 2}H", value)
                pairs = zip(words[0::2], words[1::2])
                fields[name] = " ".join(f"{language:04X}{page:04X}" for language, page in pairs)
    return fields


def manifest_fields(data):
    """Every attribute and text of the manifest, named by its element's path; an element's
    namespace is named where it changes."""
    fields = {}

    def walk(element, path, parent_namespace):
        namespace, _, tag = element.tag[1:].rpartition("}") if element.tag[0] == "{" else (
            "", "", element.tag)
        if namespace != parent_namespace:
            tag += f"({re.split('[:/]', namespace)[-1]})"
        path = f"{path}/{tag}" if path else tag
        for attribute, value in element.attrib.items():
            if tag == "supportedOS" and attribute == "Id":
                value = SUPPORTED_OS_NAMES.get(value.lower(), value)
            key = f"manifest {path}@{attribute}"
            fields[key] = f"{fields[key]}, {value}" if key in fields else value
        if (element.text or "").strip() or not (len(element) or element.attrib):
            fields[f"manifest {path}"] = (element.text or "").strip()
        for child in element:
            walk(child, path, namespace)

    walk(ElementTree.fromstring(data), "", None)
    return fields


def program_fields(path):
    with open(path, "rb") as program:
        resources = read_resources(program.read())
    fields = {}
    for (kind, name, language), data in sorted(resources.items()):
        if kind == RT_VERSION:
            fields["version resource"] = f"{name} language {language:04X}"
            fields.update(version_fields(data))
        elif kind == RT_MANIFEST:
            fields["manifest resource"] = f"{name} language {language:04X}"
            fields.update(manifest_fields(data))
        else:
            fields[f"resource {kind}/{name}"] = f"language {language:04X}"
    return fields


def main(arguments):
    expected = None
    if arguments[:1] == ["--expect"]:
        expected = {}
        with open(arguments[1], encoding="utf-8") as table:
            for line in table.read().splitlines():
                file_name, field, value = line.split("\t")
                expected.setdefault(file_name, {})[field] = value
        arguments = arguments[2:]
    failures = 0
    for path in arguments:
        name = path.replace("\\", "/").rsplit("/", 1)[-1]
        print(name)
        try:
            fields = program_fields(path)
        except (OSError, ValueError, KeyError, struct.error, ElementTree.ParseError) as error:
            print(f"  cannot read: {error}")
            failures += 1
            continue
        for field, value in fields.items():
            print(f"  {field}: {value}")
        if expected is None:
            continue
        wanted = expected.get(name, {})
        for field in sorted(set(wanted) | set(fields)):
            if wanted.get(field) != fields.get(field):
                print(f"  MISMATCH {field}: expected {wanted.get(field)!r},")
                print(f"           read {fields.get(field)!r}")
                failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
