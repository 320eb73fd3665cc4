#!/usr/bin/env python3
"""The release files: what Sirel.dll registers, read back from the registry, and what is made
from it; the user's README; the check of the archive's content.

The DLL is registered once per bitness in a scratch Wine prefix (scripts/make-dist.sh); the
user's classes key is exported before and after, and this tool keeps what registration added.
That capture is the one source of the installer's registry table and of the side-by-side
manifest, so neither is ever written by hand. Only the x64 DLL's registration is captured on
every machine (the x64 loader runs everywhere); the x86 DLL's is derived from it, so the release
is the same on a machine that runs no 32-bit programs. Where 32-bit programs run, make-dist.sh
captures the x86 DLL's registration as well and compares it with the derived one, so that the
two cannot drift apart.

  release.py capture BEFORE.reg AFTER.reg REMOVED.reg DLL_PATH OUT.json
  release.py derive-x86 X64.json OUT.json   what the x86 DLL registers, from what the x64 one does
  release.py compare DERIVED.json CAPTURED.json   fails, listing them, where the two differ
  release.py manifest CAPTURE.json ARCH VERSION OUT.manifest
  release.py wxs CAPTURE.json ARCH VERSION DLL_SOURCE OUT.wxs   (DLL_SOURCE relative to OUT's folder)
  release.py readme TEMPLATE ERRORS_H VERSION REPO_README OUT
  release.py contents REPO_README STAGE_DIR
  release.py keys CAPTURE.json        the top keys that registration creates, one a line
  release.py codes ARCH VERSION DLL    the product code and the package code, one a line
  release.py zip STAGE_DIR EPOCH OUT.zip   the archive of STAGE_DIR, the same bytes every time
  release.py sums DIR                  writes DIR/SHA256SUMS over every other file of DIR
  release.py pe-align DLL              pads DLL to a multiple of 8 bytes, with its PE checksum

In a capture, the DLL's path is written [DLL] and its folder [DLLDIR]; any other trace of the
scratch location is refused.
"""
import hashlib
import json
import os
import re
import struct
import sys
import time
import uuid
import zipfile
from xml.sax.saxutils import escape, quoteattr

CLASSES = "HKEY_CURRENT_USER\\Software\\Classes\\"
CLASSES_KEY = "Software\\Classes\\"
TYPELIB_MARSHALLER = "{00020424-0000-0000-C000-000000000046}"
DISPATCH_MARSHALLER = "{00020420-0000-0000-C000-000000000046}"

# Fixed per bitness, never changed: Windows Installer recognises an older version of the same
# product through it and upgrades in place.
UPGRADE_CODES = {
    "x64": "{5B0C2E6A-8F7D-4C1E-9B3A-2D6F4E8A1C57}",
    "x86": "{A3E91D24-6C5B-4F8E-8D17-9E2B5C4A7F03}",
}
MANIFEST_ARCH = {"x64": "amd64", "x86": "x86"}
# The name space of the codes derived below (never changed: it keeps them stable).
CODE_NAMESPACE = uuid.UUID("7d3c1f52-5e0b-4a8e-9f21-6b4d2c8a9e17")


def fail(message):
    sys.exit(f"release.py: {message}")


# ---- reading `reg export` files ---------------------------------------------------------------

def read_reg_text(path):
    if not os.path.exists(path):
        return ""  # `reg export` writes nothing for a key that does not exist
    data = open(path, "rb").read()
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    return data.decode("utf-8-sig")


def unquote(text):
    """A quoted .reg string: backslash escapes a backslash or a quote."""
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        fail(f"not a quoted string: {text}")
    return re.sub(r'\\(.)', r'\1', text[1:-1])


