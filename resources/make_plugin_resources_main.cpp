// Build-time tool: writes the property list and terminology resources as binary
// files for the resource compiler, which would otherwise mangle bytes >= 0x80
// written as string literals, and draws the icons, the cursor and the about
// box's logo into files beside them.
#include <cstdio>
#include <string>
#include <vector>

#include "host/plugin_resources.h"
#include "resources/about_logo.h"
#include "resources/toolkit_artwork.h"

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;  // every resource has content; none means a drawing failed
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv) {
  // The tool runs on the build machine: the module's processor is told.
  using tessaro::host::ModuleArchitecture;
  const std::string arch = argc == 5 ? argv[4] : "";
  if (argc != 5 || (arch != "x64" && arch != "x86")) {
    std::fprintf(stderr, "usage: %s PIPL.bin AETE.bin ARTWORK_FOLDER x64|x86\n", argv[0]);
    return 1;
  }
  const ModuleArchitecture architecture =
      arch == "x86" ? ModuleArchitecture::X86 : ModuleArchitecture::X64;
  bool ok = WriteFile(argv[1], tessaro::host::BuildPropertyList(architecture)) &&
            WriteFile(argv[2], tessaro::host::BuildTerminology());
  for (const auto& file : tessaro::resources::BuildArtworkFiles())
    ok = ok && WriteFile(std::string(argv[3]) + "/" + file.name, file.bytes);
  ok = ok && WriteFile(std::string(argv[3]) + "/about_logo.bmp",
                       tessaro::resources::EncodeBitmapFile24(tessaro::resources::DrawAboutLogo()));
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write the resource files\n", argv[0]);
    return 1;
  }
  return 0;
}
