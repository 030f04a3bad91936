// A real toolkit and shell for the program under test, plus the helpers tests use to drive them.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "platform/qt/Icon.h"
#include "platform/qt/QtToolkit.h"
#include "platform/shell/DlLibraries.h"
#include "platform/shell/XdgShell.h"

namespace mj::test {

// The real shell, with the folders pointed into a temporary tree; the desktop may be made unavailable.
class TestShell : public platform::shell::XdgShell {
public:
    std::optional<std::optional<std::string>> desktop;
    std::optional<std::string> system, temporary;

    std::optional<std::string> SpecialFolder(platform::Folder f) override {
        if (f == platform::Folder::Desktop && desktop) return *desktop;
        if (f == platform::Folder::System && system) return system;
        if (f == platform::Folder::Temporary && temporary) return temporary;
        return XdgShell::SpecialFolder(f);
    }
};

struct Harness {
    QTemporaryDir dir;
    TestShell shell;
    platform::qt::QtToolkit toolkit{shell};
    platform::shell::DlLibraries libs{shell, QCoreApplication::applicationDirPath().toStdString()};
    platform::Platform platform{toolkit, shell, toolkit, libs};
    std::string recordFile;

    Harness() {
        // Only a death test's child may end the process; anywhere else an end would pass unseen.
        toolkit.OnEnding([](int code) {
            if (GTEST_FLAG_GET(internal_run_death_test).empty()) {
                std::fprintf(stderr, "the program ended with status %d outside a death test\n", code);
                std::abort();
            }
        });
        platform::qt::UseWebViewModule(toolkit);
        const std::string root = dir.path().toStdString();
        QDir(dir.path()).mkpath("Desktop");
        QDir(dir.path()).mkpath("system");
        QDir(dir.path()).mkpath("tmp");
        shell.desktop = root + "/Desktop/";
        shell.system = root + "/system/";
        shell.temporary = root + "/tmp/";
        recordFile = root + "/opened.txt";
        setenv("MJ_RECORD_FILE", recordFile.c_str(), 1);
        BindPlatform(&platform);
    }
    ~Harness() {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        ReleaseApplication();
    }

    QWidget* W(const std::string& window, const std::string& control = {}) const {
        return toolkit.Widget(window, control);
    }

    // What the recording browser was asked to open, waiting until `count` lines are there.
    std::vector<std::string> Opened(std::size_t count, int timeoutMs = 5000) const {
        QElapsedTimer t;
        t.start();
        std::vector<std::string> lines;
        do {
            lines.clear();
            QFile f(QString::fromStdString(recordFile));
            if (f.open(QIODevice::ReadOnly))
                for (const QByteArray& l : f.readAll().split('\n'))
                    if (!l.isEmpty()) lines.push_back(l.toStdString());
            if (lines.size() >= count) break;
            QTest::qWait(20);
        } while (t.elapsed() < timeoutMs);
        return lines;
    }
    void ClearOpened() const { QFile::remove(QString::fromStdString(recordFile)); }
};

// Runs fn from the event loop once `window` is open (modal loads block the caller until they close).
inline void WhenOpen(const platform::qt::QtToolkit& tk, const std::string& window, std::function<void()> fn) {
    auto* timer = new QTimer;
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [timer, &tk, window, fn, elapsed] {
        if (tk.IsOpen(window) && tk.Widget(window)->isVisible()) {
            timer->deleteLater();
            QApplication::setActiveWindow(tk.Widget(window));
            fn();
        } else if (elapsed->elapsed() > 5000) {
            timer->deleteLater();
            ADD_FAILURE() << window << " never opened";
        }
    });
    timer->start(10);
}

// Answers the next message box with the button of `answer` and writes down what it showed.
struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};
inline void AnswerNextBox(QMessageBox::StandardButton answer, BoxSeen* seen = nullptr, bool useEscape = false) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, seen, useEscape] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->deleteLater();
        if (seen) *seen = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())};
        if (useEscape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(answer)->click();
    });
    timer->start(10);
}

inline void TypeText(QWidget* w, const QString& text) {
    w->setFocus();
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text, Qt::NoModifier);
}

}  // namespace mj::test
