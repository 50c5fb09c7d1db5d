// What the command line needs of the operating system: its own folder, the
// terminal, and replacing a file in one step.  Paths are UTF-8 everywhere.
#pragma once

#include <string>
#include <vector>

namespace tessaro::cli {

// The program's arguments without its name, as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The folder of the running program, ending in a separator.
std::string ProgramFolder();

// The plug-in module's file name in this build.
const char* ModuleFileName();

// Whether the filter module of this platform has its effect dialog.
bool ModuleHasDialog();

bool StderrIsTerminal();

// A name for a temporary file in the same folder as path, so that renaming
// it over path stays within one file system.
std::string TemporaryPathBeside(const std::string& path);

// Puts from in place of to in one step: readers see the old file or the new
// one, never a part.  On failure from is left in place and error says why.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error);

void RemoveFile(const std::string& path);

#if defined(_WIN32)
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
#endif

}  // namespace tessaro::cli
