#include "core/errors.h"

#include <iterator>

namespace sirel {

namespace {

constexpr ErrorRow kErrors[] = {
    {ErrorCode::InvalidArgument, "Invalid procedure call or argument"},
    {ErrorCode::Overflow, "Overflow"},
    {ErrorCode::OutOfMemory, "Out of memory"},
    {ErrorCode::TypeMismatch, "Type mismatch"},
    {ErrorCode::PermissionDenied, "Permission denied"},
    {ErrorCode::PathFileAccess, "Path/File access error"},
    {ErrorCode::PathNotFound, "Path not found"},
    {ErrorCode::DeviceIo, "Device I/O error"},
    {ErrorCode::InvalidUseOfNull, "Invalid use of Null"},
    {ErrorCode::InvalidIndex, "Invalid property array index"},
    {ErrorCode::ClipboardOpen, "Can't open Clipboard"},
    {ErrorCode::ListFull, "The message list is full: it holds 32767 lines"},
    {ErrorCode::WindowCreate, "The message window could not be created"},
    {ErrorCode::WindowOperation, "The message window refused the operation"},
    {ErrorCode::ClipboardSet, "The text could not be put on the clipboard"},
    {ErrorCode::DialogFailed, "The save-file dialog failed"},
};

}  // namespace

const char* ErrorText(ErrorCode code) {
  for (const ErrorRow& row : kErrors) {
    if (row.code == code) return row.text;
  }
  return "Unexpected error";
}

const ErrorRow* ErrorTable(std::size_t* count) {
  *count = std::size(kErrors);
  return kErrors;
}

}  // namespace sirel
