#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <filesystem>

namespace zelvano::xls
{

// Replaces `target` with `bytes` so that a crash or power cut at any moment
// leaves either the old or the new file: a temporary file in the same folder
// is written and flushed, renamed over the target, and the folder flushed.
// When another program holds the file for a moment (indexer, antivirus) the
// replace is retried briefly. Leftover temporary files of earlier failed
// saves are removed. Throws XlsError when the file could not be replaced;
// the previous file is then intact.
//
// `backup`, when not empty, names a copy of the target taken before the
// first save over it in this process: once per (target, backup) pair. Where
// the file system allows, it is the old file itself, kept by a hard link, so
// the file is not read again to save it.
void saveFileAtomically(const std::filesystem::path& target, const Bytes& bytes,
                        const std::filesystem::path& backup = {});

// Reads a whole file. Throws XlsError (missing file, a folder, unreadable).
// Refuses files larger than `maxBytes`.
Bytes readWholeFile(const std::filesystem::path& path,
                    std::uintmax_t maxBytes = 512u * 1024u * 1024u);

} // namespace zelvano::xls
