#!/usr/bin/env python3
"""Checks the samples that cannot run here against the type description (Sirel.idl, from which
the type library is compiled, names and all):

- VBA (samples/vba): each file is in the VBA editor's import format (a .bas starts with its
  VB_Name, a .cls with the class header, the name is the file's); the members called on a
  poster, their named arguments and the event handlers' names and parameters (count, names,
  types, ByVal or by reference) are exactly those of the type library; `As Sirel.Sireler` names
  the library and the class.
- PowerShell (samples/powershell): the members used on a poster and the event named in
  Register-ObjectEvent exist with exactly those names; brackets, braces and quotes balance.
  (parse_powershell.cjs parses it with a PowerShell grammar; no PowerShell runs here.)

  check_samples.py IDL SAMPLES_DIR      prints one line per failure, exits 1 if any
"""
import re
import sys

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message)


def read_idl(path):
    text = open(path, encoding="utf-8").read()
    library = re.search(r"library (\w+)", text).group(1)
    coclass = re.search(r"coclass (\w+)", text).group(1)
    interface = text[text.index("interface _Sireler"):text.index("coclass")]
    members = {}
    for name, params in re.findall(r"HRESULT (\w+)\((.*?)\);", interface, re.S):
        members.setdefault(name, re.findall(r"\w+\s*\*\s*(\w+)\s*(?=[,)])", params + ")"))
    events = {}
    source = text[text.index("dispinterface __Sireler"):]
    for name, params in re.findall(r"void (\w+)\(([^)]*)\)", source):
        events[name] = [(param, idl_type, direction == "in") for direction, idl_type, param in
                        re.findall(r"\[(in|in, out)\]\s+(\w+)\*?\s+(\w+)", params)]
    return library, coclass, members, events


VBA_TYPES = {"BSTR": "String", "long": "Long", "VARIANT_BOOL": "Boolean"}


def check_vba(path, library, coclass, members, events):
    raw = open(path, "rb").read()
    name = re.sub(r"\.(bas|cls)$", "", path.split("/")[-1])
    if any(byte > 0x7F for byte in raw):
        fail(f"{path}: not ASCII (the VBA editor imports in the ANSI code page)")
    lines = raw.decode("ascii", "replace").replace("\r\n", "\n").split("\n")
    if path.endswith(".cls"):
        header = ["VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END"]
        if lines[:4] != header:
            fail(f"{path}: no class module header")
        lines = lines[4:]
    if lines[0] != f'Attribute VB_Name = "{name}"':
        fail(f"{path}: the first attribute is not VB_Name = \"{name}\"")
    text = "\n".join(lines)
    for lib, cls in re.findall(r"As (?:New )?(\w+)\.(\w+)", text):
        if (lib, cls) != (library, coclass):
            fail(f"{path}: As {lib}.{cls} is not {library}.{coclass}")
    for member, rest in re.findall(r"\bposter\.(\w+)([^\n]*)", text):
        if member not in members:
            fail(f"{path}: poster.{member} is no member of the type library")
            continue
        for argument in re.findall(r"(\w+):=", rest):
            if argument not in members[member]:
                fail(f"{path}: {member} has no parameter {argument}")
    for event, params in re.findall(r"Private Sub poster_(\w+)\(([^)]*)\)", text):
        if event not in events:
            fail(f"{path}: poster_{event} handles no event of the type library")
            continue
        written = [p.strip() for p in params.split(",") if p.strip()]
        expected = events[event]
        if len(written) != len(expected):
            fail(f"{path}: poster_{event} takes {len(written)} parameters, the event {len(expected)}")
            continue
        for text_param, (param, idl_type, by_value) in zip(written, expected):
            wanted = f"{'ByVal ' if by_value else ''}{param} As {VBA_TYPES[idl_type]}"
            if text_param != wanted:
                fail(f"{path}: poster_{event}: '{text_param}' should be '{wanted}'")


def check_powershell(path, members, events):
    text = open(path, encoding="utf-8").read()
    for member in re.findall(r"\$sirel\.(\w+)", text):
        if member not in members:
            fail(f"{path}: $sirel.{member} is no member of the type library")
    for event in re.findall(r"-EventName (\w+)", text):
        if event not in events:
            fail(f"{path}: {event} is no event of the type library")
    code = re.sub(r"#[^\n]*", "", re.sub(r"'[^'\n]*'", "''", text))
    code_without_strings = re.sub(r'"(?:[^"`\n]|`.)*"', '""', code)
    if code_without_strings.count('"') % 2:
        fail(f"{path}: a double quote is not closed")
    pairs = {")": "(", "]": "[", "}": "{"}
    stack = []
    for char in code_without_strings:
        if char in "([{":
            stack.append(char)
        elif char in pairs:
            if not stack or stack.pop() != pairs[char]:
                fail(f"{path}: '{char}' closes nothing")
                return
    if stack:
        fail(f"{path}: {''.join(stack)} not closed")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    idl, samples = sys.argv[1:]
    library, coclass, members, events = read_idl(idl)
    if len(members) != 20 or len(events) != 9:
        fail(f"read {len(members)} members and {len(events)} events from {idl}, not 20 and 9")
    for name in ("SirelSample.bas", "SirelEvents.cls"):
        check_vba(f"{samples}/vba/{name}", library, coclass, members, events)
    check_powershell(f"{samples}/powershell/hello.ps1", members, events)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
