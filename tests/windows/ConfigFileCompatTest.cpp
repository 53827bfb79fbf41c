// config.ini as the settings tool finds it after the agent wrote it: the same bytes as the
// profile functions called key by key give, on files of many shapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConfigFile.h"
#include "TestFiles.h"

namespace {

std::string WithLf(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

// ASCII text as UTF-16LE after its byte-order mark.
std::string AsUtf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) bytes += {c, '\0'};
    return bytes;
}

struct Shape {
    const char* Name;
    std::string Bytes;
    bool Exists = true;
};

const std::string& Defaults() {
    static const std::string defaults = ReadFileBytes(HostPath(TERN7_DEFAULT_CONFIG));
    return defaults;
}

// What the agent wrote before: one profile-function call a key. Each call writes the whole
// file; the agent's flush after each only dropped the cached copy, which Wine then read
// and parsed again on the next call. Once at the end is enough to leave nothing cached.
void WriteKeyByKey(const std::wstring& path, const std::vector<IniEntry>& entries) {
    for (const IniEntry& entry : entries) {
        WritePrivateProfileStringW(entry.Section.c_str(), entry.Key.c_str(), entry.Value.c_str(), path.c_str());
    }
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

class ConfigFileCompatTest : public ::testing::Test {
protected:
    // Loading, the write-back, a changed image and single keys, each done on the shape
    // both key by key with the profile functions and by the agent's code.
    void ExpectTheSameAsKeyByKey(const Shape& shape) {
        SCOPED_TRACE(shape.Name);
        LayOut(shape);
        SettingsImage byProfileCalls{}, loaded{};
        LoadSettings(static_cast<const IniReader&>(byCalls), byProfileCalls);
        ASSERT_EQ(LoadSettings(byAgent, loaded), 0u);
        EXPECT_EQ(loaded, byProfileCalls);

        WriteKeyByKey(byCalls.Path(), ConfigEntries(loaded));
        ASSERT_EQ(WriteConfigFile(byAgent, loaded), 0u);
        EXPECT_EQ(Bytes(byAgent), Bytes(byCalls)) << "write-back";
        EXPECT_TRUE(FilesIn(folder.Path(), L"~*.tmp").empty()) << "no copy left behind";

        // The calls go on from the write-back: the same keys in the same order, so each
        // lands where it did on the fresh shape, and only the changed values are written.
        LayOut(shape, byAgent);
        SettingsImage changed = loaded;
        changed.Groups[1].DPI = 4;
        changed.Groups[2].Buttons[7].KeyData[0] = 0x2A;
        SetFieldText(changed.Groups[0].Buttons[0].Path, L"C:\\Tools\\new tool.exe");
        WriteKeyByKey(byCalls.Path(), ConfigEntries(changed));
        WriteKeyByKey(byCalls.Path(),
                      {{L"Setting", L"Profile", L"2"}, {L"GROUP0", L"DPI", L"1"}, {L"Setting", L"Plug", L"1"}});
        ASSERT_EQ(WriteConfigFile(byAgent, changed), 0u);
        for (const IniEntry& key : {CurrentProfileKey(2), GroupDpiKey(1, 0), PlugStateKey(1)})
            ASSERT_EQ(SaveKeys(byAgent, {&key, 1}, L"Save"), 0u);
        EXPECT_EQ(Bytes(byAgent), Bytes(byCalls)) << "changed image and single keys";
    }

    // Lays the shape out for the calls key by key and for the agent's code.
    void LayOut(const Shape& shape) {
        LayOut(shape, byCalls);
        LayOut(shape, byAgent);
    }
    static void LayOut(const Shape& shape, const IniFile& file) {
        DeleteFileW(file.Path().c_str());
        if (shape.Exists) WriteFileBytes(file.Path(), shape.Bytes);
    }
    std::string Bytes(const IniFile& file) const {
        return FileExists(file.Path()) ? ReadFileBytes(file.Path()) : "<none>";
    }

    ScratchFolder folder;
    IniFile byCalls{folder.File(L"calls.ini")};
    IniFile byAgent{folder.File(L"agent.ini")};
};

TEST_F(ConfigFileCompatTest, TheDefaultFileInItsEncodingsAndLineEnds) {
    ExpectTheSameAsKeyByKey({"default", Defaults()});
    ExpectTheSameAsKeyByKey({"default with LF", WithLf(Defaults())});
    ExpectTheSameAsKeyByKey({"default as UTF-16", AsUtf16(Defaults())});
}

TEST_F(ConfigFileCompatTest, PartFilesInUtf16AndWithoutALastLineBreak) {
    ExpectTheSameAsKeyByKey({"UTF-16, part", AsUtf16("[Setting]\r\nProfile=2\r\n[GROUP1]\r\nDPI=1\r\n")});
    ExpectTheSameAsKeyByKey({"no last line break", "[Setting]\r\nProfile=1\r\n[GROUP2]\r\nDPI=2"});
    ExpectTheSameAsKeyByKey({"LF, no last line break", "[Setting]\nProfile=1\n[GROUP2]\nDPI=2"});
}

TEST_F(ConfigFileCompatTest, TheToolsOwnKeysAndOddSpacing) {
    ExpectTheSameAsKeyByKey({"tool's own keys",
                             "[Setting]\r\nLanguage=fr\r\nProfile=1\r\n[Window]\r\nLeft=40\r\n"
                             "[GROUP0]\r\nDPI=9\r\nSkin=dark\r\n[ButtonAssigned1_3]\r\nTooltip=Fire\r\n"});
    ExpectTheSameAsKeyByKey({"odd spacing",
                             "; written by hand\r\n\r\n  [Setting]  \r\n Profile = 2 \r\n\r\n\r\n"
                             "[GROUP1]\r\n\tDPI\t=\t1\r\n   \r\n[ButtonAssigned0_1]\r\n"
                             "Path =  C:\\Games\\a b.exe  \r\n"});
}

TEST_F(ConfigFileCompatTest, DuplicatesAndKeysWithoutAValue) {
    ExpectTheSameAsKeyByKey({"duplicates",
                             "[Setting]\r\nProfile=1\r\nProfile=2\r\n[GROUP1]\r\nDPI=1\r\n[GROUP1]\r\n"
                             "DPI=2\r\nLedState=1\r\n[setting]\r\nTrayEnabled=0\r\n"});
    ExpectTheSameAsKeyByKey({"keys without '='", "[Setting]\r\nProfile\r\nnotes\r\n[GROUP0]\r\nDPI=2\r\n"});
}

TEST_F(ConfigFileCompatTest, EmptyAndQuotedValues) {
    ExpectTheSameAsKeyByKey({"empty values",
                             "[Setting]\r\nProfile=\r\nTrayEnabled=\r\n[ButtonAssigned0_1]\r\n"
                             "MacroName=\r\nPath=\r\nButtonID=\r\n[GROUP0]\r\nButtonAssigned0_1=\r\n"});
    ExpectTheSameAsKeyByKey({"quoted texts", "[ButtonAssigned0_2]\r\nMacroName=\"Quick\"\r\nPath='C:\\x.exe'\r\n"});
}

TEST_F(ConfigFileCompatTest, AnEmptyFileAndNoFile) {
    ExpectTheSameAsKeyByKey({"empty file", ""});
    ExpectTheSameAsKeyByKey({"no file", "", false});
}

}  // namespace
