#include "win/image_list.h"

#include <objidl.h>
#include <shlwapi.h>

#include "core/errors.h"

namespace quaff::win {

ImageList::ImageList(Component* owner) : Component(owner) {}

void ImageList::ReadFromStream(const std::uint8_t* data, std::size_t size) {
    UniqueImageList list;
    if (data && size >= 4 && size <= 0x7fffffff) {
        if (const ComPtr<IStream> stream{SHCreateMemStream(data, static_cast<UINT>(size))})
            list.reset(ImageList_Read(stream.get()));
    }
    if (!list) throw ReadError("Failed to read ImageList data from stream");
    handle_ = std::move(list);
    icons_.clear();
}

void ImageList::ReadFromResource(HINSTANCE module, const char* name) {
    HRSRC res = FindResourceA(module, name, RT_RCDATA);
    HGLOBAL global = res ? LoadResource(module, res) : nullptr;
    const void* bytes = global ? LockResource(global) : nullptr;
    DWORD size = res ? SizeofResource(module, res) : 0;
    ReadFromStream(static_cast<const std::uint8_t*>(bytes), bytes ? size : 0);
}

int ImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_.get()) : 0; }

int ImageList::Width() const {
    int cx = 0, cy = 0;
    if (handle_) ImageList_GetIconSize(handle_.get(), &cx, &cy);
    return cx;
}

int ImageList::Height() const {
    int cx = 0, cy = 0;
    if (handle_) ImageList_GetIconSize(handle_.get(), &cx, &cy);
    return cy;
}

void ImageList::GetIcon(int index, Icon& dest, IconStyle style) const {
    if (!handle_ || index < 0 || index >= Count()) {
        dest.Share(nullptr);
        return;
    }
    if (style.size == Width()) style.size = 0;
    if (parts_.outline.empty()) style.outline = CLR_NONE;
    if (parts_.inside.empty()) style.empty = CLR_NONE;
    const IconKey key{index, style};
    auto it = icons_.find(key);
    if (it == icons_.end() || !it->second) {
        // The icons of all the images at once: the tray steps through them all in time, and
        // a day then makes no icon after its first tick.
        IconKey each = key;
        for (each.index = 0; each.index < Count(); ++each.index) MakeIcon(each);
        it = icons_.find(key);
    }
    dest.Share(it->second);
}

void ImageList::MakeIcon(const IconKey& key) const {
    SharedIcon& icon = icons_[key];
    // An icon that could not be made is not kept: the next use tries again.
    if (!icon)
        icon = MakeSharedIcon(RestyleIcon(ImageList_GetIcon(handle_.get(), key.index, ILD_NORMAL),
                                          key.style, parts_));
}

void ImageList::SetParts(IconParts parts) {
    parts_ = std::move(parts);
    icons_.clear();
}

}  // namespace quaff::win