def parse_reg(path, classes=CLASSES):
    """{key below Classes: {value name ('' = default): (type, value)}}; keys without values too."""
    keys = {}
    current = None
    lines = read_reg_text(path).replace("\r\n", "\n").split("\n")
    joined = []
    for line in lines:  # hex values continue on the next line after a backslash
        if joined and joined[-1].endswith("\\") and not joined[-1].startswith("["):
            joined[-1] = joined[-1][:-1] + line.strip()
        else:
            joined.append(line)
    for line in joined:
        if not line or line.startswith("Windows Registry Editor") or line.startswith(";"):
            continue
        if line.startswith("["):
            full = line[1:-1]
            if not full.startswith(classes):
                current = None
                continue
            current = keys.setdefault(full[len(classes):], {})
            continue
        if current is None:
            continue
        match = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
        if not match:
            fail(f"{path}: cannot read the line {line!r}")
        name = "" if match.group(1) == "@" else unquote(match.group(1))
        raw = match.group(2)
        if raw.startswith('"'):
            current[name] = ("string", unquote(raw))
        elif raw.startswith("dword:"):
            current[name] = ("dword", int(raw[6:], 16))
        else:
            current[name] = ("raw", raw)  # hex and other forms, compared as written
    return keys


def with_values(keys):
    return {key: values for key, values in keys.items() if values}


def capture(before_path, after_path, removed_path, dll_path, out_path):
    before = parse_reg(before_path)
    after = parse_reg(after_path)
    # Unregistering must take back every value; parents it created (CLSID, Interface ...) stay,
    # as on Windows, where a user's profile has them anyway.
    if with_values(parse_reg(removed_path)) != with_values(before):
        fail("unregistering did not restore the user's classes")
    dll_dir = dll_path.rsplit("\\", 1)[0]
    entries = []
    for key, values in after.items():
        old = before.get(key)
        if old is not None and old == values:
            continue
        if old is not None:
            fail(f"registration changed a key that was there before: {key}")
        if not values:
            continue  # a key only there to hold subkeys
        for name, (kind, value) in sorted(values.items()):
            if kind == "raw":
                fail(f"registration wrote a value of a type not handled: {key} {name}")
            if kind == "string":
                value = generalise(value, dll_path, dll_dir, key)
            entries.append({"key": key, "name": name, "type": kind, "value": value})
    if not entries:
        fail("the capture holds no registration")
    entries.sort(key=lambda entry: (entry["key"].lower(), entry["name"].lower()))
    with open(out_path, "w", encoding="utf-8") as out:
        json.dump(entries, out, indent=1)
        out.write("\n")


def generalise(value, dll_path, dll_dir, key):
    for text, token in ((dll_path, "[DLL]"), (dll_dir, "[DLLDIR]")):
        if value.lower() == text.lower():
            return token
    if dll_dir.lower() in value.lower():
        fail(f"{key}: the scratch folder appears inside a value: {value}")
    return value


def derive_x86(x64_path, out_path):
    """The x86 DLL registers what the x64 one does, for the same class, ProgID, type library
    and interfaces (both build from one IDL), in the 32-bit registry view: the installer's
    32-bit component and the manifest's architecture put it there, so the keys' names do not
    change. The one difference in the names is the type library's platform key: a 32-bit
    type library registers its file under win32, a 64-bit one under win64."""
    entries = json.load(open(x64_path, encoding="utf-8"))
    platform_keys = 0
    for entry in entries:
        key, count = re.subn(r"^(TypeLib\\\{[^}]+\}\\[^\\]+\\[0-9a-fA-F]+\\)win64$",
                             r"\1win32", entry["key"], flags=re.I)
        if count:
            entry["key"] = key
            platform_keys += 1
        elif re.search(r"\\win(32|64)$", entry["key"], re.I):
            fail(f"a platform key outside the type library: {entry['key']}")
    if platform_keys != 1:
        fail(f"{x64_path}: expected one win64 type library key, found {platform_keys}")
    entries.sort(key=lambda entry: (entry["key"].lower(), entry["name"].lower()))
    with open(out_path, "w", encoding="utf-8") as out:
        json.dump(entries, out, indent=1)
        out.write("\n")


def compare(derived_path, captured_path):
    """The registration derived for the x86 DLL against what the x86 DLL really wrote (key
    and value names compared without case, as the registry does)."""
    def entries(path):
        return {(e["key"].lower(), e["name"].lower(), e["type"], e["value"])
                for e in json.load(open(path, encoding="utf-8"))}
    derived, captured = entries(derived_path), entries(captured_path)
    for entry in sorted(derived - captured):
        print(f"  only derived:  {entry}")
    for entry in sorted(captured - derived):
        print(f"  only captured: {entry}")
    if derived != captured:
        fail("the x86 registration derived from the x64 one differs from what the x86 DLL registers")


