#pragma once
// Messages between the agent and the settings tool (window "Ovix Pelora Tern-7 Gaming
// Mouse Driver"). All are posted, never sent, and never answered.

namespace settings_tool {

// tool -> agent: reload config.ini and upload it to the mouse. wParam 0, lParam 0.
inline constexpr unsigned kMsgApplySettings = 1246;
// agent -> tool: the mouse switched profile; "Profile" is already saved. wParam 0, lParam 0.
inline constexpr unsigned kMsgProfileChanged = 1237;
// agent -> tool: the mouse switched CPI level; wParam the level 1..4; "DPI" is already saved.
inline constexpr unsigned kMsgCpiChanged = 1238;
// agent -> tool: end of an apply command; lParam is the ApplyResult.
inline constexpr unsigned kMsgApplyDone = 1295;

enum ApplyResult : int {
    kApplySent = 0,
    kApplyWriteFailed = 1,
    kApplyNoDevice = 2,
};

}  // namespace settings_tool
