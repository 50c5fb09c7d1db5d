// The little the language table needs from the file system: where the module
// lives, which language files a folder holds, and their bytes.  Paths are UTF-8
// everywhere in the core; the Windows build converts them to and from the wide
// API's UTF-16 so that folders with non-ASCII names work.  Nothing here throws.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tessaro::i18n {

// '\\' on Windows, '/' elsewhere.
char PathSeparator();

// Folder of the file this code was loaded from (the plug-in module, or the
// executable it is linked into), ending with a separator; empty when unknown.
std::string ModuleFolder();

// Folder of the running program's own file (the host), ending with a separator;
// empty when unknown.
std::string ProgramFolder();

// Names (not paths) of the regular files in folder whose names end with
// extension, compared without regard to ASCII case (extension includes the dot,
// e.g. ".lng").  Hidden names starting with "." and directories are left out.
// The order is the platform's; a missing or unreadable folder gives no names.
std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension);

// Reads at most maxBytes from the start of the file.  truncated tells whether
// the file held more.  False when the file cannot be opened or read.
bool ReadFileHead(const std::string& path, size_t maxBytes, std::string& bytes, bool& truncated);

// The reading loop both platforms share: up to maxBytes in chunks through
// readSome (false on an error, got = 0 at the end), truncated when more was there.
using ReadSomeFn = std::function<bool(char* into, size_t size, size_t& got)>;
bool ReadInChunks(const ReadSomeFn& readSome, size_t maxBytes, std::string& bytes, bool& truncated);

}  // namespace tessaro::i18n
