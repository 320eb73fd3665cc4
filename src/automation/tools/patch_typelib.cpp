// Build-time tool (runs on the build machine): finishes a type library that the IDL compiler
// made, for what the IDL cannot say.
//   --type-flags <GUID> <hex> <major.minor>  adds type flags to a type and sets its version
//       (the IDL compiler refuses `nonextensible` and `version` on a dispinterface);
//   --name-locale <hex>  sets the locale that the name table is built for (the header's first
//       locale; the second is the library's own). The IDL compiler leaves it 0. Names are
//       hashed alike for the neutral and the English locales, so no hash changes;
//   --unname-values <GUID>  removes the names of a type's property-put values and return
//       values (the IDL leaves them unnamed, but the IDL compiler invents the name "a" for an
//       unnamed return value).
//
//   patch_typelib <in.tlb> <out.tlb> <operation>...
//   patch_typelib --list <file.tlb>     (the library, each type and its parameters)
//
// The type library format ("MSFT"): a fixed header, one offset per type, a directory of 15
// segments (offset, length, two reserved words), then the segments. Each type's base record in
// the first segment holds its kind, the file offset of its member records, its function count,
// the position of its GUID in the GUID segment (the sixth), its type flags and its version
// (major in the low word, minor in the high word). A member block starts with its length, then
// one record per function: the record's length in the low word of its first 32-bit value, the
// invoke kind in bits 3-6 of the word at 0x10, the parameter count at 0x14, and the parameters
// (type, name offset, flags; 12 bytes each) at the record's end. A name offset of -1 means no
// name. Nothing moves: the tool rewrites 32-bit words in place and refuses any file it does not
// understand.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kNameLocaleOffset = 0x0C;
constexpr std::size_t kLibraryLocaleOffset = 0x10;
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr std::size_t kSegmentCount = 15;
constexpr std::size_t kTypeInfoSegment = 0;
constexpr std::size_t kGuidSegment = 5;
constexpr std::size_t kNameSegment = 7;
constexpr std::size_t kTypeInfoBaseSize = 0x64;
constexpr std::size_t kKindOffset = 0x00;
constexpr std::size_t kMembersOffset = 0x04;
constexpr std::size_t kElementCountOffset = 0x18;
constexpr std::size_t kGuidPosOffset = 0x2C;
constexpr std::size_t kFlagsOffset = 0x30;
constexpr std::size_t kNameOffset = 0x34;
constexpr std::size_t kVersionOffset = 0x38;
constexpr std::size_t kGuidSize = 16;
constexpr std::size_t kRecordKindsOffset = 0x10;
constexpr std::size_t kRecordArgCountOffset = 0x14;
constexpr std::size_t kParamInfoSize = 12;
constexpr std::uint32_t kInvokePropertyPut = 4;
constexpr std::uint32_t kInvokePropertyPutRef = 8;
constexpr std::uint32_t kParamFlagRetval = 0x8;
constexpr std::uint32_t kNoName = 0xFFFFFFFFu;

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "patch_typelib: %s\n", message.c_str());
  std::exit(1);
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

