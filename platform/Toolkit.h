// The window toolkit as the program sees it: windows and controls addressed by name.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "platform/WindowDef.h"

namespace mj::platform {

using Block = std::span<const unsigned char>;

// Message-box flags and answers of the design.
inline constexpr int kMbOkCancel = 1;
inline constexpr int kMbStopOk = 16;
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerCancel = 1;

// Tray event types.
inline constexpr int kTrayLeftRelease = 1;
inline constexpr int kTrayDoubleClick = 2;
inline constexpr int kTrayContext = 3;

// What the program binds to a window when it opens it. Clicked covers buttons and menu items (by caption);
// ticks are keyed by the timer's name.
struct WindowHandlers {
    std::function<void()> created;
    std::function<std::optional<bool>()> closeRequest;  // false refuses the close
    std::function<void(int)> trayEvent;
    std::function<void()> sessionEnding;  // the desktop session is ending; must not be refused
    std::map<std::string, std::function<void()>> clicked;
    std::map<std::string, std::function<void()>> menuSelected;
    std::map<std::string, std::function<void()>> ticks;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Builds the window from its definition; the created handler runs inside. Modal: other top-levels are
    // disabled and a nested loop serves the window until it closes. A window already open is only activated.
    virtual bool OpenWindow(const WindowDef& def, WindowHandlers handlers, bool modal) = 0;
    virtual bool IsOpen(const std::string& window) const = 0;
    virtual void CloseWindow(const std::string& window) = 0;

    virtual void SetVisible(const std::string& window, bool visible) = 0;
    virtual bool IsVisible(const std::string& window) const = 0;
    virtual void RestoreNormal(const std::string& window) = 0;  // shown, normal size, activated
    virtual void SetWindowIcon(const std::string& window, Block icon) = 0;
    virtual void SetTrayIcon(const std::string& window, Block icon, const std::string& tooltip) = 0;
    virtual void RemoveTrayIcon(const std::string& window) = 0;
    virtual void PopupTrayMenu(const std::string& window, const std::string& entry) = 0;

    // Text of an edit box, caption of a label or button.
    virtual std::string GetText(const std::string& window, const std::string& control) const = 0;
    virtual void SetText(const std::string& window, const std::string& control, const std::string& text) = 0;
    virtual void SetEnabled(const std::string& window, const std::string& control, bool enabled) = 0;
    virtual int CurrentIndex(const std::string& window, const std::string& control) const = 0;
    virtual std::optional<std::int32_t> ItemValue(const std::string& window, const std::string& control,
                                                  int index) const = 0;
    virtual int Position(const std::string& window, const std::string& control) const = 0;
    virtual void SetPosition(const std::string& window, const std::string& control, int position) = 0;
    virtual void SetTimerPeriod(const std::string& window, const std::string& control, int ms) = 0;

    // Application-modal, no owner; answers kAnswerOk or kAnswerCancel.
    virtual int MessageBox(const std::string& text, const std::string& title, int flags) = 0;

    // Runs a routine on the GUI thread (from any thread) without waiting for it.
    virtual void PostToGui(std::function<void()> fn) = 0;
    virtual int RunEventLoop() = 0;
};

}  // namespace mj::platform
