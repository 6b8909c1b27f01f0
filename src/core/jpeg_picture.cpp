#include "core/jpeg_picture.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include "core/errors.h"
#include "core/jpeg_dc_only.h"

// jpeglib.h expects FILE and size_t to be declared before it.
#include <jpeglib.h>

namespace quaff {
namespace {

static_assert(std::endian::native == std::endian::little,
              "blue, green, red, filler bytes read as 0x??RRGGBB only on little-endian machines");

enum class Outcome { Done, LibraryError, TooLarge, TooManyScans };

// libjpeg reports failure by calling error_exit from inside its own C code, where no C++
// exception may pass. OnError jumps back to DecodeStream instead, which returns an Outcome;
// the C++ side throws from there.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so the pointer libjpeg holds is also ours
    std::jmp_buf jump;
    Outcome outcome;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo, Outcome outcome) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->outcome = outcome;
    std::longjmp(err->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr cinfo) { JumpOut(cinfo, Outcome::LibraryError); }

// Warnings (a file that ends early, damaged data the decoder steps over) let decoding go on:
// the user sees what the file holds, the missing part grey, rather than an error box at every
// showing of the window. Nothing is written to stderr.
void OnMessage(j_common_ptr, int) {}

void OnProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans)
        JumpOut(cinfo, Outcome::TooManyScans);
}

// What DecodeStream works on. Plain data only: see DecodeStream.
struct Job {
    int drawWidth, drawHeight;
    size_t budget;
    Picture* picture;
    std::vector<JSAMPLE>* cmykRow;
    jpeg_progress_mgr progress;
    DcOnlyStore dcOnly;
};

uint64_t RoundUp(uint64_t n, uint64_t multiple) { return (n + multiple - 1) / multiple * multiple; }

// An upper bound of libjpeg's own memory for this file: the whole coefficient buffer when the
// picture arrives in several scans (progressive files), then per component about ten sample
// rows of the full width for buffering and upsampling, doubled for slack, and room for tables.
uint64_t WorkingBytes(const jpeg_decompress_struct& c, bool multiScan) {
    uint64_t bytes = 64 * 1024;
    for (int i = 0; i < c.num_components; ++i) {
        const jpeg_component_info& comp = c.comp_info[i];
        const uint64_t blocksWide = RoundUp(comp.width_in_blocks, comp.h_samp_factor);
        if (multiScan)
            bytes +=
                blocksWide * RoundUp(comp.height_in_blocks, comp.v_samp_factor) * sizeof(JBLOCK);
        bytes += blocksWide * DCTSIZE * comp.v_samp_factor * (DCTSIZE + 2) * 2;
    }
    return bytes;
}

// libjpeg-turbo writes blue, green, red and a filler byte straight into the 32-bit rows, from
// colour and greyscale files alike. It cannot turn CMYK into RGB, so CMYK files (from print
// work) come out as CMYK and are converted by CmykToPixel.
bool ChooseColours(j_decompress_ptr c) {
    const bool cmyk = c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK;
    c->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    return cmyk;
}

// The smallest scale from 1/8 to 8/8 whose output still covers the draw size. libjpeg works
// out each candidate's size itself, so the rounding is the one it will decode with.
void ChooseScale(j_decompress_ptr c, int drawWidth, int drawHeight) {
    c->scale_denom = 8;
    const bool known = drawWidth > 0 && drawHeight > 0;  // else full size
    for (unsigned num = known ? 1 : 8; num <= 8; ++num) {
        c->scale_num = num;
        jpeg_calc_output_dimensions(c);
        if (!known ||
            (c->output_width >= unsigned(drawWidth) && c->output_height >= unsigned(drawHeight)))
            return;
    }
}

// Adobe's programs, which write most CMYK JPEGs, store the inks inverted (255 = no ink) and
// mark the file as theirs; other writers store ink amounts as they are.
uint32_t CmykToPixel(const JSAMPLE* p, bool inverted) {
    auto paper = [inverted](JSAMPLE ink) { return uint32_t(inverted ? ink : 255 - ink); };
    const uint32_t k = paper(p[3]);
    const uint32_t r = paper(p[0]) * k / 255, g = paper(p[1]) * k / 255, b = paper(p[2]) * k / 255;
    return r << 16 | g << 8 | b;
}

// A progressive file brings every component's DC coefficients first, in scans of their own.
// At 1/8 scale a block's output is its DC coefficient (libjpeg-turbo gives subsampled chroma a
// 2 x 2 transform, whose other terms its block smoothing estimates from the DCs around), so
// reading stops at the first scan that carries AC coefficients once every component has its
// DC: what a window needs from a camera's picture is in the file's first few per cent. The
// header of the scan it stops at has been read; its data has not.
void ReadDcScans(j_decompress_ptr c) {
    for (;;) {
        bool everyDc = true;
        for (int i = 0; i < c->num_components; ++i) everyDc = everyDc && c->coef_bits[i][0] >= 0;
        if (c->Ss != 0 && everyDc) return;
        int got;
        do {
            OnProgress(reinterpret_cast<j_common_ptr>(c));  // the limit on scans
            got = jpeg_consume_input(c);
        } while (got != JPEG_REACHED_SOS && got != JPEG_REACHED_EOI && got != JPEG_SUSPENDED);
        if (got != JPEG_REACHED_SOS) return;  // the end of the file, possibly an early one
    }
}

