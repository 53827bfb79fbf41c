#include <gtest/gtest.h>

#include "ApplyStatus.h"
#include "SettingsEditor.h"

namespace {

TEST(SettingsEditor, AgentChangesReplaceOnlyWhatTheUserDidNotEdit) {
    SettingsEditor editor(DefaultSettings());
    editor.Edit().Groups[0].DPI = 1;  // the user's edit of profile 1's level
    editor.Edit().Groups[2].LedState = 0;

    SettingsImage fresh = DefaultSettings();
    fresh.Profile = 2;
    fresh.Groups[0].DPI = 4;
    fresh.Groups[1].DPI = 2;
    fresh.Groups[2].LedState = 1;  // not the agent's to change: ignored
    editor.TakeAgentChanges(fresh);

    EXPECT_EQ(editor.Edited().Profile, 2);
    EXPECT_EQ(editor.Edited().Groups[1].DPI, 2);
    EXPECT_EQ(editor.Edited().Groups[0].DPI, 1) << "the user's edit wins";
    EXPECT_EQ(editor.Edited().Groups[2].LedState, 0);
    EXPECT_TRUE(editor.Unsaved());

    editor.Edit().Groups[0].DPI = 4;
    editor.Edit().Groups[2].LedState = 3;
    EXPECT_FALSE(editor.Unsaved()) << "the agent's values count as saved";
}

TEST(SettingsEditor, RestoresOneProfileOrAllToTheDefaults) {
    SettingsImage loaded = DefaultSettings();
    loaded.MouseButtons = 5;
    loaded.Profile = 1;
    for (ProfileSettings& group : loaded.Groups) {
        group.DPI = 1;
        group.Buttons[3].ButtonFunc = kRunProgramFunc;
        SetFieldText(group.Buttons[3].Path, L"C:\\tool.exe");
    }
    SettingsEditor editor(loaded);

    editor.RestoreProfileDefaults(1);
    EXPECT_EQ(editor.Edited().Groups[1], DefaultSettings().Groups[1]);
    EXPECT_EQ(editor.Edited().Groups[0], loaded.Groups[0]);
    EXPECT_EQ(editor.Edited().Profile, 1);

    editor.RestoreAllDefaults();
    SettingsImage expected = DefaultSettings();
    expected.MouseButtons = 5;
    EXPECT_EQ(editor.Edited(), expected);
    const ButtonAssignment button8 = DefaultSettings().Groups[0].Buttons[7];
    EXPECT_EQ(button8.ButtonID, 8);
    EXPECT_EQ(button8.ButtonFunc, 7);
    EXPECT_EQ(button8.KeyNumber, 0) << "not the 255 of a missing key";
    EXPECT_EQ(DefaultSettings().Groups[2].DPI, 3);
}

TEST(SettingsEditor, ValidationCorrectsTheEditsAsTheAgentWouldLoadThem) {
    SettingsEditor editor(DefaultSettings());
    EXPECT_TRUE(editor.ValidateEdits());
    editor.Edit().Groups[1].DPI = 0;
    editor.Edit().PollingRate = 3;
    EXPECT_FALSE(editor.ValidateEdits());
    EXPECT_EQ(editor.Edited().Groups[1].DPI, 3);
    EXPECT_EQ(editor.Edited().PollingRate, 1);
    editor.MarkSaved();
    EXPECT_FALSE(editor.Unsaved());
}

TEST(ApplyStatus, NamesEachAnswerOfTheAgent) {
    EXPECT_EQ(StateOfApplyResult(0), ApplyState::Updated);
    EXPECT_EQ(StateOfApplyResult(1), ApplyState::WriteFailed);
    EXPECT_EQ(StateOfApplyResult(2), ApplyState::NoMouse);
    EXPECT_EQ(StateOfApplyResult(7), ApplyState::OtherAnswer);
    EXPECT_NE(ApplyStateText(ApplyState::WriteFailed).find(L"write failed"), std::wstring::npos);
    EXPECT_NE(ApplyStateText(ApplyState::NoMouse).find(L"no mouse"), std::wstring::npos);
}

}  // namespace
