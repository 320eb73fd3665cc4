// The one table of errors that Sirel reports. Every failure anywhere in the library is a
// SirelError carrying one of these codes; the automation shell turns it into an HRESULT in the
// control facility (0x800A0000 | number) with the table's text as rich error info, so script
// clients see familiar Err.Number values.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sirel {

enum class ErrorCode : std::int32_t {
  InvalidArgument = 5,      // an argument the member cannot use
  Overflow = 6,             // a value does not fit its 32-bit or 16-bit type
  OutOfMemory = 7,
  TypeMismatch = 13,        // a value cannot be converted to the declared type
  PermissionDenied = 70,    // the export file is read-only or locked
  PathFileAccess = 75,      // the export file cannot be opened for output
  PathNotFound = 76,        // the export folder does not exist
  DeviceIo = 57,            // writing the export file failed part-way
  InvalidUseOfNull = 94,    // a Null where a value is needed
  InvalidIndex = 381,       // a list index outside the list
  ClipboardOpen = 521,      // another program holds the clipboard open
  ListFull = 1001,          // the list already holds 32767 lines
  WindowCreate = 1002,      // the message window could not be created
  WindowOperation = 1003,   // the window refused an operation
  ClipboardSet = 1004,      // the text could not be put on the clipboard
  DialogFailed = 1005,      // the save-file dialog failed
};

// The fixed English text of an error code.
const char* ErrorText(ErrorCode code);

// Every row of the table, in the order above; used by the documentation test.
struct ErrorRow {
  ErrorCode code;
  const char* text;
};
const ErrorRow* ErrorTable(std::size_t* count);

class SirelError : public std::runtime_error {
 public:
  explicit SirelError(ErrorCode code) : std::runtime_error(ErrorText(code)), code_(code) {}
  ErrorCode code() const { return code_; }
  std::int32_t number() const { return static_cast<std::int32_t>(code_); }

 private:
  ErrorCode code_;
};

}  // namespace sirel
