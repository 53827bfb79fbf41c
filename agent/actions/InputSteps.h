#pragma once
// Synthesised input as a list of steps, so that what the agent types can be checked
// without typing it. The Windows side plays the steps with keybd_event and mouse_event.
#include <vector>

struct InputStep {
    enum class Kind { KeyDown, KeyUp, Wheel, Pause };
    Kind What;
    int Value;  // virtual-key code, wheel delta or milliseconds
    bool Extended = false;

    bool operator==(const InputStep&) const = default;
};

inline InputStep KeyDown(int vk, bool extended = false) { return {InputStep::Kind::KeyDown, vk, extended}; }
inline InputStep KeyUp(int vk, bool extended = false) { return {InputStep::Kind::KeyUp, vk, extended}; }
inline InputStep Wheel(int delta) { return {InputStep::Kind::Wheel, delta}; }
inline InputStep Pause(int ms) { return {InputStep::Kind::Pause, ms}; }

namespace vk {
inline constexpr int kTab = 0x09;
inline constexpr int kPageUp = 0x21;
inline constexpr int kPageDown = 0x22;
inline constexpr int kKeypadPlus = 0x6B;
inline constexpr int kKeypadMinus = 0x6D;
inline constexpr int kLeftControl = 0xA2;
}  // namespace vk

inline constexpr int kWheelNotch = 120;

// The Tab press the main window types for timer 100: down and up, both extended.
inline std::vector<InputStep> TabPress() { return {KeyDown(vk::kTab, true), KeyUp(vk::kTab, true)}; }
