#include "win/image_list.h"

#include <objidl.h>
#include <shlwapi.h>

#include "core/errors.h"
#include "win/icon.h"

namespace quaff::win {

ImageList::ImageList(Component* owner) : Component(owner) {}

ImageList::~ImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

void ImageList::ReadFromStream(const std::uint8_t* data, std::size_t size) {
    HIMAGELIST list = nullptr;
    if (data && size >= 4 && size <= 0x7fffffff) {
        if (IStream* stream = SHCreateMemStream(data, static_cast<UINT>(size))) {
            list = ImageList_Read(stream);
            stream->Release();
        }
    }
    if (!list) throw ReadError("Failed to read ImageList data from stream");
    if (handle_) ImageList_Destroy(handle_);
    handle_ = list;
}

void ImageList::ReadFromResource(HINSTANCE module, const char* name) {
    HRSRC res = FindResourceA(module, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL global = res ? LoadResource(module, res) : nullptr;
    const void* bytes = global ? LockResource(global) : nullptr;
    DWORD size = res ? SizeofResource(module, res) : 0;
    ReadFromStream(static_cast<const std::uint8_t*>(bytes), bytes ? size : 0);
}

int ImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int ImageList::Width() const {
    int cx = 0, cy = 0;
    if (handle_) ImageList_GetIconSize(handle_, &cx, &cy);
    return cx;
}

int ImageList::Height() const {
    int cx = 0, cy = 0;
    if (handle_) ImageList_GetIconSize(handle_, &cx, &cy);
    return cy;
}

void ImageList::GetIcon(int index, Icon& dest) const {
    HICON icon = nullptr;
    if (handle_ && index >= 0 && index < Count()) icon = ImageList_GetIcon(handle_, index, ILD_NORMAL);
    dest.SetHandle(icon);
}

}  // namespace quaff::win
