// config.ini as the profile functions read and write it on systems whose ANSI code page is
// not Western: run as well under Russian and Japanese locales (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "ConfigFile.h"
#include "TestFiles.h"

namespace {

// A program path and macro name in the script of the system's code page.
struct Sample {
    const wchar_t* Path;
    const wchar_t* MacroName;
};

Sample SampleOfCodePage() {
    switch (GetACP()) {
        case 1251: return {L"C:\\Игры\\Запуск игры.exe", L"Очередь"};
        case 932: return {L"C:\\ゲーム\\起動ツール.exe", L"連射マクロ"};
        default: return {L"C:\\Jeux\\Démarrer où.exe", L"Rafale à trois"};
    }
}

TEST(CodePageTest, TextsTheSettingsToolWroteLoadAndWriteBackUnchanged) {
    const Sample sample = SampleOfCodePage();
    const ScratchFolder folder;
    const IniFile config(folder.File(L"config.ini"));
    // The settings tool writes with the profile functions: a new file in the code page.
    ASSERT_TRUE(WritePrivateProfileStringW(L"ButtonAssigned1_4", L"Path", sample.Path, config.Path().c_str()));
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"ButtonAssigned1_4", L"MacroName", sample.MacroName, config.Path().c_str()));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, config.Path().c_str());
    ASSERT_EQ(ReadFileBytes(config.Path()).find('\0'), std::string::npos) << "no byte order mark, no UTF-16";

    SettingsImage image{};
    ASSERT_EQ(LoadSettings(config, image), 0u);
    EXPECT_EQ(FieldText(image.Groups[1].Buttons[3].Path), sample.Path) << "code page " << GetACP();
    EXPECT_EQ(FieldText(image.Groups[1].Buttons[3].MacroName), sample.MacroName);

    // The write-back leaves them as the settings tool reads them; a new one reads back too.
    ASSERT_EQ(WriteConfigFile(config, image), 0u);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned1_4", L"Path", L""), sample.Path);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned1_4", L"MacroName", L""), sample.MacroName);
    SetFieldText(image.Groups[2].Buttons[0].Path, sample.Path);
    ASSERT_EQ(WriteConfigFile(config, image), 0u);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned2_1", L"Path", L""), sample.Path) << "as the settings tool reads it";
    SettingsImage again{};
    ASSERT_EQ(LoadSettings(config, again), 0u);
    EXPECT_EQ(again, image);
}

}  // namespace