# ---- the registration model ---------------------------------------------------------------------

class Registration:
    """The class, its ProgID, the type library and the interfaces of one capture."""

    def __init__(self, entries):
        self.entries = entries
        self.values = {(e["key"].lower(), e["name"].lower()): e["value"] for e in entries}
        classes = self.subkeys("CLSID")
        if len(classes) != 1:
            fail(f"expected one class, found {classes}")
        self.clsid = classes[0]
        base = f"CLSID\\{self.clsid}"
        self.threading = self.get(base + "\\InprocServer32", "ThreadingModel")
        self.progid = self.get(base + "\\ProgID")
        self.class_name = self.get(base)
        self.tlbid = self.get(base + "\\TypeLib")
        if self.get(base + "\\InprocServer32") != "[DLL]":
            fail("the class's in-process server is not the DLL")
        if self.get(self.progid + "\\CLSID") != self.clsid:
            fail("the ProgID does not name the class")
        versions = self.subkeys(f"TypeLib\\{self.tlbid}")
        if len(versions) != 1:
            fail(f"expected one type library version, found {versions}")
        major, minor = versions[0].split(".")
        self.tlb_version = f"{int(major, 16)}.{int(minor, 16)}"
        tlb = f"TypeLib\\{self.tlbid}\\{versions[0]}"
        self.tlb_flags = self.get(tlb + "\\FLAGS")
        # The version key and its FLAGS and HELPDIR: the same for both bitnesses.
        self.shared_typelib_keys = {k.lower() for k in (tlb, tlb + "\\FLAGS", tlb + "\\HELPDIR")}
        self.interfaces = []
        for iid in self.subkeys("Interface"):
            key = f"Interface\\{iid}"
            self.interfaces.append({
                "iid": iid,
                "name": self.get(key),
                "proxy": self.get(key + "\\ProxyStubClsid32"),
                "tlbid": self.get(key + "\\TypeLib"),
            })
        marshallers = sorted(i["proxy"].upper() for i in self.interfaces)
        if marshallers != sorted([TYPELIB_MARSHALLER, DISPATCH_MARSHALLER]):
            fail(f"unexpected interfaces: {self.interfaces}")

    def get(self, key, name=""):
        value = self.values.get((key.lower(), name.lower()))
        if value is None:
            fail(f"the capture lacks {key} {name or '(default)'}")
        return value

    def subkeys(self, parent):
        prefix = parent.lower() + "\\"
        found = []
        for entry in self.entries:
            key = entry["key"]
            if key.lower().startswith(prefix):
                child = key[len(prefix):].split("\\")[0]
                if child not in found:
                    found.append(child)
        return found


def load(path):
    return Registration(json.load(open(path, encoding="utf-8")))


def top_keys(r):
    return [f"CLSID\\{r.clsid}", r.progid, f"TypeLib\\{r.tlbid}"] + [
        f"Interface\\{i['iid']}" for i in r.interfaces]


def keys(capture_path):
    print("\n".join(top_keys(load(capture_path))))


# ---- the side-by-side manifest -------------------------------------------------------------------