class TypeLibFile {
 public:
  explicit TypeLibFile(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {
    if (Read(0) != kMagic) Fail("not a type library (no MSFT header)");
    type_count_ = Read(0x20);
    std::size_t offsets = kHeaderSize + ((Read(0x14) & kHelpDllFlag) ? 4 : 0);
    type_offsets_at_ = offsets;
    segments_at_ = offsets + 4 * static_cast<std::size_t>(type_count_);
    if (segments_at_ + kSegmentCount * 16 > bytes_.size()) Fail("truncated segment directory");
  }

  std::uint32_t typeCount() const { return type_count_; }

  // Offset in the file of type i's base record.
  std::size_t TypeRecord(std::uint32_t i) const {
    const std::size_t record = SegmentStart(kTypeInfoSegment) + Read(type_offsets_at_ + 4 * i);
    if (record + kTypeInfoBaseSize > bytes_.size()) Fail("type record outside the file");
    return record;
  }

  std::string GuidOf(std::uint32_t i) const {
    const std::size_t at = SegmentStart(kGuidSegment) + Read(TypeRecord(i) + kGuidPosOffset);
    if (at + kGuidSize > bytes_.size()) Fail("GUID outside the file");
    return FormatGuid(&bytes_[at]);
  }

  std::string NameOf(std::uint32_t i) const { return NameAt(Read(TypeRecord(i) + kNameOffset)); }

  // The index of the type with this GUID (any case); fails when there is none.
  std::uint32_t FindType(const std::string& guid) const {
    for (std::uint32_t i = 0; i < type_count_; ++i) {
      if (GuidOf(i) == Upper(guid)) return i;
    }
    Fail("the type " + guid + " is not in the type library");
  }

  // Calls visit(invokeKind, paramOffset) for every parameter of every function of type i,
  // paramOffset being the file offset of the parameter's 12-byte record.
  template <class Visit>
  void ForEachParameter(std::uint32_t i, Visit visit) const {
    const std::size_t record = TypeRecord(i);
    const std::uint32_t functions = Read(record + kElementCountOffset) & 0xFFFF;
    if (functions == 0) return;
    std::size_t at = Read(record + kMembersOffset) + 4;
    for (std::uint32_t f = 0; f < functions; ++f) {
      const std::size_t length = Read(at) & 0xFFFF;
      const std::uint32_t kind = (Read(at + kRecordKindsOffset) >> 3) & 0xF;
      const std::size_t args = Read(at + kRecordArgCountOffset) & 0xFFFF;
      if (length < kRecordArgCountOffset + 4 + args * kParamInfoSize) Fail("bad function record");
      for (std::size_t p = 0; p < args; ++p) {
        visit(kind, at + length - (args - p) * kParamInfoSize);
      }
      at += length;
    }
  }

  std::string NameAt(std::uint32_t offset) const {
    if (offset == kNoName) return "(none)";
    const std::size_t at = SegmentStart(kNameSegment) + offset;
    if (at + 12 > bytes_.size()) Fail("name outside the file");
    const std::size_t length = Read(at + 8) & 0xFF;
    if (at + 12 + length > bytes_.size()) Fail("name outside the file");
    return std::string(reinterpret_cast<const char*>(&bytes_[at + 12]), length);
  }

  std::uint32_t Read(std::size_t at) const {
    if (at + 4 > bytes_.size()) Fail("read past the end of the file");
    return static_cast<std::uint32_t>(bytes_[at]) | static_cast<std::uint32_t>(bytes_[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes_[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
  }

  void Write(std::size_t at, std::uint32_t value) {
    if (at + 4 > bytes_.size()) Fail("write past the end of the file");
    for (int b = 0; b < 4; ++b) bytes_[at + b] = static_cast<unsigned char>(value >> (8 * b));
  }

  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  std::size_t SegmentStart(std::size_t segment) const {
    const std::uint32_t offset = Read(segments_at_ + 16 * segment);
    if (offset == 0xFFFFFFFFu || offset >= bytes_.size()) Fail("missing segment");
    return offset;
  }

  // Registry form, upper case: Data1-Data2-Data3-Data4[0..1]-Data4[2..7].
  static std::string FormatGuid(const unsigned char* g) {
    char text[40];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  g[3], g[2], g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12],
                  g[13], g[14], g[15]);
    return text;
  }

  std::vector<unsigned char> bytes_;
  std::uint32_t type_count_ = 0;
  std::size_t type_offsets_at_ = 0;
  std::size_t segments_at_ = 0;
};

std::vector<unsigned char> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(std::string("cannot read ") + path);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

int List(const char* path) {
  const TypeLibFile file(ReadFile(path));
  const std::uint32_t version = file.Read(0x18);
  std::printf("library syskind=%u version=%u.%u lcid=%u names=0x%04X flags=0x%X\n",
              file.Read(0x14) & 0xF, version & 0xFFFF, version >> 16,
              file.Read(kLibraryLocaleOffset), file.Read(kNameLocaleOffset), file.Read(0x1C));
  for (std::uint32_t i = 0; i < file.typeCount(); ++i) {
    const std::size_t record = file.TypeRecord(i);
    const std::uint32_t version = file.Read(record + kVersionOffset);
    std::printf("%u %-12s kind=%u flags=0x%04X version=%u.%u {%s}\n", i, file.NameOf(i).c_str(),
                file.Read(record + kKindOffset) & 0xF, file.Read(record + kFlagsOffset),
                version & 0xFFFF, version >> 16, file.GuidOf(i).c_str());
    file.ForEachParameter(i, [&](std::uint32_t kind, std::size_t param) {
      std::printf("    invoke kind %u: parameter %s, flags 0x%X\n", kind,
                  file.NameAt(file.Read(param + 4)).c_str(), file.Read(param + 8));
    });
  }
  return 0;
}

void SetTypeFlags(TypeLibFile& file, const std::string& guid, const char* flagsText,
                  const char* versionText) {
  char* end = nullptr;
  const unsigned long flags = std::strtoul(flagsText, &end, 16);
  if (*end != '\0') Fail("flags must be hexadecimal");
  unsigned major = 0;
  unsigned minor = 0;
  if (std::sscanf(versionText, "%u.%u", &major, &minor) != 2 || major > 0xFFFF || minor > 0xFFFF) {
    Fail("version must be major.minor");
  }
  const std::size_t record = file.TypeRecord(file.FindType(guid));
  file.Write(record + kFlagsOffset, file.Read(record + kFlagsOffset) | static_cast<std::uint32_t>(flags));
  file.Write(record + kVersionOffset, (minor << 16) | major);
}

void UnnameValues(TypeLibFile& file, const std::string& guid) {
  int unnamed = 0;
  file.ForEachParameter(file.FindType(guid), [&](std::uint32_t kind, std::size_t param) {
    const bool putValue = kind == kInvokePropertyPut || kind == kInvokePropertyPutRef;
    const bool returnValue = (file.Read(param + 8) & kParamFlagRetval) != 0;
    if (putValue || returnValue) {
      file.Write(param + 4, kNoName);
      ++unnamed;
    }
  });
  if (unnamed == 0) Fail("no property value or return value in " + guid);
}

int Patch(int argc, char** argv) {
  TypeLibFile file(ReadFile(argv[1]));
  for (int i = 3; i < argc;) {
    const std::string operation = argv[i];
    if (operation == "--type-flags" && i + 3 < argc) {
      SetTypeFlags(file, argv[i + 1], argv[i + 2], argv[i + 3]);
      i += 4;
    } else if (operation == "--name-locale" && i + 1 < argc) {
      char* end = nullptr;
      const unsigned long locale = std::strtoul(argv[i + 1], &end, 16);
      if (*end != '\0' || locale > 0xFFFF) Fail("the locale must be a hexadecimal LANGID");
      file.Write(kNameLocaleOffset, static_cast<std::uint32_t>(locale));
      i += 2;
    } else if (operation == "--unname-values" && i + 1 < argc) {
      UnnameValues(file, argv[i + 1]);
      i += 2;
    } else {
      Fail("unknown or incomplete operation " + operation);
    }
  }
  std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
  output.write(reinterpret_cast<const char*>(file.bytes().data()),
               static_cast<std::streamsize>(file.bytes().size()));
  if (!output) Fail(std::string("cannot write ") + argv[2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--list") == 0) return List(argv[2]);
  if (argc >= 4 && argv[1][0] != '-') return Patch(argc, argv);
  std::fprintf(stderr,
               "usage: patch_typelib <in.tlb> <out.tlb> <operation>...\n"
               "         --type-flags <type GUID> <flags to add, hex> <major.minor>\n"
               "         --name-locale <LANGID, hex>\n"
               "         --unname-values <type GUID>\n"
               "       patch_typelib --list <file.tlb>\n");
  return 2;
}
