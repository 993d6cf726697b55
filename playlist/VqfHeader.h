#pragma once

#include "framework/FileException.h"
#include "framework/String.h"

// Reads the title and author from the header of the VQF file at path. The
// header must hold the chunks "COMM", "NAME", "COMT", "(c) " and "AUTH", in
// that order, from byte 16 on; each chunk is a 4-byte identifier, a 32-bit
// big-endian body size and the body. Title and author are the "NAME" and
// "AUTH" bodies up to their first NUL byte. title is overwritten as soon as
// "NAME" is read and author as soon as "AUTH" is read, so a header that fails
// after "NAME" has already replaced the title.
//
// Returns 1 when both were read. Returns 0, without an exception, when an
// identifier differs, when the file ends before an identifier, size or body
// is complete, or when a size is 2^31 or more or runs past the end of the
// file. A file that cannot be opened, or an OS error while reading it, raises
// CFileException.
int ReadVqfHeaderTags(const CString& path, CString& title, CString& author);
