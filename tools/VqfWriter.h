#pragma once

#include "framework/String.h"

// Bytes of small VQF (TwinVQ) files for the sample playlists and the tests:
// the 16-byte file header, the header chunks, and a few bytes standing in for
// the audio data (the files play nothing). Texts are byte strings in code
// page 932, stored as given.

// One chunk: the 4-byte identifier, the body size as 32-bit big-endian, the body.
CString VqfChunk(const char* id, const CString& body);

// "TWIN97012000", the big-endian size of the chunk area, the given chunks
// (already built with VqfChunk, in any order a test needs), then "DATA" and
// dummy bytes.
CString VqfFileFromChunks(const CString& chunks);

// A well-formed file: COMM, NAME (title), COMT, "(c) ", AUTH (author).
CString VqfFileBytes(const CString& title, const CString& author);
