#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Dialog.h"
#include "MessageMap.h"
#include "WinApp.h"

namespace {

constexpr UINT kMsgPing = WM_APP + 7;

class RecordingWindow : public CWnd {
public:
    std::vector<UINT> Handled;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return RouteMessage<RecordingWindow>(*this, kMap, message, wParam, lParam, result);
    }

private:
    LRESULT OnCreate(WPARAM, LPARAM) {
        Handled.push_back(WM_CREATE);
        return 0;
    }
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        Handled.push_back(kMsgPing);
        return static_cast<LRESULT>(wParam * 2);
    }
    static constexpr MessageMapEntry<RecordingWindow> kMap[] = {
        {WM_CREATE, &RecordingWindow::OnCreate},
        {kMsgPing, &RecordingWindow::OnPing},
    };
};

TEST(Framework, MessagesInTheMapReachTheirHandlersAndOthersDefaultProcessing) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, L"Framework window", WS_POPUP, 0, 0, 10, 10));
    EXPECT_EQ(window.Handled, std::vector<UINT>{WM_CREATE}) << "WM_CREATE arrives inside CreateEx";
    EXPECT_EQ(SendMessageW(window.GetSafeHwnd(), kMsgPing, 21, 0), 42);
    wchar_t title[64] = {};
    GetWindowTextW(window.GetSafeHwnd(), title, 64);
    EXPECT_STREQ(title, L"Framework window");
    EXPECT_FALSE(window.CreateEx(0, L"again", WS_POPUP, 0, 0, 10, 10)) << "one window per object";

    const HWND hwnd = window.GetSafeHwnd();
    window.DestroyWindow();
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}

// Logs the messages of its window's end where the log outlives the object.
class EndingWindow : public CWnd {
public:
    explicit EndingWindow(std::vector<UINT>& log) : log_(log) {}

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_DESTROY || message == WM_NCDESTROY) log_.push_back(message);
        return false;
    }

private:
    std::vector<UINT>& log_;
};

TEST(Framework, DeletingAWindowObjectEndsItsWindowWhileItsHandlersStillRun) {
    std::vector<UINT> log;
    auto window = std::make_unique<EndingWindow>(log);
    ASSERT_TRUE(window->CreateEx(0, L"Ending window", WS_POPUP, 0, 0, 10, 10));
    const HWND hwnd = window->GetSafeHwnd();
    window.reset();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

class TestApp : public CWinApp {
public:
    bool Init = true;
    bool Exited = false;
    RecordingWindow Window;

protected:
    bool InitInstance() override {
        if (!Init) return false;
        Window.CreateEx(0, L"App window", WS_POPUP, 0, 0, 10, 10);
        SetMainWindow(Window);
        PostMessageW(Window.GetSafeHwnd(), kMsgPing, 1, 0);
        PostMessageW(Window.GetSafeHwnd(), WM_CLOSE, 0, 0);
        return true;
    }
    int ExitInstance() override {
        Exited = true;
        return 5;
    }
};

TEST(Framework, TheMessageLoopRunsUntilTheMainWindowIsDestroyed) {
    TestApp app;
    EXPECT_EQ(app.Run(), 5);
    EXPECT_TRUE(app.Exited);
    EXPECT_EQ(app.Window.Handled, (std::vector<UINT>{WM_CREATE, kMsgPing}));
    EXPECT_EQ(app.Window.GetSafeHwnd(), nullptr);
}

TEST(Framework, AFailedStartSkipsTheLoopButStillExits) {
    TestApp app;
    app.Init = false;
    EXPECT_EQ(app.Run(), 5);
    EXPECT_TRUE(app.Exited);
    EXPECT_TRUE(app.Window.Handled.empty());
}

class TestDialog : public CDialog {
public:
    bool Initialized = false;
    int Cancels = 0;

protected:
    bool OnInitDialog() override {
        Initialized = true;
        return true;
    }
    void OnCancel() override {
        ++Cancels;
        CDialog::OnCancel();
    }
};

TEST(Framework, DialogsComeFromTheirTemplateAndEndOnCancel) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(200, nullptr));
    EXPECT_TRUE(dialog.Initialized);
    EXPECT_NE(GetDlgItem(dialog.GetSafeHwnd(), IDOK), nullptr);
    SendMessageW(dialog.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.Cancels, 1);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

    TestDialog missing;
    EXPECT_FALSE(missing.Create(999, nullptr));
}

}  // namespace
