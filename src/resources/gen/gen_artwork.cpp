// gen_artwork OUTDIR: writes the artwork the resource script embeds (the six icon-set
// streams with the script lines that name them, the two icons and the folder glyph) into
// OUTDIR, creating it if needed.
// Runs on the build machine; the Windows build compiles its output with windres.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "core/artwork.h"

namespace {

struct Output {
    std::string fileName;
    std::function<std::vector<uint8_t>()> make;
};

// The resource script's lines for the icon sets: each stream under its resource name.
std::vector<uint8_t> IconSetScript() {
    std::string script = "// Written by gen_artwork from the icon-set table.\n";
    for (const quaff::IconSet& set : quaff::kIconSets)
        script += std::string(set.resourceName) + " RCDATA \"" + set.resourceName + ".il\"\n";
    return {script.begin(), script.end()};
}

std::vector<Output> Outputs() {
    std::vector<Output> outputs = {
        {"icon_sets.rc", IconSetScript},
        {"mainicon.ico", quaff::MainIconFile},
        {"trayicon.ico", quaff::InitialTrayIconFile},
        {"folder.bmp", quaff::FolderGlyphBmp},
    };
    for (const quaff::IconSet& set : quaff::kIconSets)
        outputs.push_back({std::string(set.resourceName) + ".il",
                           [set] { return quaff::IconSetStream(set.drink, set.measure); }});
    return outputs;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_artwork OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "gen_artwork: cannot create %s: %s\n", dir.string().c_str(),
                     error.message().c_str());
        return 1;
    }
    try {
        for (const Output& output : Outputs()) {
            const std::filesystem::path path = dir / output.fileName;
            if (!WriteFile(path, output.make())) {
                std::fprintf(stderr, "gen_artwork: cannot write %s\n", path.string().c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