def manifest(capture_path, arch, version, out_path):
    r = load(capture_path)
    lines = [
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
        "<!-- Registration-free use of Sirel.dll: an application whose manifest depends on the",
        f"     assembly Sirel.X ({MANIFEST_ARCH[arch]}) creates {r.progid} with nothing registered.",
        "     Generated from what Sirel.dll registers; keep it next to Sirel.dll. -->",
        '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
        f'  <assemblyIdentity type="win32" name="Sirel.X" version="{version}"'
        f' processorArchitecture="{MANIFEST_ARCH[arch]}"/>',
        '  <file name="Sirel.dll">',
        f"    <comClass clsid={quoteattr(r.clsid)} threadingModel={quoteattr(r.threading)}"
        f" progid={quoteattr(r.progid)} tlbid={quoteattr(r.tlbid)}"
        f" description={quoteattr(r.class_name)}/>",
        f"    <typelib tlbid={quoteattr(r.tlbid)} version={quoteattr(r.tlb_version)}"
        f' helpdir="" flags=""/>',
        "  </file>",
    ]
    for i in r.interfaces:
        lines.append(
            f"  <comInterfaceExternalProxyStub name={quoteattr(i['name'])} iid={quoteattr(i['iid'])}"
            f" proxyStubClsid32={quoteattr(i['proxy'])} tlbid={quoteattr(i['tlbid'])}/>")
    lines.append("</assembly>")
    write_crlf(out_path, lines)


# ---- the installer source ------------------------------------------------------------------------

def wxs(capture_path, arch, version, dll_source, out_path):
    r = load(capture_path)
    win64 = "yes" if arch == "x64" else "no"
    programs = "ProgramFiles64Folder" if arch == "x64" else "ProgramFilesFolder"
    # The component's GUID is fixed by the bitness and the version's file set, so an upgrade
    # replaces it cleanly.
    component = "{" + str(uuid.uuid5(uuid.NAMESPACE_URL, f"sirel:{arch}:dll")).upper() + "}"
    # The type library's version key (its name, FLAGS, HELPDIR) is one key for both bitnesses:
    # Windows shares HKEY_CLASSES_ROOT\TypeLib between the registry views, and so does Wine. Both
    # packages write the same values there, so they do it through one shared component (one
    # GUID, the same content in both, 32-bit in both since a component's bitness is fixed and an
    # Intel package holds no 64-bit one): Windows Installer counts its clients and removes the
    # values with the last package. The win32/win64 entries stay in each package's own component.
    # Its GUID follows what it writes, so that a release that writes other values (another type
    # library version) has another component, as the component rules want.
    shared_entries = sorted(f"{e['key'].lower()}|{e['name'].lower()}|{e['value']}"
                            for e in r.entries if e["key"].lower() in r.shared_typelib_keys)
    shared_component = "{" + str(uuid.uuid5(
        uuid.NAMESPACE_URL, "sirel:typelib-version:" + "\n".join(shared_entries))).upper() + "}"
    rows, shared_rows = [], []
    for e in r.entries:
        value = e["value"]
        if e["type"] == "string":
            value = value.replace("[DLL]", "[#SirelDll]").replace("[DLLDIR]", "[INSTALLDIR]")
            kind = "string"
        else:
            kind = "integer"
        name = f" Name={quoteattr(e['name'])}" if e["name"] else ""
        key = quoteattr(CLASSES_KEY + e["key"])
        shared = e["key"].lower() in r.shared_typelib_keys
        if shared and "[" in str(value):
            fail(f"{e['key']} differs between the bitnesses and cannot be shared: {value}")
        keypath = ' KeyPath="yes"' if shared and not shared_rows else ""
        (shared_rows if shared else rows).append(
            f'              <RegistryValue Root="HKMU" Key={key}{name} Type="{kind}"'
            f" Value={quoteattr(str(value))}{keypath}/>")
    product_code = product_code_of(arch, version)
    text = f"""<?xml version="1.0" encoding="utf-8"?>
<!-- Generated by tools/release/release.py from what Sirel.dll registers. -->
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{product_code}" Name="Sirel ({arch})" Language="1033" Version="{version}" Manufacturer="Sirel"
           UpgradeCode="{UPGRADE_CODES[arch]}">
    <!-- wixl writes HKMU as root 4; make-dist.sh sets it to -1, the installer's HKMU. -->
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"
             Description="Sirel {version}, the message window component for automation clients ({arch})"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of Sirel ({arch}) is already installed."/>
    <Media Id="1" Cabinet="Sirel.cab" EmbedCab="yes"/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPCOMMENTS" Value="In-process automation component Sirel.Sireler ({arch})"/>

    <!-- Per user by default (no administrator rights): the user's programs folder and the
         user's classes. ALLUSERS=1 installs for the machine: Program Files and the machine's
         classes (HKMU follows ALLUSERS). Each bitness has a folder of its own, so that both
         packages can be installed side by side. -->
    <CustomAction Id="MachineFolder" Property="INSTALLDIR" Value="[{programs}]Sirel\\"/>
    <InstallExecuteSequence>
      <Custom Action="MachineFolder" Before="CostFinalize">ALLUSERS=1</Custom>
    </InstallExecuteSequence>
    <InstallUISequence>
      <Custom Action="MachineFolder" Before="CostFinalize">ALLUSERS=1</Custom>
    </InstallUISequence>

    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="LocalAppDataFolder">
        <Directory Id="UserPrograms" Name="Programs">
          <Directory Id="INSTALLDIR" Name="Sirel-{arch}">
            <Component Id="SirelDll" Guid="{component}" Win64="{win64}">
              <File Id="SirelDll" Name="Sirel.dll" Source={quoteattr(dll_source)} KeyPath="yes"/>
{chr(10).join(rows)}
              <RemoveFolder Id="RemoveInstallDir" On="uninstall"/>
            </Component>
            <!-- In the install folder, not in TARGETDIR: Wine's uninstall of a component there
                 also takes away an empty %LOCALAPPDATA%\Programs. -->
            <Component Id="SirelTypeLibVersion" Guid="{shared_component}" Win64="no">
{chr(10).join(shared_rows)}
            </Component>
          </Directory>
        </Directory>
      </Directory>
      <Directory Id="{programs}"/>
    </Directory>

    <Feature Id="Sirel" Level="1" Title="Sirel">
      <ComponentRef Id="SirelDll"/>
      <ComponentRef Id="SirelTypeLibVersion"/>
    </Feature>
  </Product>
</Wix>
"""
    with open(out_path, "w", encoding="utf-8") as out:
        out.write(text)


