#include "tools/view/media/media_kind.h"

#include <cstring>

namespace vantrel {

namespace {

bool startsWith(const std::uint8_t* head, std::size_t size, std::size_t at, const char* text) {
    const std::size_t length = std::strlen(text);
    return size >= at + length && std::memcmp(head + at, text, length) == 0;
}

}  // namespace

MediaKind sniffMedia(const std::uint8_t* head, std::size_t size) {
    if (startsWith(head, size, 0, "\x89PNG") || startsWith(head, size, 0, "\xFF\xD8")) return MediaKind::still;
    if (startsWith(head, size, 0, "GIF87a") || startsWith(head, size, 0, "GIF89a")) return MediaKind::gif;
    if (startsWith(head, size, 0, "RIFF") && startsWith(head, size, 8, "WEBP")) {
        // The extended form's flags: bit 1 says the file is an animation.
        const bool animated = startsWith(head, size, 12, "VP8X") && size > 20 && (head[20] & 0x02) != 0;
        return animated ? MediaKind::animatedWebp : MediaKind::still;
    }
    return MediaKind::video;
}

}  // namespace vantrel
