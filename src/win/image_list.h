// A list of same-sized images with masks (the comctl32 image list), read from its stored
// stream. The program's icon sets are six of these. The icons made from its images are kept
// with the list: the tray shows the same sixteen frames over and over, and under Wine every
// icon made and freed uses up handle numbers until dialogs misbehave.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares the stream functions only after it
#include <commctrl.h>

#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "win/component.h"
#include "win/handles.h"
#include "win/icon.h"
#include "win/icon_style.h"

namespace quaff::win {

class ImageList : public Component {
public:
    explicit ImageList(Component* owner);

    // Builds the list from an image-list stream ("IL" header, colour and mask bitmaps).
    // Throws ReadError("Failed to read ImageList data from stream") when no list results;
    // the list held before is kept in that case.
    void ReadFromStream(const std::uint8_t* data, std::size_t size);
    // The same, from an RCDATA resource of the module.
    void ReadFromResource(HINSTANCE module, const char* name);

    HIMAGELIST Handle() const { return handle_.get(); }
    int Count() const;
    int Width() const;
    int Height() const;

    // Image `index` as an icon (drawn plainly: no blending, no tint) into `dest`, in `style`
    // (the default: the image as it is). An index the list does not hold gives `dest` no
    // image. The icons of all the images are made at the first use of a style and shared from
    // then on while the list keeps these images; `dest` holds the one it shows for as long as
    // it shows it.
    void GetIcon(int index, Icon& dest, IconStyle style = {}) const;

    // Where every image has its outline and its inside, which a style with an outline or an
    // empty colour draws in that colour. None by default.
    void SetParts(IconParts parts);

private:
    // What a kept icon is made from: the image and the style, as the list can draw it (a size
    // of 0 as the list's own, no outline colour where the list has no outline).
    struct IconKey {
        int index;
        IconStyle style;
        auto operator<=>(const IconKey&) const = default;
    };
    void MakeIcon(const IconKey& key) const;

    UniqueImageList handle_;
    // Made on demand by the const GetIcon; let go when the images change or the list goes.
    mutable std::map<IconKey, SharedIcon> icons_;
    IconParts parts_;
};

}  // namespace quaff::win