# ---- codes and files that are the same in every build of one commit -------------------------

def braced(code):
    return "{" + str(code).upper() + "}"


def product_code_of(arch, version):
    """One product code per bitness and version: a new version is a new product, which the
    major upgrade replaces; the same version built twice is the same product."""
    return braced(uuid.uuid5(CODE_NAMESPACE, f"product:{arch}:{version}"))


def codes(arch, version, dll):
    """The product code, and the package code, which also follows the DLL's bytes: two
    packages of one version that carry different DLLs (signed and unsigned, or a developer's
    build) must not share the code by which Windows Installer caches a package."""
    digest = hashlib.sha256(open(dll, "rb").read()).hexdigest()
    print(product_code_of(arch, version))
    print(braced(uuid.uuid5(CODE_NAMESPACE, f"package:{arch}:{version}:{digest}")))


def make_zip(stage_dir, epoch, out_path):
    """The archive with its entries in sorted order, each with the time EPOCH (seconds, as
    SOURCE_DATE_EPOCH; UTC) and fixed permissions, and no extra fields: the bytes depend on
    the files' contents and names alone."""
    stamp = time.gmtime(max(int(epoch), 315532800))  # a zip's clock starts in 1980
    names = []
    for folder, _, files in os.walk(stage_dir):
        for name in files:
            names.append(os.path.relpath(os.path.join(folder, name), stage_dir).replace(os.sep, "/"))
    with zipfile.ZipFile(out_path, "w") as archive:
        for name in sorted(names):
            info = zipfile.ZipInfo(name, date_time=stamp[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below are read
            info.external_attr = 0o100644 << 16
            with open(os.path.join(stage_dir, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


def sums(folder):
    """DIR/SHA256SUMS in the form `sha256sum -c` reads: every other file of DIR, sorted."""
    lines = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name == "SHA256SUMS" or not os.path.isfile(path):
            continue
        lines.append(f"{hashlib.sha256(open(path, 'rb').read()).hexdigest()}  {name}\n")
    with open(os.path.join(folder, "SHA256SUMS"), "w", encoding="utf-8", newline="\n") as out:
        out.writelines(lines)


def pe_checksum(data, field):
    """The PE header's checksum: the file's 16-bit words summed with carry (the field itself
    counted as 0), plus the file's length."""
    total = 0
    padded = data[:field] + b"\0\0\0\0" + data[field + 4:] + b"\0" * (len(data) % 2)
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def pe_align(path):
    """Authenticode signing pads a file to a multiple of 8 bytes before it appends the
    signature, and removing the signature leaves that padding. Padding the released DLL
    beforehand (zeros, after the last section, with the checksum rewritten) makes a signed DLL
    without its signature byte for byte the unsigned one."""
    data = bytearray(open(path, "rb").read())
    if data[:2] != b"MZ":
        fail(f"{path} is not a PE file")
    field = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64  # OptionalHeader.CheckSum
    data += b"\0" * (-len(data) % 8)
    struct.pack_into("<I", data, field, pe_checksum(bytes(data), field))
    with open(path, "wb") as out:
        out.write(data)


# ---- the user's README ---------------------------------------------------------------------------

def error_rows(errors_h):
    """(number, text) from the one error table: the enum gives numbers, errors.cpp the texts."""
    source = open(errors_h, encoding="utf-8").read()
    numbers = dict(re.findall(r"^\s*(\w+) = (\d+),", source, re.M))
    texts_file = errors_h[:-2] + ".cpp"
    texts = dict(re.findall(r"ErrorCode::(\w+),\s*\"([^\"]*)\"", open(texts_file, encoding="utf-8").read()))
    rows = []
    for name, number in numbers.items():
        if name not in texts:
            fail(f"no text for {name} in {texts_file}")
        rows.append((int(number), texts[name]))
    return sorted(rows)


def contents_table(repo_readme):
    """The table of the archive's files in the project's README: its one list of them."""
    lines = open(repo_readme, encoding="utf-8").read().split("\n")
    try:
        start = next(n for n, line in enumerate(lines) if line.startswith("| File | What it is |"))
    except StopIteration:
        fail(f"{repo_readme} has no table of the archive's files")
    table = []
    for line in lines[start:]:
        if not line.startswith("|"):
            break
        table.append(line)
    return table


def contents(repo_readme, stage_dir):
    listed = set()
    for row in contents_table(repo_readme)[2:]:
        listed.add(re.match(r"^\| `([^`]+)` \|", row).group(1).replace("\\", "/"))
    present = set()
    for folder, _, files in os.walk(stage_dir):
        for name in files:
            present.add(os.path.relpath(os.path.join(folder, name), stage_dir))
    if listed != present:
        fail(f"the archive and the README's table differ: only in the archive "
             f"{sorted(present - listed)}, only in the table {sorted(listed - present)}")


def readme(template, errors_h, version, repo_readme, out_path):
    table = ["| Err.Number | HRESULT | Text |", "|---|---|---|"]
    for number, text in error_rows(errors_h):
        table.append(f"| {number} | 0x{0x800A0000 | number:08X} | {text} |")
    listing = "\n".join(contents_table(repo_readme))
    text = open(template, encoding="utf-8").read()
    text = text.replace("@VERSION@", version).replace("@ERRORS@", "\n".join(table))
    text = text.replace("@CONTENTS@", listing)
    if "@" + "VERSION" in text or "@ERRORS@" in text or "@CONTENTS@" in text:
        fail("the README template has a placeholder left")
    write_crlf(out_path, text.rstrip("\n").split("\n"))


def write_crlf(path, lines):
    with open(path, "w", encoding="utf-8", newline="\r\n") as out:
        out.write("\n".join(lines) + "\n")


COMMANDS = {"capture": (capture, 5), "derive-x86": (derive_x86, 2), "compare": (compare, 2),
            "manifest": (manifest, 4), "wxs": (wxs, 5), "readme": (readme, 5),
            "contents": (contents, 2), "keys": (keys, 1), "codes": (codes, 3), "zip": (make_zip, 3),
            "sums": (sums, 1), "pe-align": (pe_align, 1)}

if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in COMMANDS or len(sys.argv) != COMMANDS[sys.argv[1]][1] + 2:
        sys.exit(__doc__)
    COMMANDS[sys.argv[1]][0](*sys.argv[2:])
