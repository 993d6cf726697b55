#pragma once

#include "framework/String.h"

// Bytes of small VQF (TwinVQ) files for the sample playlists and the tests:
// the 16-byte file header, the header chunks, and a few bytes standing in for
// the audio data (the files play nothing). Texts are byte strings in code
// page 932, stored as given.

// One chunk: the 4-byte identifier, the body size as 32-bit big-endian, the body.
CString VqfChunk(const char* id, const CString& body);
// A damaged chunk for the tests: its size field says size, whatever the body holds.
CString VqfChunkWithSize(const char* id, unsigned long size, const CString& body);

// "TWIN97012000", the big-endian size of the chunk area, then the given
// chunks (already built with VqfChunk, in any order a test needs): all that
// the tag reader reads, and nothing after it.
CString VqfHeaderBytes(const CString& chunks);

// VqfHeaderBytes, then "DATA" and dummy bytes.
CString VqfFileFromChunks(const CString& chunks);

// The chunks of a well-formed header: COMM, NAME (title), COMT, "(c) ", AUTH (author).
CString VqfTagChunks(const CString& title, const CString& author);

// A well-formed file: VqfTagChunks in a whole file.
CString VqfFileBytes(const CString& title, const CString& author);
