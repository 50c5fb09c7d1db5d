// The `tessaro` program: a host for the filter module on the command line.
#include "cli/cli_app.h"
#include "cli/platform.h"

int main(int argc, char** argv) {
  tessaro::cli::CliEnvironment env;
  env.progressWanted = tessaro::cli::StderrIsTerminal();
  env.programFolder = tessaro::cli::ProgramFolder();
  return tessaro::cli::RunCli(tessaro::cli::ProgramArguments(argc, argv), env);
}
