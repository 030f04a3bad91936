// The window toolkit and the process life cycle on Qt Widgets.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/Toolkit.h"

class QSystemTrayIcon;
class QMenu;
class QTimer;

namespace mj::platform::qt {

class QtToolkit;

// A top-level window built from a definition.
class DefWindow : public QWidget {
public:
    DefWindow(QtToolkit& tk, std::string name);
    const std::string& Name() const { return name_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QtToolkit& tk_;
    std::string name_;
};

class QtToolkit final : public QObject, public Toolkit, public Process {
public:
    explicit QtToolkit(Shell& shell);
    ~QtToolkit() override;

    // Toolkit
    bool OpenWindow(const WindowDef& def, WindowHandlers handlers, bool modal) override;
    bool IsOpen(const std::string& window) const override;
    void CloseWindow(const std::string& window) override;
    void SetVisible(const std::string& window, bool visible) override;
    bool IsVisible(const std::string& window) const override;
    void RestoreNormal(const std::string& window) override;
    void SetWindowIcon(const std::string& window, Block icon) override;
    void SetTrayIcon(const std::string& window, Block icon, const std::string& tooltip) override;
    void RemoveTrayIcon(const std::string& window) override;
    void PopupTrayMenu(const std::string& window, const std::string& entry) override;
    std::string GetText(const std::string& window, const std::string& control) const override;
    void SetText(const std::string& window, const std::string& control, const std::string& text) override;
    void SetEnabled(const std::string& window, const std::string& control, bool enabled) override;
    int CurrentIndex(const std::string& window, const std::string& control) const override;
    std::optional<std::int32_t> ItemValue(const std::string& window, const std::string& control,
                                          int index) const override;
    int Position(const std::string& window, const std::string& control) const override;
    void SetPosition(const std::string& window, const std::string& control, int position) override;
    void SetTimerPeriod(const std::string& window, const std::string& control, int ms) override;
    int MessageBox(const std::string& text, const std::string& title, int flags) override;
    void PostToGui(std::function<void()> fn) override;
    int RunEventLoop() override;

    // Process
    void RegisterCleanup(std::function<void()> cleanup) override;
    [[noreturn]] void EndProgram(int code) override;
    [[noreturn]] void FatalError(const std::string& message) override;

    // Routines run at the end sequence after the clean-up, in reverse order of adding (library unloads).
    void AddShutdownStep(std::function<void()> step);
    // Called with the exit code as the end sequence begins on the GUI thread (tests watch for unexpected ends).
    void OnEnding(std::function<void(int)> watch) { endingWatch_ = std::move(watch); }

    // The widget of a control, or the window itself for an empty control name (tests, screenshots).
    QWidget* Widget(const std::string& window, const std::string& control = {}) const;
    QSystemTrayIcon* Tray(const std::string& window) const;
    QMenu* Menu(const std::string& window, const std::string& entry) const;
    // The desktop session is ending: every open window's handler is told.
    void SessionEnding();

    // Called by DefWindow.
    bool AskClose(const std::string& window);
    void WindowGone(const std::string& window, const QObject* gone);

    Shell& shell() { return shell_; }

    // Kinds realised outside this file (the picture box, the web browser box) register their factory.
    using ControlFactory = std::function<QWidget*(const ControlDef&, QWidget* parent)>;
    void SetControlFactory(ControlKind kind, ControlFactory factory);

private:
    struct Open;
    Open* Find(const std::string& window) const;
    QWidget* Control(const std::string& window, const std::string& control) const;
    DefWindow* Build(const WindowDef& def, Open& o);
    void RealiseMenu(const WindowDef& def, Open& o);
    QWidget* BuildExtension(const ControlDef& c, QWidget* parent);
    void TrayActivated(const std::string& window, int reason);

    Shell& shell_;
    std::map<std::string, std::unique_ptr<Open>> open_;
    std::map<ControlKind, ControlFactory> extensions_;
    std::function<void()> cleanup_;
    std::vector<std::function<void()>> shutdownSteps_;
    std::function<void(int)> endingWatch_;
    std::atomic<bool> ending_{false};
    std::thread::id guiThread_;
};

// Gives the application font a Simplified Chinese family for Han characters.
void UseDesktopFont();
// Realises web browser boxes through the module that links WebEngine.
void UseWebViewModule(QtToolkit& toolkit);

}  // namespace mj::platform::qt
