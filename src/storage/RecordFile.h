#pragma once

#include <cstdint>
#include <span>
#include <string>

// The binary settings files hold one fixed-size record with no header. Only
// record 0 is read or written, and a file is never truncated: bytes after the
// record stay as they are. Files are named by bare name in the working
// directory, letter case ignored.

enum class TRecordRead {
  Read,        // the whole record was read
  Missing,     // no regular file of that name
  Short,       // the file ends before the record does
  Unreadable,  // the file exists but could not be opened or read
};

// Reads record 0 of Name into Record. Record is changed only on Read.
// Opens the file for reading only, so a write-protected file is read too.
TRecordRead ReadRecord(const std::string& Name, std::span<uint8_t> Record);

enum class TRecordWrite {
  Written,  // record 0 of the existing file was overwritten in place
  Created,  // there was no such file; a new one holds the record
  Failed,   // the file exists but cannot be written, or the new one could not be made
};

// Writes Record as record 0 of Name. An existing file that cannot be opened
// for writing is left alone rather than replaced; a missing one is created
// (never over a file that appeared meanwhile).
TRecordWrite WriteRecord(const std::string& Name, std::span<const uint8_t> Record);

// Only the existing file, in place; Failed when there is none.
TRecordWrite OverwriteRecord(const std::string& Name, std::span<const uint8_t> Record);
