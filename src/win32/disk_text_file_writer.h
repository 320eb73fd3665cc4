// The text-file port on CreateFileW and WriteFile: the file is opened for output only when its
// bytes are ready, written in one go and closed. Errors follow the port's contract (an open
// that fails leaves an existing file as it was).
#pragma once

#include "platform/text_file.h"

namespace sirel::win32 {

class DiskTextFileWriter final : public TextFileWriter {
 public:
  void Replace(const std::u16string& path, std::string_view bytes) override;
};

}  // namespace sirel::win32
