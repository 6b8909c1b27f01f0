// Decoding a progressive JPEG from its DC coefficients alone without libjpeg's whole-picture
// coefficient buffer: libjpeg keeps 64 coefficients a block for a progressive file (72 MiB for
// 24 megapixels, all of it zeroed and written while the first scan is read), where a picture
// made from the DC scans needs one.
#pragma once

#include <cstdio>  // jpeglib.h wants FILE and size_t declared first

#include <jpeglib.h>

namespace quaff {

struct DcArray;

// What the store keeps between libjpeg's calls. Plain data in the caller's frame, which must
// outlast the decode: libjpeg leaves a failed decode by a long jump, past any destructor.
struct DcOnlyStore {
    jpeg_memory_mgr library;  // libjpeg's own memory manager, which does everything else
    DcArray* arrays;
};

// From now until `c` is destroyed, libjpeg's coefficient arrays keep each block's DC and
// nothing else (every other coefficient reads as 0). Call after jpeg_read_header and before
// jpeg_start_decompress. It goes through the memory manager's interface, the one libjpeg's
// own disk backing store uses, and takes `c`'s client_data.
void KeepDcOnly(j_decompress_ptr c, DcOnlyStore* store);

}  // namespace quaff
