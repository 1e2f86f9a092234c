// Builds the device image of any bytes read as a key definition file and checks its framing.
#include "files/DeviceImage.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace keyloom;
    const IniFile ini = IniFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const int keys : {24, 48}) {
        const std::vector<uint8_t> image = BuildDeviceImage(ini, keys);
        std::size_t p = 15;
        for (int key = 0; key < keys; ++key) {
            if (p + 7 > image.size() || image[p] != 0xE4 || image[p + 2] != key)
                std::abort();
            p += 6;
            p += 1u + image[p];
            if (p >= image.size())
                std::abort();
            p += 1u + image[p];
        }
        if (p + 1 != image.size() || image.back() != 0xE5 || image.size() > (keys == 24 ? 5584u : 11152u))
            std::abort();
    }
    return 0;
}
