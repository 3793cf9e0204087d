/** @file AtomicFile.h
 ** Replacing a file's contents so that a failure never leaves a partial file. */
#pragma once

#include <string>
#include <string_view>

// Writes data to a temporary file in the target's directory, flushes it to disk and
// renames it over the target. A symbolic link is written through (its target is
// replaced, the link stays); the target's permission bits are kept. On any failure
// the old file is intact, the temporary file is removed and ESxFileError names the file.
void WriteFileAtomically(const std::string& fileName, std::string_view data);
