// What the command line needs of the operating system: its own folder, the
// terminal, and replacing a file in one step.  Paths are UTF-8 everywhere.
#pragma once

#include <cstdint>
#include <cstdio>
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
// it over path stays within one file system.  Its own name is short, so it
// fits wherever path's name fits.
std::string TemporaryPathBeside(const std::string& path);

// Why a new file cannot be put at path, or "" when it can: path is missing
// (in an existing folder) or a regular file we may write.  Folders, links,
// devices, pipes and read-only files are never replaced.
std::string OutputProblem(const std::string& path);

// Why path is not a folder results can be written into ("does not exist",
// "is not a folder"), or "" when it is.
std::string FolderProblem(const std::string& path);

// Puts from in place of to in one step: readers see the old file or the new
// one, never a part.  A file that was there keeps its permissions.  On
// failure from is left in place and error says why.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* error);

// What StderrCapture needs of the system.  A scratch file, removed once
// closed; standard error sent into a file, with a descriptor of the real one
// returned (-1 when it cannot be); the real one put back (closing saved); a
// stream of its own on a copy of saved (null when none can be had).
std::FILE* OpenScratchFile();
int RedirectStandardError(std::FILE* to);
void RestoreStandardError(int saved);
std::FILE* OpenStreamOnCopy(int saved);

// Holds what is written to the process's standard error while it lives (the
// module writes its messages there), so that the host can pass them on in
// its own format.  Where that is impossible, messages pass through as they
// come.
class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // The real standard error while capturing (for the progress bar), else
  // null.
  std::FILE* Original() const { return original_; }
  // Ends capturing and returns what was written.
  std::string Finish();

 private:
  std::FILE* original_ = nullptr;
  std::FILE* held_ = nullptr;
  int savedDescriptor_ = -1;
};

void RemoveFile(const std::string& path);

// A window standing for an editor's while the filter's dialog runs: "own" on
// the calling thread, "thread" on a thread of its own, "none" (or a platform
// without windows) none at all.
class HostWindowImitation {
 public:
  explicit HostWindowImitation(const std::string& mode);
  ~HostWindowImitation();
  HostWindowImitation(const HostWindowImitation&) = delete;
  HostWindowImitation& operator=(const HostWindowImitation&) = delete;
  intptr_t Handle() const { return handle_; }

 private:
  intptr_t handle_ = 0;
#if defined(_WIN32)
  void* thread_ = nullptr;  // the platform's thread, for "thread"
  unsigned long threadId_ = 0;
#endif
};

#if defined(_WIN32)
// The system's text for an error code, without the trailing full stop.
std::string SystemErrorText(unsigned long code);
#endif

}  // namespace tessaro::cli