// Runs libjpeg from creation to the last row. A jump back from OnError lands in this frame and
// passes over libjpeg's C frames only, so nothing here or in the callbacks may have a
// destructor: the C++ objects live in the caller and are reached through `job`.
Outcome DecodeStream(j_decompress_ptr c, ErrorManager* err, std::FILE* file, Job* job) {
    if (setjmp(err->jump)) return err->outcome;

    jpeg_create_decompress(c);
    c->progress = &job->progress;
    jpeg_stdio_src(c, file);
    jpeg_read_header(c, TRUE);

    const bool cmyk = ChooseColours(c);
    ChooseScale(c, job->drawWidth, job->drawHeight);
    const uint64_t outputBytes = uint64_t{c->output_width} * c->output_height * sizeof(uint32_t);
    if (outputBytes + WorkingBytes(*c, jpeg_has_multiple_scans(c)) > job->budget)
        return Outcome::TooLarge;
    // libjpeg holds its whole-picture buffers to this itself: a second line of defence.
    c->mem->max_memory_to_use = long(std::min<uint64_t>(job->budget - outputBytes, LONG_MAX));

    const bool dcOnly = c->progressive_mode && c->scale_num == 1 && c->scale_denom == 8;
    if (dcOnly) {
        KeepDcOnly(c, &job->dcOnly);
        c->buffered_image = TRUE;
        c->do_block_smoothing = FALSE;  // it would blur the DCs: the picture is made from them
    }
    jpeg_start_decompress(c);
    if (dcOnly) {
        ReadDcScans(c);
        // Output from what has been read. Naming the scan whose header was just read would make
        // libjpeg read that scan's data as the rows go out.
        jpeg_start_output(c,
                          jpeg_input_complete(c) ? c->input_scan_number : c->input_scan_number - 1);
    }
    Picture& picture = *job->picture;
    picture.width = int(c->output_width);
    picture.height = int(c->output_height);
    picture.pixels.resize(size_t{c->output_width} * c->output_height);
    if (cmyk) job->cmykRow->resize(size_t{c->output_width} * 4);

    while (c->output_scanline < c->output_height) {
        uint32_t* out = picture.pixels.data() + size_t{c->output_scanline} * c->output_width;
        JSAMPROW row = cmyk ? job->cmykRow->data() : reinterpret_cast<JSAMPROW>(out);
        if (jpeg_read_scanlines(c, &row, 1) != 1) break;  // cannot happen with a file source
        for (unsigned x = 0; x < c->output_width; ++x)
            out[x] = cmyk ? CmykToPixel(row + 4 * x, c->saw_Adobe_marker) : out[x] & 0x00FFFFFF;
    }
    // The rest of the file (normally just its end marker, or the scans a DC-only picture
    // does without) is not needed.
    return Outcome::Done;
}

struct DecompressGuard {
    jpeg_decompress_struct* c;
    ~DecompressGuard() { jpeg_destroy_decompress(c); }  // harmless when creation never happened
};

}  // namespace

Picture DecodeJpegFile(std::FILE* file, const std::string& name, int drawWidth, int drawHeight,
                       size_t memoryBudget) {
    // libjpeg reads 4 KiB at a time: through a larger buffer a camera's picture takes a
    // hundred reads instead of more than a thousand (under Wine each is a system call).
    if (file) std::setvbuf(file, nullptr, _IOFBF, size_t{1} << 16);
    // A folder opens on some systems and fails at the first read; to the user it is the same.
    const int first = file ? std::fgetc(file) : EOF;
    if (!file || (first == EOF && std::ferror(file)))
        throw FileOpenError("Cannot open file " + name);
    if (first == EOF) return {};
    std::ungetc(first, file);

    Picture picture;
    std::vector<JSAMPLE> cmykRow;
    Job job{drawWidth, drawHeight, memoryBudget, &picture, &cmykRow, {}, {}};
    job.progress.progress_monitor = OnProgress;

    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    DecompressGuard guard{&cinfo};

    switch (DecodeStream(&cinfo, &err, file, &job)) {
        case Outcome::Done:
            return picture;
        case Outcome::LibraryError:
            throw JpegError("JPEG error #" + std::to_string(err.pub.msg_code));
        case Outcome::TooLarge:
            throw JpegError("JPEG image too large: " + std::to_string(cinfo.image_width) + " x " +
                            std::to_string(cinfo.image_height) + " pixels");
        case Outcome::TooManyScans:
            throw JpegError("JPEG image has too many scans: more than " +
                            std::to_string(kMaxJpegScans));
    }
    return {};
}

}  // namespace quaff
