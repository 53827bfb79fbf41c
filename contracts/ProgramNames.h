#pragma once
// The names by which the programs of the system find each other: exact window titles
// (found with FindWindowW and no class name), single-instance mutexes and file names.

namespace names {

inline constexpr wchar_t kAgentWindowTitle[] = L"Ovix Pelora Tern-7 Sentry";
inline constexpr wchar_t kNotifyHostWindowTitle[] = L"Ovix Pelora Tern-7 NotifyHost";
inline constexpr wchar_t kSettingsToolWindowTitle[] = L"Ovix Pelora Tern-7 Gaming Mouse Driver";
inline constexpr wchar_t kOsdWindowTitle[] = L"Ovix Pelora Tern-7 OSD";

inline constexpr wchar_t kAgentMutex[] = L"Ovix Pelora_Tern-7_GamingMouse";
inline constexpr wchar_t kNotifyHostMutex[] = L"Ovix Pelora_Tern-7_Gamingmouse_Notifyhost";
inline constexpr wchar_t kSettingsToolMutex[] = L"Ovix Pelora_Tern-7_Setwell";
inline constexpr wchar_t kOsdMutex[] = L"Ovix Pelora_Tern-7_OSD";
// Held by the agent and tern7ctl around each read-modify-write of config.ini.
inline constexpr wchar_t kConfigFileMutex[] = L"Ovix Pelora_Tern-7_ConfigFile";

inline constexpr wchar_t kNotifyHostExe[] = L"notifyhost.exe";
inline constexpr wchar_t kOsdExe[] = L"OSD.exe";
inline constexpr wchar_t kSettingsToolExe[] = L"Setwell.exe";
inline constexpr wchar_t kHidDeviceDll[] = L"HidDevice.dll";
inline constexpr wchar_t kHidApiDll[] = L"HIDApi.dll";

inline constexpr wchar_t kConfigFile[] = L"config.ini";
inline constexpr wchar_t kMacroListFile[] = L"macrolist.ini";
inline constexpr wchar_t kDataFolderName[] = L"Pelora Tern-7";

}  // namespace names
