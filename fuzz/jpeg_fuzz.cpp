// The picture decoder on arbitrary files: a clear error or a picture, never a crash, a hang
// or an allocation beyond the budget (AddressSanitizer's allocation limit catches that).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/errors.h"
#include "core/jpeg_picture.h"

namespace {
std::string TempPath() {
    static std::string path = "/tmp/quaff-jpeg-fuzz-" + std::to_string(getpid()) + ".jpg";
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TempPath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    try {
        quaff::Picture p = quaff::DecodeJpegFile(in.get(), path, 406, 283);
        if (!p.empty() && p.pixels.size() != size_t(p.width) * size_t(p.height)) __builtin_trap();
    } catch (const quaff::Error&) {}
    return 0;
}
