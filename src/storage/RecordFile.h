#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The binary settings files hold one fixed-size record with no header. Only
// record 0 is read or written, and a file never loses bytes: those after the
// record stay as they are. Files are named by bare name in the working
// directory, letter case ignored.

enum class TRecordRead {
  Read,        // the whole record was read
  Missing,     // no regular file of that name
  Short,       // the file ends before the record does
  Unreadable,  // the file exists but could not be opened or read
};

// Reads the first Size bytes of Name into Bytes, fewer when the file is
// shorter: Read, Missing or Unreadable, never Short. Opens the file for
// reading only, so a write-protected file is read too.
TRecordRead ReadRecordBytes(const std::string& Name, size_t Size, std::vector<uint8_t>& Bytes);

// Record 0 of a file's bytes into Record: Read, or Short when the bytes end
// before the record does. Record is changed only on Read.
TRecordRead ParseRecord(std::span<const uint8_t> Bytes, std::span<uint8_t> Record);

enum class TRecordWrite {
  Written,  // the existing file now holds the record, and its bytes after it
  Created,  // there was no such file; a new one holds the record
  Failed,   // nothing changed: the file cannot be written, or the new one could not be made
};

// Writes Record as record 0 of Name, keeping the bytes after it; a missing
// file is created. The file is replaced as a whole, by a complete new file
// made beside it, so that a full disk, a crash or a kill never leaves it
// shorter or empty. A symbolic link stays a link: its final target is
// written, also one that does not exist yet. An existing file that cannot be
// opened for reading and writing (write-protected, running, a folder) is
// left as it is, and so is everything when the folder of the target does
// not let the new file be made there.
TRecordWrite WriteRecord(const std::string& Name, std::span<const uint8_t> Record);

// Whether WriteRecord could write Name now, without changing anything.
bool RecordWritable(const std::string& Name);
