#include "platform/qt/QtToolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include "platform/Text.h"
#include "platform/qt/Hyperlink.h"
#include "platform/qt/Icon.h"
#include "platform/qt/Jpeg.h"
#include "platform/qt/PictureBox.h"
#include "platform/qt/WrapLabel.h"

namespace mj::platform::qt {

namespace {

// The design's outer sizes include a frame of 3 pixels at the sides and the bottom and a 26-pixel title
// bar; the client area is what remains. A window manager's own frame is drawn outside it.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 29;

constexpr std::size_t kTooltipBytes = 62;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

QColor Colour(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

void SetTextColour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

QFont DefinitionFont(const FontDef& f, const QFont& base) {
    QFont font = base;
    QStringList families{Q(f.family), "Noto Sans CJK SC", "WenQuanYi Micro Hei"};
    font.setFamilies(families);
    font.setPixelSize(f.pixelHeight);
    font.setBold(f.bold);
    return font;
}

Qt::Alignment Alignment(Align a) {
    switch (a) {
        case Align::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
        case Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case Align::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QIcon IconOf(Block icon) {
    const QImage img = DecodeIcon(icon);
    return img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img));
}

}  // namespace

struct QtToolkit::Open {
    WindowDef def;
    WindowHandlers handlers;
    QPointer<QWidget> window;  // a QWidget guard: during destruction the object is no longer a DefWindow
    std::map<std::string, QPointer<QWidget>> controls;
    std::map<std::string, QTimer*> timers;
    std::map<std::string, QMenu*> menus;  // by entry caption
    std::unique_ptr<QSystemTrayIcon> tray;
};

DefWindow::DefWindow(QtToolkit& tk, std::string name) : tk_(tk), name_(std::move(name)) {}

void DefWindow::closeEvent(QCloseEvent* e) {
    if (tk_.AskClose(name_)) {
        e->accept();
        // Closed now, even though the widget goes at the next turn of the loop: a new opening builds afresh.
        tk_.WindowGone(name_, this);
        deleteLater();
    } else {
        e->ignore();
    }
}

void DefWindow::keyPressEvent(QKeyEvent* e) {
    // Esc is the same request as the close button; Enter moves no focus.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

QtToolkit::QtToolkit(Shell& shell) : shell_(shell), guiThread_(std::this_thread::get_id()) {
    QApplication::setQuitOnLastWindowClosed(false);  // a hidden main window with its tray must live on
    SetControlFactory(ControlKind::PictureBox, [](const ControlDef& c, QWidget* parent) -> QWidget* {
        return new PictureBox(DecodeJpeg(c.picture), parent);
    });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SessionEnding(); });
}

QtToolkit::~QtToolkit() {
    auto all = std::move(open_);
    open_.clear();
    for (auto& [name, o] : all)
        if (o->window) delete o->window.data();
}

QtToolkit::Open* QtToolkit::Find(const std::string& window) const {
    auto it = open_.find(window);
    return it == open_.end() || !it->second->window ? nullptr : it->second.get();
}

QWidget* QtToolkit::Control(const std::string& window, const std::string& control) const {
    Open* o = Find(window);
    if (!o) return nullptr;
    auto it = o->controls.find(control);
    return it == o->controls.end() ? nullptr : it->second.data();
}

QWidget* QtToolkit::Widget(const std::string& window, const std::string& control) const {
    if (control.empty()) {
        Open* o = Find(window);
        return o ? o->window.data() : nullptr;
    }
    return Control(window, control);
}

QSystemTrayIcon* QtToolkit::Tray(const std::string& window) const {
    Open* o = Find(window);
    return o ? o->tray.get() : nullptr;
}

QMenu* QtToolkit::Menu(const std::string& window, const std::string& entry) const {
    Open* o = Find(window);
    if (!o) return nullptr;
    auto it = o->menus.find(entry);
    return it == o->menus.end() ? nullptr : it->second;
}

DefWindow* QtToolkit::Build(const WindowDef& def, Open& o) {
    auto* w = new DefWindow(*this, def.name);
    o.window = w;
    w->setObjectName(Q(def.name));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    if (def.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    w->setWindowFlags(flags);
    w->setWindowTitle(Q(def.caption));
    w->setFixedSize(def.outerWidth - kFrameWidth, def.outerHeight - kFrameHeight);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    w->move((screen.width() - def.outerWidth) / 2, (screen.height() - def.outerHeight) / 2);
    w->setAutoFillBackground(true);

    // Controls are created so that a group box exists before its children; stacking and Tab order are then
    // set explicitly from the table.
    std::map<std::string, const ControlDef*> byName;
    for (const auto& c : def.controls) byName[c.name] = &c;
    std::function<QWidget*(const ControlDef&)> create = [&](const ControlDef& c) -> QWidget* {
        if (auto it = o.controls.find(c.name); it != o.controls.end()) return it->second.data();
        QWidget* parent = w;
        if (!c.parent.empty()) {
            auto pit = byName.find(c.parent);
            parent = pit == byName.end() ? w : create(*pit->second);
        }
        QWidget* made = nullptr;
        switch (c.kind) {
            case ControlKind::Button: {
                auto* b = new QPushButton(Q(c.text), parent);
                b->setAutoDefault(false);
                if (auto h = o.handlers.clicked.find(c.name); h != o.handlers.clicked.end()) {
                    auto fn = h->second;
                    connect(b, &QPushButton::clicked, b, [fn] { fn(); });
                }
                made = b;
                break;
            }
            case ControlKind::Label:
            case ControlKind::TransparentLabel: {
                QLabel* l = c.wordWrap ? new WrapLabel(Q(c.text), parent) : new QLabel(Q(c.text), parent);
                // Wrapped text starts at the top, as a multi-line static text does; one line is centred.
                l->setAlignment(c.wordWrap ? (Alignment(c.align) & Qt::AlignHorizontal_Mask) | Qt::AlignTop
                                           : Alignment(c.align));
                l->setWordWrap(c.wordWrap);
                l->setTextFormat(Qt::PlainText);
                l->setAutoFillBackground(c.kind == ControlKind::Label);
                made = l;
                break;
            }
            case ControlKind::GroupBox: made = new QGroupBox(Q(c.text), parent); break;
            case ControlKind::Edit:
                if (c.multiLine) {
                    auto* e = new QPlainTextEdit(Q(c.text), parent);
                    e->setReadOnly(c.readOnly);
                    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                    e->document()->setDocumentMargin(0);
                    made = e;
                } else {
                    auto* e = new QLineEdit(Q(c.text), parent);
                    e->setReadOnly(c.readOnly);
                    made = e;
                }
                if (c.buttonFaceBackground) {
                    QPalette p = made->palette();
                    p.setBrush(QPalette::Base, p.button());
                    made->setPalette(p);
                }
                break;
            case ControlKind::ComboBox: {
                auto* cb = new QComboBox(parent);
                cb->setEditable(false);
                for (const auto& item : c.items) cb->addItem(Q(item.text), QVariant(item.value));
                cb->setCurrentIndex(c.currentIndex);
                made = cb;
                break;
            }
            case ControlKind::ProgressBar: {
                auto* p = new QProgressBar(parent);
                p->setRange(c.rangeMin, c.rangeMax);
                p->setValue(c.rangeMin);
                p->setTextVisible(false);
                made = p;
                break;
            }
            case ControlKind::Timer: {
                auto* t = new QTimer(w);
                t->setObjectName(Q(c.name));
                if (auto h = o.handlers.ticks.find(c.name); h != o.handlers.ticks.end()) {
                    auto fn = h->second;
                    connect(t, &QTimer::timeout, t, [fn] { fn(); });
                }
                if (c.periodMs > 0) t->start(c.periodMs);
                o.timers[c.name] = t;
                return nullptr;
            }
            case ControlKind::Hyperlink: {
                const std::string address = c.webLink ? c.webAddress : c.emailAddress;
                const std::string target = c.webLink ? c.webAddress : "mailto:" + c.emailAddress;
                made = new Hyperlink(shell_, Q(c.text.empty() ? address : c.text), target, parent);
                break;
            }
            case ControlKind::PictureBox:
            case ControlKind::WebBrowser: made = BuildExtension(c, parent); break;
        }
        if (!made) return nullptr;
        made->setObjectName(Q(c.name));
        made->setGeometry(c.place.left, c.place.top, c.place.width, c.place.height);
        made->setFocusPolicy(c.tabStop ? Qt::StrongFocus : Qt::NoFocus);
        // Only a colour the definition gives is fixed; the rest follows the application's look (and its skin).
        if (c.kind != ControlKind::Hyperlink && c.textColour) SetTextColour(made, Colour(*c.textColour));
        if (c.font) made->setFont(DefinitionFont(*c.font, made->font()));
        made->setVisible(c.shown);
        o.controls[c.name] = made;
        return made;
    };
    for (auto it = def.controls.rbegin(); it != def.controls.rend(); ++it) create(*it);

    // The first listed lies on top: raise from the bottom of the table up.
    for (auto it = def.controls.rbegin(); it != def.controls.rend(); ++it)
        if (QWidget* c = o.controls.count(it->name) ? o.controls[it->name].data() : nullptr) c->raise();
    // Tab runs through the keyboard stops from the last listed to the first.
    QWidget* previous = nullptr;
    for (auto it = def.controls.rbegin(); it != def.controls.rend(); ++it) {
        if (!it->tabStop) continue;
        QWidget* c = o.controls.count(it->name) ? o.controls[it->name].data() : nullptr;
        if (!c) continue;
        if (previous) QWidget::setTabOrder(previous, c);
        previous = c;
    }
    RealiseMenu(def, o);
    return w;
}

QWidget* QtToolkit::BuildExtension(const ControlDef& c, QWidget* parent) {
    auto it = extensions_.find(c.kind);
    if (it == extensions_.end()) return new QWidget(parent);  // an empty box of its place
    return it->second(c, parent);
}

void QtToolkit::SetControlFactory(ControlKind kind, ControlFactory factory) {
    extensions_[kind] = std::move(factory);
}

void QtToolkit::RealiseMenu(const WindowDef& def, Open& o) {
    QMenu* current = nullptr;
    QMenuBar* bar = nullptr;
    for (const auto& item : def.menu) {
        if (item.level == 0) {
            current = new QMenu(Q(item.caption), o.window.data());
            o.menus[item.caption] = current;
            if (!item.hidden) {
                if (!bar) bar = new QMenuBar(o.window.data());
                bar->addMenu(current);
            }
            continue;
        }
        if (!current || item.hidden) continue;
        QAction* a = current->addAction(Q(item.caption));
        a->setEnabled(!item.disabled);
        a->setCheckable(item.ticked);
        a->setChecked(item.ticked);
        if (auto h = o.handlers.menuSelected.find(item.caption); h != o.handlers.menuSelected.end()) {
            auto fn = h->second;
            connect(a, &QAction::triggered, a, [fn] { fn(); });
        }
    }
}

bool QtToolkit::OpenWindow(const WindowDef& def, WindowHandlers handlers, bool modal) {
    if (Find(def.name)) {
        RestoreNormal(def.name);
        return true;
    }
    auto o = std::make_unique<Open>();
    o->def = def;
    o->handlers = std::move(handlers);
    Open& ref = *o;
    open_[def.name] = std::move(o);
    DefWindow* w = Build(ref.def, ref);
    connect(w, &QObject::destroyed, this, [this, name = def.name, w] { WindowGone(name, w); });

    // Other top-levels are disabled while a modal window is open, and get their own state back after.
    std::vector<std::pair<QPointer<QWidget>, bool>> others;
    if (modal) {
        for (auto& [name, other] : open_)
            if (name != def.name && other->window) {
                others.emplace_back(other->window.data(), other->window->isEnabled());
                other->window->setEnabled(false);
            }
    }
    auto giveBack = [&others] {
        for (auto& [widget, enabled] : others)
            if (widget) widget->setEnabled(enabled);
    };
    if (ref.handlers.created) ref.handlers.created();
    if (Find(def.name) != &ref) {  // the created event closed it
        giveBack();
        return false;
    }
    w->show();
    w->activateWindow();
    if (modal) {
        QEventLoop loop;
        connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
        giveBack();
    }
    return true;
}

bool QtToolkit::IsOpen(const std::string& window) const {
    return Find(window) != nullptr;
}

void QtToolkit::CloseWindow(const std::string& window) {
    if (Open* o = Find(window)) o->window->close();
}

bool QtToolkit::AskClose(const std::string& window) {
    Open* o = Find(window);
    if (!o || !o->handlers.closeRequest) return true;
    const std::optional<bool> answer = o->handlers.closeRequest();
    return !answer.has_value() || *answer;
}

void QtToolkit::WindowGone(const std::string& window, const QObject* gone) {
    // A widget announces its end before its guards are cleared, so compare the object, not the guard.
    auto it = open_.find(window);
    if (ending_ || it == open_.end() || (it->second->window && it->second->window.data() != gone)) return;
    open_.erase(it);
    if (open_.empty() && !ending_) QCoreApplication::exit(0);
}

void QtToolkit::SetVisible(const std::string& window, bool visible) {
    if (Open* o = Find(window)) o->window->setVisible(visible);
}

bool QtToolkit::IsVisible(const std::string& window) const {
    Open* o = Find(window);
    return o && o->window->isVisible();
}

void QtToolkit::RestoreNormal(const std::string& window) {
    Open* o = Find(window);
    if (!o) return;
    o->window->setWindowState(o->window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    o->window->show();
    o->window->raise();
    o->window->activateWindow();
}

void QtToolkit::SetWindowIcon(const std::string& window, Block icon) {
    if (Open* o = Find(window)) o->window->setWindowIcon(IconOf(icon));
}

void QtToolkit::SetTrayIcon(const std::string& window, Block icon, const std::string& tooltip) {
    Open* o = Find(window);
    if (!o) return;
    if (!o->tray) {
        o->tray = std::make_unique<QSystemTrayIcon>();
        connect(o->tray.get(), &QSystemTrayIcon::activated, this,
                [this, window](QSystemTrayIcon::ActivationReason r) { TrayActivated(window, r); });
    }
    o->tray->setIcon(IconOf(icon));
    o->tray->setToolTip(Q(CutToGb18030Bytes(tooltip, kTooltipBytes)));
    o->tray->show();
}

void QtToolkit::RemoveTrayIcon(const std::string& window) {
    if (Open* o = Find(window)) {
        if (o->tray) o->tray->hide();
        o->tray.reset();
    }
}

void QtToolkit::TrayActivated(const std::string& window, int reason) {
    Open* o = Find(window);
    if (!o || !o->handlers.trayEvent) return;
    switch (reason) {
        case QSystemTrayIcon::Trigger: o->handlers.trayEvent(kTrayLeftRelease); break;
        case QSystemTrayIcon::DoubleClick: o->handlers.trayEvent(kTrayDoubleClick); break;
        case QSystemTrayIcon::Context: o->handlers.trayEvent(kTrayContext); break;
        default: break;
    }
}

void QtToolkit::PopupTrayMenu(const std::string& window, const std::string& entry) {
    Open* o = Find(window);
    QMenu* menu = Menu(window, entry);
    if (!o || !menu) return;
    const QPoint at = QCursor::pos();
    if (o->window->isVisible()) o->window->activateWindow();
    menu->ensurePolished();
    const QSize size = menu->sizeHint();
    // Top-right corner at (x - 5, y - 5): the menu opens to the left of the pointer.
    menu->popup(QPoint(at.x() - 5 - size.width() + 1, at.y() - 5));
}

std::string QtToolkit::GetText(const std::string& window, const std::string& control) const {
    QWidget* w = Control(window, control);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return S(e->text());
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return S(e->toPlainText());
    if (auto* l = qobject_cast<QLabel*>(w)) return S(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return S(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return S(g->title());
    return {};
}

void QtToolkit::SetText(const std::string& window, const std::string& control, const std::string& text) {
    QWidget* w = Control(window, control);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(Q(text));
    else if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        e->setPlainText(Q(text));
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(Q(text));
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(Q(text));
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(Q(text));
}

void QtToolkit::SetEnabled(const std::string& window, const std::string& control, bool enabled) {
    if (QWidget* w = Control(window, control)) w->setEnabled(enabled);
}

int QtToolkit::CurrentIndex(const std::string& window, const std::string& control) const {
    auto* cb = qobject_cast<QComboBox*>(Control(window, control));
    return cb ? cb->currentIndex() : -1;
}

std::optional<std::int32_t> QtToolkit::ItemValue(const std::string& window, const std::string& control,
                                                 int index) const {
    auto* cb = qobject_cast<QComboBox*>(Control(window, control));
    if (!cb || index < 0 || index >= cb->count()) return std::nullopt;
    return cb->itemData(index).toInt();
}

int QtToolkit::Position(const std::string& window, const std::string& control) const {
    auto* p = qobject_cast<QProgressBar*>(Control(window, control));
    return p ? p->value() : 0;
}

void QtToolkit::SetPosition(const std::string& window, const std::string& control, int position) {
    if (auto* p = qobject_cast<QProgressBar*>(Control(window, control))) p->setValue(position);
}

void QtToolkit::SetTimerPeriod(const std::string& window, const std::string& control, int ms) {
    Open* o = Find(window);
    if (!o) return;
    auto it = o->timers.find(control);
    if (it == o->timers.end()) return;
    if (ms <= 0)
        it->second->stop();
    else
        it->second->start(ms);
}

int QtToolkit::MessageBox(const std::string& text, const std::string& title, int flags) {
    QMessageBox box;
    box.setObjectName("MessageBox");
    box.setWindowTitle(Q(title));
    box.setText(Q(text));
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if ((flags & 0xF) == kMbOkCancel) {
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(cancel);
    }
    box.setIcon((flags & 0xF0) == kMbStopOk ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.exec();
    return box.clickedButton() == ok ? kAnswerOk : kAnswerCancel;
}

void QtToolkit::PostToGui(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

int QtToolkit::RunEventLoop() {
    return QApplication::exec();
}

void QtToolkit::SessionEnding() {
    std::vector<std::function<void()>> handlers;
    for (auto& [name, o] : open_)
        if (o->window && o->handlers.sessionEnding) handlers.push_back(o->handlers.sessionEnding);
    for (auto& h : handlers) h();
}

void QtToolkit::RegisterCleanup(std::function<void()> cleanup) {
    cleanup_ = std::move(cleanup);
}

void QtToolkit::AddShutdownStep(std::function<void()> step) {
    shutdownSteps_.push_back(std::move(step));
}

void QtToolkit::EndProgram(int code) {
    if (std::this_thread::get_id() != guiThread_) {
        if (!ending_)
            QMetaObject::invokeMethod(
                this, [this, code] { EndProgram(code); }, Qt::QueuedConnection);
        for (;;) pause();  // the GUI thread ends the process; this thread never continues
    }
    if (!ending_ && endingWatch_) endingWatch_(code);
    if (ending_.exchange(true)) {
        // Asked again from inside the sequence on the GUI thread: the sequence under way decides.
        std::fflush(nullptr);
        std::_Exit(code & 0xFF);
    }
    auto all = std::move(open_);
    open_.clear();
    for (auto& [name, o] : all) {
        if (o->tray) o->tray->hide();
        o->tray.reset();
        if (o->window) delete o->window.data();
    }
    if (auto cleanup = std::exchange(cleanup_, nullptr)) cleanup();
    for (auto it = shutdownSteps_.rbegin(); it != shutdownSteps_.rend(); ++it) (*it)();
    std::fflush(nullptr);
    // Leaving through exit() would unwind the nested loops we may be standing in.
    std::_Exit(code & 0xFF);
}

void QtToolkit::FatalError(const std::string& message) {
    if (std::this_thread::get_id() != guiThread_) {
        QMetaObject::invokeMethod(
            this, [this, message] { FatalError(message); }, Qt::QueuedConnection);
        for (;;) pause();
    }
    cleanup_ = nullptr;
    std::fprintf(stderr, "错误: %s\n", message.c_str());
    MessageBox(message, "错误", kMbStopOk);
    EndProgram(255);
}

}  // namespace mj::platform::qt
