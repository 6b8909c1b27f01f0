#include "core/jpeg_dc_only.h"

#include <algorithm>
#include <cstring>

#include <jerror.h>

namespace quaff {

// One of libjpeg's virtual block arrays: the DC of every block, and a strip of whole blocks
// lent to libjpeg for the rows it asks for. As the interface allows, a strip holds only until
// the same array is asked for again.
struct DcArray {
    JDIMENSION rows, width, window;  // block rows, blocks a row, rows a strip holds
    JDIMENSION first;                // the first row in the strip
    bool dirty;                      // the strip was lent for writing
    JCOEF* dc;                       // rows x width, made when the arrays are realised
    JBLOCKARRAY strip;
    DcArray* next;
};

namespace {

DcOnlyStore& Store(j_common_ptr c) { return *static_cast<DcOnlyStore*>(c->client_data); }

jvirt_barray_ptr Request(j_common_ptr c, int pool, boolean /*pre_zero: the DCs start at 0*/,
                         JDIMENSION width, JDIMENSION rows, JDIMENSION window) {
    DcOnlyStore& store = Store(c);
    auto* a = static_cast<DcArray*>(store.library.alloc_small(c, pool, sizeof(DcArray)));
    *a = {rows, width, std::min(window, rows), 0, false, nullptr, nullptr, store.arrays};
    store.arrays = a;
    return reinterpret_cast<jvirt_barray_ptr>(a);
}

void Realize(j_common_ptr c) {
    DcOnlyStore& store = Store(c);
    store.library.realize_virt_arrays(c);  // libjpeg's sample arrays
    for (DcArray* a = store.arrays; a; a = a->next) {
        if (a->dc) continue;
        const size_t bytes = size_t{a->rows} * a->width * sizeof(JCOEF);
        a->dc = static_cast<JCOEF*>(store.library.alloc_large(c, JPOOL_IMAGE, bytes));
        std::memset(a->dc, 0, bytes);
        a->strip = store.library.alloc_barray(c, JPOOL_IMAGE, a->width, a->window);
        for (JDIMENSION r = 0; r < a->window; ++r)
            std::memset(a->strip[r], 0, size_t{a->width} * sizeof(JBLOCK));
    }
}

JBLOCKARRAY Access(j_common_ptr c, jvirt_barray_ptr array, JDIMENSION start, JDIMENSION count,
                   boolean writable) {
    auto* a = reinterpret_cast<DcArray*>(array);
    if (count > a->window || start + count > a->rows || !a->dc) {
        c->err->msg_code = JERR_BAD_VIRTUAL_ACCESS;
        c->err->error_exit(c);
    }
    if (start < a->first || start + count > a->first + a->window) {
        // The strip's DCs go back to their rows, and the strip is filled from the rows asked
        // for. Whatever else libjpeg wrote in it (AC coefficients of a scan read before the
        // last DC arrived) is dropped: the picture is made from the DCs.
        for (JDIMENSION r = 0; r < a->window; ++r) {
            JCOEF* dc = a->dc + size_t{a->first + r} * a->width;
            for (JDIMENSION b = 0; a->dirty && b < a->width; ++b) dc[b] = a->strip[r][b][0];
        }
        a->first = std::min(start, a->rows - a->window);
        for (JDIMENSION r = 0; r < a->window; ++r) {
            std::memset(a->strip[r], 0, size_t{a->width} * sizeof(JBLOCK));
            const JCOEF* dc = a->dc + size_t{a->first + r} * a->width;
            for (JDIMENSION b = 0; b < a->width; ++b) a->strip[r][b][0] = dc[b];
        }
        a->dirty = false;
    }
    a->dirty = a->dirty || writable;
    return a->strip + (start - a->first);
}

}  // namespace

void KeepDcOnly(j_decompress_ptr c, DcOnlyStore* store) {
    store->library = *c->mem;
    store->arrays = nullptr;
    c->client_data = store;
    c->mem->request_virt_barray = Request;
    c->mem->realize_virt_arrays = Realize;
    c->mem->access_virt_barray = Access;
}

}  // namespace quaff
