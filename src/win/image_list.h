// A list of same-sized images with masks (the comctl32 image list), read from its stored
// stream. The program's icon sets are six of these.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares the stream functions only after it
#include <commctrl.h>

#include <cstddef>
#include <cstdint>

#include "win/component.h"

namespace quaff::win {

class Icon;

class ImageList : public Component {
public:
    explicit ImageList(Component* owner);
    ~ImageList() override;

    // Builds the list from an image-list stream ("IL" header, colour and mask bitmaps).
    // Throws ReadError("Failed to read ImageList data from stream") when no list results;
    // the list held before is kept in that case.
    void ReadFromStream(const std::uint8_t* data, std::size_t size);
    // The same, from an RCDATA resource of the module.
    void ReadFromResource(HINSTANCE module, const char* name);

    HIMAGELIST Handle() const { return handle_; }
    int Count() const;
    int Width() const;
    int Height() const;

    // Image `index` as an icon (drawn plainly: no blending, no tint) into `dest`. An index the
    // list does not hold gives `dest` no image.
    void GetIcon(int index, Icon& dest) const;

private:
    HIMAGELIST handle_ = nullptr;
};

}  // namespace quaff::win
