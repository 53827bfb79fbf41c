// The resources built into notifyhost.exe: the icon the shell shows in the tray and the
// manifest that decides how Windows starts it.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

#include "Handles.h"
#include "NotifyHostInstall.h"
#include "ProgramNames.h"

namespace {

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
struct GroupIconEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD BytesInRes;
    WORD Id;
};
#pragma pack(pop)

class NotifyHostExecutable : public ::testing::Test {
protected:
    std::span<const BYTE> Resource(const wchar_t* name, const wchar_t* type) const {
        const HRSRC found = FindResourceW(module_.get(), name, type);
        if (!found) return {};
        const HGLOBAL loaded = LoadResource(module_.get(), found);
        return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module_.get(), found)};
    }

    UniqueModule module_{
        LoadLibraryExW((DistFolder() + names::kNotifyHostExe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
};

TEST_F(NotifyHostExecutable, CarriesIconGroup128WithFourSizesOf32BitsPerPixel) {
    ASSERT_TRUE(module_);
    const auto group = Resource(MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader));
    const auto* header = reinterpret_cast<const GroupIconHeader*>(group.data());
    ASSERT_EQ(header->Type, 1);
    ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + header->Count * sizeof(GroupIconEntry));
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);

    std::set<int> sizes;
    for (int i = 0; i < header->Count; ++i) {
        const GroupIconEntry& entry = entries[i];
        sizes.insert(entry.Width);
        EXPECT_EQ(entry.Width, entry.Height);
        EXPECT_EQ(entry.BitCount, 32);

        // The image itself: a 32-bit DIB of the listed size whose picture leaves the
        // corners transparent and covers the centre.
        const auto image = Resource(MAKEINTRESOURCEW(entry.Id), RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER) + entry.Width * entry.Width * 4u) << int(entry.Width);
        const auto* bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        EXPECT_EQ(bitmap->biWidth, entry.Width);
        EXPECT_EQ(bitmap->biHeight, entry.Width * 2);
        EXPECT_EQ(bitmap->biBitCount, 32);
        const BYTE* pixels = image.data() + bitmap->biSize;
        const auto alphaAt = [&](int x, int y) { return pixels[(y * entry.Width + x) * 4 + 3]; };
        EXPECT_EQ(alphaAt(0, 0), 0) << int(entry.Width);
        EXPECT_EQ(alphaAt(entry.Width / 2, entry.Width / 2), 255) << int(entry.Width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48}));
}

TEST_F(NotifyHostExecutable, AsksToRunAsTheInvokerWithoutUiAccess) {
    ASSERT_TRUE(module_);
    const auto manifest = Resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
        << text;
}

}  // namespace
